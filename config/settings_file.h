// config/settings_file.h -- the settings file's bytes: encoding and decoding on memory buffers.
//
// Kept apart from the file handling so that the byte rules can be tested and fuzzed without a disk.
#pragma once

#include <cstddef>
#include <cstdint>

#include "config/settings.h"

constexpr size_t kSettingsTailSize = 68;
constexpr size_t kSettingsMaxFileSize = 8 + kPasswordMaxLength + kSettingsTailSize;   // 119 bytes
// A stored password length can say up to 32767; the reader never needs more than this many bytes.
constexpr size_t kSettingsMaxReadSize = 8 + 32767 + kSettingsTailSize;

// Writes the file image of `record`; returns its size (74, or 76 + password length).
size_t encodeSettings(const SettingsRecord& record, uint8_t out[kSettingsMaxFileSize]);

// Overlays `record` with what `data` covers. Returns 0 when the stamp matched, 1 when the data is
// foreign (another stamp, too short for one, or a negative password length); `record` is then
// unchanged. A field that the data covers only partly keeps its value, and so does every field after
// it; a password whose stated length runs past the end of the data is such a field. A password longer
// than 43 characters keeps its first 43; the tail is read from where the file puts it.
int decodeSettings(const uint8_t* data, size_t size, SettingsRecord* record);
