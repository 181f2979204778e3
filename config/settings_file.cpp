// config/settings_file.cpp -- the settings file's bytes: a packed little-endian image, field by field.
#include "config/settings_file.h"

#include <cstring>

#include "platform/secret_memory.h"

namespace {

const uint8_t kVersionBytes[4] = {0xCD, 0xCC, 0x8C, 0x3F};   // 1.1f

struct Writer {
    uint8_t* out;
    size_t size;
    void bytes(const void* data, size_t count)
    {
        std::memcpy(out + size, data, count);
        size += count;
    }
    void i16(int16_t value)
    {
        uint16_t bits = static_cast<uint16_t>(value);
        uint8_t le[2] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8)};
        bytes(le, 2);
    }
    void i32(int32_t value)
    {
        uint32_t bits = static_cast<uint32_t>(value);
        uint8_t le[4] = {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8),
                         static_cast<uint8_t>(bits >> 16), static_cast<uint8_t>(bits >> 24)};
        bytes(le, 4);
    }
    void f32(float value)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        i32(static_cast<int32_t>(bits));
    }
};

// Reads fields while the data lasts; a field the data covers only partly is left as it was.
struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at;
    bool take(size_t count)
    {
        if (size - at < count) {
            at = size;
            return false;
        }
        at += count;
        return true;
    }
    uint32_t le(size_t count) const
    {
        uint32_t value = 0;
        for (size_t i = 0; i < count; ++i) value |= static_cast<uint32_t>(data[at - count + i]) << (8 * i);
        return value;
    }
    void i16(int16_t* field)
    {
        if (take(2)) *field = static_cast<int16_t>(le(2));
    }
    void i32(int32_t* field)
    {
        if (take(4)) *field = static_cast<int32_t>(le(4));
    }
    void f32(float* field)
    {
        if (!take(4)) return;
        uint32_t bits = le(4);
        std::memcpy(field, &bits, 4);
    }
};

template <typename Visit>
void forEachTailField(SettingsRecord& r, Visit&& visit)
{
    visit.i32(&r.videoMode);
    visit.i32(&r.colorDepth);
    for (int16_t& flag : r.driverEnabled) visit.i16(&flag);
    visit.i16(&r.frameSkip);
    visit.i16(&r.useCustomColor);
    visit.f32(&r.customRed);
    visit.f32(&r.customBlue);
    visit.f32(&r.customGreen);
    visit.i16(&r.colorScheme);
    visit.i16(&r.colorCycling);
    visit.i16(&r.showSpheres);
    visit.i16(&r.showCubes);
    visit.i16(&r.showAmPm);
    visit.i16(&r.showNumbers);
    visit.i16(&r.starFieldEnabled);
    visit.i16(&r.starDirection);
    visit.i16(&r.starSpeed);
    visit.i16(&r.starAmount);
    visit.i16(&r.renderMode);
    visit.i16(&r.movementStyle);
    visit.i16(&r.rotationEnabled);
    visit.i16(&r.keepLikeColors);
}

// The writer reads fields through the same visitor shape as the reader.
struct TailWriter {
    Writer& w;
    void i16(const int16_t* field) { w.i16(*field); }
    void i32(const int32_t* field) { w.i32(*field); }
    void f32(const float* field) { w.f32(*field); }
};

}  // namespace

size_t encodeSettings(const SettingsRecord& record, uint8_t out[kSettingsMaxFileSize])
{
    Writer w{out, 0};
    w.bytes(kVersionBytes, 4);
    w.i16(record.passwordEnabled);
    if (record.passwordEnabled != 0) {
        size_t length = ::strnlen(record.password, kPasswordMaxLength);
        w.i16(static_cast<int16_t>(length));
        w.bytes(record.password, length);
    }
    SettingsRecord copy = record;
    forEachTailField(copy, TailWriter{w});
    platform::wipeSecret(&copy, sizeof copy);   // it holds the password too
    return w.size;
}

int decodeSettings(const uint8_t* data, size_t size, SettingsRecord* record)
{
    if (size < 4 || std::memcmp(data, kVersionBytes, 4) != 0) return 1;

    SettingsRecord loaded = *record;
    Reader r{data, size, 4};
    r.i16(&loaded.passwordEnabled);
    // The password block is there for any flag but 0, so the flag means "on": the dialog shows it so
    // and the saver asks, rather than one showing it on while the other lets anyone in.
    if (loaded.passwordEnabled != 0) loaded.passwordEnabled = 1;
    if (loaded.passwordEnabled != 0 && r.take(2)) {
        int16_t length = static_cast<int16_t>(r.le(2));
        if (length < 0) return 1;
        size_t stored = static_cast<size_t>(length);
        const uint8_t* characters = data + r.at;
        // Characters the file does not hold in full make a cut field, and nothing after it is read: taking
        // the part that is there would load a password nobody set, or tail bytes as password characters.
        if (r.take(stored)) {
            size_t kept = stored < kPasswordMaxLength ? stored : kPasswordMaxLength;
            std::memcpy(loaded.password, characters, kept);
            loaded.password[kept] = '\0';
        }
    }
    forEachTailField(loaded, r);
    loaded.version = settingsVersion;
    *record = loaded;
    platform::wipeSecret(&loaded, sizeof loaded);   // it holds the password too
    return 0;
}
