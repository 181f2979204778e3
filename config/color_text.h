// config/color_text.h -- the short text of a colour component in the dialog's edit boxes, and back.
#pragma once

#include <cstddef>

// Room for any float's text: up to 39 integer digits, sign, point, five decimals and the NUL.
constexpr size_t kColorTextCapacity = 48;

// "1", ".5", "-.5", ".12346": rounded to five places, no leading zero before the point, no trailing
// zeros after it. Zero (either sign), a value that rounds to zero and a value that is not finite give "0".
// Writes at most capacity bytes including the NUL and returns text.
const char* formatColorComponent(float value, char* text, size_t capacity);

// The value typed into a colour box, read as a decimal number. Text that is not a number, and a number
// a float cannot hold, give 0.
float parseColorComponent(const char* text);
