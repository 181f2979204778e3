// config/settings.cpp -- the settings record, its defaults, and loading and saving its file.
#include "config/settings.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "config/settings_file.h"
#include "platform/paths.h"
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
    std::FILE* file = platform::openFile(path, "rb");
    if (!file) return 1;
    // The file holds the password: no stdio buffer keeps a copy, and ours is wiped once decoded.
    std::setvbuf(file, nullptr, _IONBF, 0);
    // The largest meaningful file is small; a hostile password length can ask for more, never beyond this.
    std::vector<uint8_t> data(kSettingsMaxReadSize);
    size_t size = std::fread(data.data(), 1, data.size(), file);
    std::fclose(file);
    int result = decodeSettings(data.data(), size, &Settings);
    platform::wipeSecret(data.data(), data.size());
    return result;
}

// The file is replaced whole, so a full disk or a crash never leaves a cut settings file; it may hold
// the password in plain text, so only its owner may read it. The dialog's message names no file and no
// cause; the terminal gets both.
int saveSettings(const char* path)
{
    uint8_t image[kSettingsMaxFileSize];
    size_t size = encodeSettings(Settings, image);
    std::string failure;
    bool saved = platform::replaceFileWhole(path, image, size, &failure);
    platform::wipeSecret(image, sizeof image);
    if (saved) return 0;
    std::fprintf(stderr, "settings: cannot save %s\n", failure.c_str());
    return 1;
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
