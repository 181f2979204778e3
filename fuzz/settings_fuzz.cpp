// fuzz/settings_fuzz.cpp -- feeds arbitrary bytes to the settings file decoder and checks what it may
// never do: write past the password, leave it unterminated, take part of a cut password, or take a
// foreign file half-way.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "config/settings.h"
#include "config/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    resetSettings();
    SettingsRecord record = Settings;
    std::memset(record.password, 'q', sizeof record.password - 1);
    record.password[sizeof record.password - 1] = '\0';
    SettingsRecord before = record;

    int result = decodeSettings(data, size, &record);
    if (result != 0 && std::memcmp(&record, &before, sizeof record) != 0) std::abort();
    if (::strnlen(record.password, sizeof record.password) >= sizeof record.password) std::abort();
    // The dialog and the saver read the flag alike only when it is 0 or 1.
    if (result == 0 && record.passwordEnabled != 0 && record.passwordEnabled != 1) std::abort();
    // A password whose characters the file does not hold in full is left as it was.
    if (result == 0 && size >= 8 && (data[4] | data[5]) != 0) {
        size_t length = static_cast<size_t>(data[6] | data[7] << 8);   // not negative: the file was taken
        if (size - 8 < length && std::strcmp(record.password, before.password) != 0) std::abort();
    }

    // Whatever was loaded must save to a file that loads back to the same fields.
    uint8_t image[kSettingsMaxFileSize];
    size_t written = encodeSettings(record, image);
    if (written > sizeof image) std::abort();
    SettingsRecord again = before;
    if (decodeSettings(image, written, &again) != 0) std::abort();
    uint8_t second[kSettingsMaxFileSize];
    if (encodeSettings(again, second) != written || std::memcmp(image, second, written) != 0) std::abort();
    return 0;
}
