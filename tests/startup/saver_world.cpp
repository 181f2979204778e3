// tests/startup/saver_world.cpp -- prepares a Windows directory like the installer leaves it.
#include "tests/startup/saver_world.h"

#include <unistd.h>

#include "config/settings_file.h"

SettingsRecord defaultSettingsRecord()
{
    resetSettings();
    return Settings;
}

SaverWorld::SaverWorld()
{
    makeDirectories(windows.file("Orvask"));
    makeDirectories(windows.file("fonts"));
    copyFile(TOCKWHEEL_FONT_FILE, windows.file("fonts/Arial.ttf"));
    copyFile(std::string(TOCKWHEEL_PROMPT_DIR) + "/pass.pag", windows.file("Orvask/pass.pag"));
    copyFile(std::string(TOCKWHEEL_PROMPT_DIR) + "/pass2x.pag", windows.file("Orvask/pass2x.pag"));
    environment = {
        {"WINDIR", windows.path},
        // Data missing from the Windows directory is read from installed data; this machine's must not count.
        {"XDG_DATA_DIRS", windows.file("no-installed-data")},
        {"TOCKWHEEL_DISPLAY", "offscreen"},
        {"TOCKWHEEL_SCREEN", "1024x768"},
        {"TOCKWHEEL_TIME", "2024-03-05T15:30:07"},
        {"TOCKWHEEL_PASSES", "2000"},
        {"TOCKWHEEL_UI_LOG", windows.file("ui.log")},
        {"DISPLAY", ""},
        {"WAYLAND_DISPLAY", ""},
    };
}

void SaverWorld::saveSettings(const SettingsRecord& record, const std::string& folder)
{
    makeDirectories(windows.file(folder));
    uint8_t image[kSettingsMaxFileSize];
    size_t size = encodeSettings(record, image);
    writeFile(windows.file(folder + "/Tockwheel.ini"), std::string(reinterpret_cast<char*>(image), size));
}

void SaverWorld::removeFile(const std::string& relativePath) { ::unlink(windows.file(relativePath).c_str()); }

ProgramRun SaverWorld::run(const std::string& argument, double timeLimitSeconds, const std::string& program)
{
    std::map<std::string, std::string> env = environment;
    writeFile(windows.file("events.txt"), events);
    writeFile(windows.file("script.txt"), script);
    env["TOCKWHEEL_EVENTS"] = windows.file("events.txt");
    env["TOCKWHEEL_UI"] = "script:" + windows.file("script.txt");
    return runProgram(program.empty() ? TOCKWHEEL_PROGRAM : program, {argument}, env, "/", timeLimitSeconds);
}

std::string SaverWorld::uiLog() const { return readFile(windows.file("ui.log")); }
