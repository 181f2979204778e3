// tests/startup/saver_world.h -- a Windows directory for one saver run, and the run itself.
#pragma once

#include <map>
#include <string>

#include "config/settings.h"
#include "tests/support/program_run.h"

struct SaverWorld {
    SaverWorld();
    TempDir windows;
    std::string events;                          // TOCKWHEEL_EVENTS lines
    std::string script;                          // TOCKWHEEL_UI script lines
    std::map<std::string, std::string> environment;

    // Writes the settings file into "Orvask" (or the given folder name).
    void saveSettings(const SettingsRecord& record, const std::string& folder = "Orvask");
    void removeFile(const std::string& relativePath);
    // Runs the program (or `program`, a link to it, say) with one argument.
    ProgramRun run(const std::string& argument = "/s", double timeLimitSeconds = 120, const std::string& program = "");
    std::string uiLog() const;
};

SettingsRecord defaultSettingsRecord();
