// tests/golden/golden_run.cpp -- whole saver runs that leave a snapshot.
#include "tests/golden/golden_run.h"

#include <cstdio>

#include "display/display.h"

SettingsRecord pictureSettings()
{
    SettingsRecord settings = defaultSettingsRecord();
    settings.videoMode = kMode640x480x24;
    settings.colorDepth = kColorDepth24;
    settings.colorScheme = 5;    // "Candy Cane"
    settings.colorCycling = 0;
    settings.movementStyle = 1;  // "2D Bounce": the dial keeps facing the viewer
    return settings;
}

std::string snapshotPath(const std::string& name)
{
    std::string folder = std::string(TOCKWHEEL_BINARY_DIR) + "/tests/golden/snapshots";
    makeDirectories(folder);
    std::string path = folder + "/" + name + ".png";
    std::remove(path.c_str());
    std::remove((path + ".diff.png").c_str());
    return path;
}

ProgramRun runWithEvents(SaverWorld& world, const SettingsRecord& settings, const std::string& events,
                         int passLimit)
{
    int width = 0, height = 0;
    display::modeResolution(settings.videoMode, &width, &height, nullptr);
    world.environment["TOCKWHEEL_SCREEN"] = std::to_string(width) + "x" + std::to_string(height);
    world.environment["TOCKWHEEL_PASSES"] = std::to_string(passLimit);
    world.saveSettings(settings);
    world.events = events;
    return world.run();
}

ProgramRun runToSnapshot(SaverWorld& world, const SettingsRecord& settings, int snapshotPass,
                         const std::string& snapshot)
{
    std::string events = "at " + std::to_string(snapshotPass) + " snapshot " + snapshot + "\n" + "at " +
                         std::to_string(snapshotPass + 1) + " key 32\n";
    return runWithEvents(world, settings, events, snapshotPass + 10);
}
