// config/color_text.cpp -- colour components as the dialog shows them and reads them back.
#include "config/color_text.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kColorDecimals = 5;

void copyText(const char* source, char* text, size_t capacity)
{
    std::snprintf(text, capacity, "%s", source);
}

void stripTrailingZeros(char* digits)
{
    size_t length = std::strlen(digits);
    while (length > 0 && digits[length - 1] == '0') digits[--length] = '\0';
}

}  // namespace

const char* formatColorComponent(float value, char* text, size_t capacity)
{
    if (!text || capacity == 0) return text;
    double magnitude = std::fabs(static_cast<double>(value));
    if (magnitude == 0.0 || !std::isfinite(magnitude)) {
        copyText("0", text, capacity);
        return text;
    }
    char integer[kColorTextCapacity];
    std::snprintf(integer, sizeof integer, "%.*f", kColorDecimals, magnitude);
    char* point = std::strchr(integer, '.');
    const char* fraction = "";
    if (point) {
        *point = '\0';
        fraction = point + 1;
        stripTrailingZeros(point + 1);
    }
    // A whole number keeps no point; neither does a fraction that rounded away to nothing, so that the
    // box never shows a bare "." or "2.".
    bool whole = magnitude == std::floor(magnitude);
    bool showFraction = !whole && *fraction != '\0';
    bool showInteger = std::strcmp(integer, "0") != 0;
    if (!showInteger && !showFraction) {
        copyText("0", text, capacity);
        return text;
    }
    std::snprintf(text, capacity, "%s%s%s%s", value < 0 ? "-" : "", showInteger ? integer : "",
                  showFraction ? "." : "", showFraction ? fraction : "");
    return text;
}

float parseColorComponent(const char* text)
{
    if (!text) return 0.0f;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text || !std::isfinite(value) || std::fabs(value) > FLT_MAX) return 0.0f;
    return static_cast<float>(value);
}
