// setup/copy_engine.h -- the copy engine: loading the install, one copy step at a time, progress numbers.
//
// The installer's windows drive it: Load when the progress dialog is created, a copy step whenever no
// event is waiting, the progress numbers when the bar is painted.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "setup/destination_file.h"
#include "setup/install_script.h"

namespace platform {
struct Window;
}

namespace setup {

constexpr size_t kSliceBytes = 25000;   // bytes copied between two visits to the event queue
constexpr size_t kSourceBufferBytes = 256 * 1024;

// Where the engine's results go. Each hook may be null; a null message hook shows platform message boxes.
struct EngineHooks {
    void (*showLabels)(const char* source, const char* destination) = nullptr;   // "Read:" / "Write:"
    void (*repaintProgress)() = nullptr;                                        // after every slice
    int (*message)(platform::Window* owner, const char* text, const char* caption, unsigned flags) = nullptr;
    platform::Window* owner = nullptr;   // the progress dialog, owner of the engine's message boxes
};

struct CopyEngine {
    std::string windowsDirectory;   // prefix of every directory and destination, as the user confirmed it
    std::string diskFolder;         // the folder the installer started in, where every source must lie
    bool createWindowsDirectory = false;   // the default one: made with its parents once the script has loaded
    InstallScript script;           // filled by loadInstall, read-only afterwards
    int currentFile = 0;            // index into script.files
    int nextPrompt = 0;             // first disk prompt not yet shown
    int64_t bytesCopied = 0;        // over all files; never reset
    bool copyEnabled = false;       // set when loading succeeded; cleared when the completion begins
    bool needOpen = true;           // the next step opens the current file instead of copying
    bool done = false;              // the last byte of the last file is written, or the user aborted
    std::FILE* source = nullptr;
    std::FILE* destination = nullptr;
    ReplacedFile replaced;          // a destination that existed, while its new content is written
    EngineHooks hooks;
    char slice[kSliceBytes];        // the bytes of one slice in flight
    char sourceBuffer[kSourceBufferBytes];   // the source stream's buffer
};

// The one engine of the installer; it lives for the whole run.
extern CopyEngine copyEngine;

enum class StepResult { Continue, MustEnd };

// Reads the script `scriptName`, creates its directories and records the product in install.log, in that
// order. An empty or relative Windows directory, a record that leads outside the Windows directory, or a
// source outside the disk folder (the current directory) fails the load before anything is created.
// Sets copy enabled on success; on the first failure shows its message and returns false.
bool loadInstall(CopyEngine& engine, const char* scriptName);

// One opening or one slice of copying. MustEnd after a source or destination failure (already shown).
StepResult copyStep(CopyEngine& engine);

// Stops the engine for good (the user aborted, or the installer ends): no further file is opened, no further
// byte written, and a file being replaced stays as it was.
void stopCopying(CopyEngine& engine);

// Bytes copied over the total of the script; 0 when the total is 0 or less. Not clamped above 1.
double progressFraction(const CopyEngine& engine);
// The fraction times 100, truncated toward zero.
int progressPercent(const CopyEngine& engine);

}  // namespace setup
