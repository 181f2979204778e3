// config/settings.cpp -- the settings record, its defaults, and loading and saving its file.
#include "config/settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/settings_file.h"
#include "platform/paths.h"
#include "platform/regular_file.h"
#include "platform/secret_memory.h"
#include "platform/whole_file.h"
#include "resources/control_ids.h"

namespace {

SettingsRecord defaultSettings()
{
    SettingsRecord r{};
    r.version = settingsVersion;
    r.passwordEnabled = 0;
    r.password[0] = '\0';
    r.modeList = nullptr;
    r.colorDepth = resources::config_ids::kDepth16Id;
    r.videoMode = 49;
    r.screenWidth = 640;
    r.screenHeight = 480;
    for (int16_t& flag : r.driverEnabled) flag = 1;
    r.frameSkip = 0;
    r.useCustomColor = 0;
    r.customRed = 0.0f;
    r.customBlue = 1.0f;
    r.customGreen = 0.0f;
    r.colorScheme = 12;
    r.colorCycling = 1;
    r.showSpheres = 0;
    r.showCubes = 1;
    r.showAmPm = 1;
    r.showNumbers = 1;
    r.starFieldEnabled = 1;
    r.starDirection = resources::config_ids::kVerticalId;
    r.starSpeed = 2;
    r.starAmount = 700;
    r.renderMode = resources::config_ids::kSolidId;
    r.movementStyle = 2;
    r.rotationEnabled = 1;
    r.keepLikeColors = 1;
    return r;
}

// The dialog's message names no file and no cause; the terminal gets both.
int reportSaveFailure(const std::string& target, const char* reason = nullptr)
{
    int cause = errno;
    std::string where = target.empty() || target[0] == '/' ? target : platform::currentDirectory() + "/" + target;
    std::fprintf(stderr, "settings: cannot save %s: %s\n", where.c_str(), reason ? reason : std::strerror(cause));
    return 1;
}

// What the file held when this program last read or wrote it, so that Apply notices a save made since
// by another dialog or program. A hash, not the bytes: they may hold the password.
struct FileFingerprint {
    bool present = false;
    uint64_t hash = 0;
};

FileFingerprint gSeenFile;

FileFingerprint fingerprintOf(const uint8_t* data, size_t size)
{
    uint64_t hash = 14695981039346656037ull;   // FNV-1a, 64 bits
    for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 1099511628211ull;
    hash = (hash ^ size) * 1099511628211ull;
    return FileFingerprint{true, hash};
}

// At most kSettingsMaxReadSize bytes of the settings file, which must be a regular file: a FIFO in its
// place is never opened for reading, since that would wait for a writer for ever. -1 when it cannot be read.
long readSettingsBytes(const char* path, std::vector<uint8_t>& data)
{
    std::FILE* file = platform::openRegularFile(platform::resolvePath(path), "rb");
    if (!file) return -1;
    // The file holds the password: no stdio buffer keeps a copy, and the caller wipes `data`.
    std::setvbuf(file, nullptr, _IONBF, 0);
    size_t size = std::fread(data.data(), 1, data.size(), file);
    std::fclose(file);
    return static_cast<long>(size);
}

}  // namespace

SettingsRecord Settings = defaultSettings();

void resetSettings()
{
    uint8_t* modeList = Settings.modeList;
    Settings = defaultSettings();
    Settings.modeList = modeList;
}

int loadSettings(const char* path)
{
    // The largest meaningful file is small; a hostile password length can ask for more, never beyond this.
    std::vector<uint8_t> data(kSettingsMaxReadSize);
    long size = readSettingsBytes(path, data);
    gSeenFile = size < 0 ? FileFingerprint() : fingerprintOf(data.data(), static_cast<size_t>(size));
    int result = size < 0 ? 1 : decodeSettings(data.data(), static_cast<size_t>(size), &Settings);
    platform::wipeSecret(data.data(), data.size());
    return result;
}

bool settingsFileChanged(const char* path)
{
    std::vector<uint8_t> data(kSettingsMaxReadSize);
    long size = readSettingsBytes(path, data);
    // A file that is gone, or cannot be read, holds nothing a save could lose.
    if (size < 0) return false;
    FileFingerprint now = fingerprintOf(data.data(), static_cast<size_t>(size));
    platform::wipeSecret(data.data(), data.size());
    return !gSeenFile.present || now.hash != gSeenFile.hash;
}

// The file may hold the password in plain text, so only its owner may read it, and a folder made for it
// is its owner's alone (platform/whole_file.h).
int saveSettings(const char* path)
{
    uint8_t image[kSettingsMaxFileSize];
    size_t size = encodeSettings(Settings, image);

    std::string target = platform::resolvePath(path);
    // The replacement below would put a new file in place of one this user may not write, or a FIFO or device: the file that
    // is there must be one this user could open for writing.
    platform::FileCheck existing = platform::checkWritableFile(target);
    if (existing == platform::FileCheck::NotRegular) return reportSaveFailure(target, "not a regular file");
    if (existing == platform::FileCheck::Denied) return reportSaveFailure(target);
    // Replaced whole: a full disk or a crash never leaves a cut settings file.
    std::string failure;
    bool written = platform::replaceFileWhole(path, image, size, &failure);
    FileFingerprint saved = fingerprintOf(image, size);
    platform::wipeSecret(image, sizeof image);
    if (!written) {
        std::fprintf(stderr, "settings: cannot save %s\n", failure.c_str());
        return 1;
    }
    gSeenFile = saved;
    return 0;
}

display::DriverOptions driverOptionsFromSettings(const int16_t driverEnabled[kDriverCount])
{
    // Settings order: Full screen DIB, VBE 2.0, VBE/AF, Standard VGA, Mode X, DirectDraw, WinDirect, Linear.
    display::DriverOptions options = {};
    options.winDirect = driverEnabled[6];
    options.directDraw = driverEnabled[5];
    options.standardVga = driverEnabled[3];
    options.modeX = driverEnabled[4];
    options.vbe = driverEnabled[1];
    options.linear = driverEnabled[7];
    options.vbeAf = driverEnabled[2];
    options.fullScreenDib = driverEnabled[0];
    return options;
}
