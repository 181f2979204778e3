// The settings file's bytes: what a save writes and what a load takes, including hostile files.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/settings.h"
#include "config/settings_file.h"

namespace {

std::vector<uint8_t> defaultFileBytes()
{
    std::vector<uint8_t> bytes = {0xCD, 0xCC, 0x8C, 0x3F, 0x00, 0x00, 0x31, 0x00, 0x00, 0x00, 0x9A, 0x00, 0x00, 0x00};
    for (int i = 0; i < 8; ++i) {
        bytes.push_back(0x01);
        bytes.push_back(0x00);
    }
    const uint8_t rest[] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00,
                            0x00, 0x00, 0x0C, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x00,
                            0x01, 0x00, 0xF6, 0x01, 0x02, 0x00, 0xBC, 0x02, 0x59, 0x02, 0x02, 0x00, 0x01, 0x00,
                            0x01, 0x00};
    bytes.insert(bytes.end(), rest, rest + sizeof rest);
    return bytes;
}

std::vector<uint8_t> encode(const SettingsRecord& record)
{
    uint8_t image[kSettingsMaxFileSize];
    size_t size = encodeSettings(record, image);
    return std::vector<uint8_t>(image, image + size);
}

SettingsRecord defaults()
{
    resetSettings();
    return Settings;
}

float floatAt(const std::vector<uint8_t>& bytes, size_t offset)
{
    float value;
    std::memcpy(&value, bytes.data() + offset, 4);
    return value;
}

bool sameStoredFields(const SettingsRecord& a, const SettingsRecord& b)
{
    return encode(a) == encode(b) && std::strcmp(a.password, b.password) == 0;
}

}  // namespace

TEST(SettingsBytes, DefaultsWriteExactlyTheKnown74Bytes)
{
    std::vector<uint8_t> bytes = encode(defaults());
    ASSERT_EQ(bytes.size(), 74u);
    EXPECT_EQ(bytes, defaultFileBytes());
}

TEST(SettingsBytes, PasswordBlockSitsBetweenFlagAndTail)
{
    SettingsRecord record = defaults();
    record.passwordEnabled = 1;
    std::strcpy(record.password, "abc");
    std::vector<uint8_t> bytes = encode(record);
    ASSERT_EQ(bytes.size(), 79u);
    EXPECT_EQ(bytes[4], 0x01);
    EXPECT_EQ(bytes[6], 0x03);
    EXPECT_EQ(bytes[7], 0x00);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 11), "abc");
    EXPECT_EQ(bytes[11], 0x31);   // the tail starts with videoMode 49

    record.passwordEnabled = 0;
    bytes = encode(record);
    EXPECT_EQ(bytes.size(), 74u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()).find("abc"), std::string::npos);
}

TEST(SettingsBytes, BlueIsStoredBeforeGreen)
{
    SettingsRecord record = defaults();
    record.customRed = 0.25f;
    record.customGreen = 0.5f;
    record.customBlue = 0.75f;
    std::vector<uint8_t> bytes = encode(record);
    EXPECT_EQ(floatAt(bytes, 6 + 28), 0.25f);
    EXPECT_EQ(floatAt(bytes, 6 + 32), 0.75f);
    EXPECT_EQ(floatAt(bytes, 6 + 36), 0.5f);
}

TEST(SettingsBytes, RoundTripOfEveryField)
{
    SettingsRecord record = defaults();
    record.passwordEnabled = 1;
    std::strcpy(record.password, "Secret 42");
    record.colorDepth = 156;
    record.videoMode = 85;
    record.driverEnabled[3] = 0;
    record.frameSkip = 20;
    record.useCustomColor = 1;
    record.customRed = 0.125f;
    record.customGreen = 0.5f;
    record.customBlue = 0.0625f;
    record.colorScheme = 3;
    record.starAmount = -25536;
    record.renderMode = 600;
    record.movementStyle = 9;
    record.keepLikeColors = 0;
    std::vector<uint8_t> bytes = encode(record);

    SettingsRecord loaded = defaults();
    ASSERT_EQ(decodeSettings(bytes.data(), bytes.size(), &loaded), 0);
    EXPECT_TRUE(sameStoredFields(loaded, record));
    EXPECT_STREQ(loaded.password, "Secret 42");
}

TEST(SettingsLoad, ForeignStampLeavesEveryFieldAsItWas)
{
    SettingsRecord changed = defaults();
    changed.videoMode = 11;
    changed.colorScheme = 5;
    std::vector<uint8_t> bytes = encode(changed);
    bytes[0] = 0x00;

    SettingsRecord loaded = defaults();
    EXPECT_EQ(decodeSettings(bytes.data(), bytes.size(), &loaded), 1);
    EXPECT_TRUE(sameStoredFields(loaded, defaults()));
    EXPECT_EQ(decodeSettings(bytes.data(), 3, &loaded), 1);
    EXPECT_EQ(decodeSettings(bytes.data(), 0, &loaded), 1);
}

TEST(SettingsLoad, ShortFileLoadsWhatItCoversAndKeepsTheRest)
{
    SettingsRecord changed = defaults();
    changed.videoMode = 11;
    changed.colorDepth = 152;
    changed.frameSkip = 7;
    std::vector<uint8_t> bytes = encode(changed);

    SettingsRecord loaded = defaults();
    // Cut inside frameSkip: videoMode and colorDepth come from the file, frameSkip keeps its value.
    ASSERT_EQ(decodeSettings(bytes.data(), 6 + 25, &loaded), 0);
    EXPECT_EQ(loaded.videoMode, 11);
    EXPECT_EQ(loaded.colorDepth, 152);
    EXPECT_EQ(loaded.frameSkip, 0);
    EXPECT_EQ(loaded.starAmount, 700);

    loaded = defaults();
    ASSERT_EQ(decodeSettings(bytes.data(), 4, &loaded), 0);
    EXPECT_TRUE(sameStoredFields(loaded, defaults()));
}

TEST(SettingsLoad, PasswordLongerThan43KeepsItsStartAndTheTailStaysAligned)
{
    std::vector<uint8_t> bytes = {0xCD, 0xCC, 0x8C, 0x3F, 0x01, 0x00};
    const int16_t storedLength = 300;
    bytes.push_back(static_cast<uint8_t>(storedLength & 0xFF));
    bytes.push_back(static_cast<uint8_t>(storedLength >> 8));
    for (int i = 0; i < storedLength; ++i) bytes.push_back(static_cast<uint8_t>('A' + i % 26));
    SettingsRecord tailSource = defaults();
    tailSource.videoMode = 64;
    tailSource.keepLikeColors = 0;
    std::vector<uint8_t> tail = encode(tailSource);
    bytes.insert(bytes.end(), tail.begin() + 6, tail.end());

    SettingsRecord loaded = defaults();
    ASSERT_EQ(decodeSettings(bytes.data(), bytes.size(), &loaded), 0);
    EXPECT_EQ(std::strlen(loaded.password), 43u);
    EXPECT_EQ(std::string(loaded.password, 3), "ABC");
    EXPECT_EQ(loaded.videoMode, 64);
    EXPECT_EQ(loaded.keepLikeColors, 0);
}

TEST(SettingsLoad, NegativePasswordLengthRejectsTheFileAsForeign)
{
    std::vector<uint8_t> bytes = encode(defaults());
    bytes[4] = 0x01;
    const uint8_t negative[] = {0xFF, 0xFF};   // -1
    bytes.insert(bytes.begin() + 6, negative, negative + 2);
    SettingsRecord loaded = defaults();
    std::strcpy(loaded.password, "kept");
    EXPECT_EQ(decodeSettings(bytes.data(), bytes.size(), &loaded), 1);
    EXPECT_EQ(loaded.passwordEnabled, 0);
    EXPECT_STREQ(loaded.password, "kept");
}

TEST(SettingsLoad, PasswordCutShortByTheEndOfTheFileIsLeftAsItWas)
{
    SettingsRecord before = defaults();
    std::strcpy(before.password, "kept");

    // Five characters promised, two there.
    const uint8_t cut[] = {0xCD, 0xCC, 0x8C, 0x3F, 0x01, 0x00, 0x05, 0x00, 'h', 'e'};
    SettingsRecord loaded = before;
    ASSERT_EQ(decodeSettings(cut, sizeof cut, &loaded), 0);
    EXPECT_EQ(loaded.passwordEnabled, 1);
    EXPECT_STREQ(loaded.password, "kept");

    // The largest length with a whole tail behind it: the tail's bytes are no password, and the tail is
    // not where the file says it is.
    SettingsRecord tailSource = defaults();
    tailSource.videoMode = 64;
    std::vector<uint8_t> bytes = {0xCD, 0xCC, 0x8C, 0x3F, 0x01, 0x00, 0xFF, 0x7F, 'a', 'b', 'c'};
    std::vector<uint8_t> tail = encode(tailSource);
    bytes.insert(bytes.end(), tail.begin() + 6, tail.end());
    loaded = before;
    ASSERT_EQ(decodeSettings(bytes.data(), bytes.size(), &loaded), 0);
    EXPECT_STREQ(loaded.password, "kept");
    EXPECT_EQ(loaded.videoMode, 49);
}

TEST(SettingsSave, UnterminatedPasswordNeverWritesMoreThan43Characters)
{
    SettingsRecord record = defaults();
    record.passwordEnabled = 1;
    std::memset(record.password, 'x', sizeof record.password);
    std::vector<uint8_t> bytes = encode(record);
    EXPECT_EQ(bytes.size(), 76u + 43u);
    EXPECT_EQ(bytes[6], 43);
}
