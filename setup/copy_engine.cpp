// setup/copy_engine.cpp -- loading the install and copying its files in slices between events.
#include "setup/copy_engine.h"

#include <cmath>
#include <climits>
#include <cstdio>

#include "platform/paths.h"
#include "platform/regular_file.h"
#include "platform/dialog/message_box.h"
#include "setup/install_log.h"
#include "setup/install_paths.h"
#include "setup/messages.h"

namespace setup {

CopyEngine copyEngine;

namespace {

int showMessage(const CopyEngine& engine, const char* text, const char* caption, unsigned flags)
{
    if (engine.hooks.message) return engine.hooks.message(engine.hooks.owner, text, caption, flags);
    return platform::messageBox(engine.hooks.owner, text, caption, flags);
}

void fail(const CopyEngine& engine, const char* text, const char* caption = kFatalCaption)
{
    showMessage(engine, text, caption, platform::kMbOk | platform::kMbIconError);
}

// Each directory in script order, one level at a time: parents come first in the script.
bool createDirectories(const CopyEngine& engine)
{
    for (const std::string& entry : engine.script.directories) {
        std::string path = engine.windowsDirectory + entry;
        if (platform::isDirectory(path.c_str())) continue;
        if (!platform::createDirectory(path.c_str())) return false;
    }
    return true;
}

// The default Windows directory does not exist yet on a fresh account: it is made with its parents, but
// only for a script that loaded, so a disk without one leaves nothing behind.
void createWindowsDirectory(const CopyEngine& engine)
{
    const std::string& path = engine.windowsDirectory;
    if (!engine.createWindowsDirectory || path.empty() || platform::isDirectory(path.c_str())) return;
    for (size_t end = path.find('/', 1); ; end = path.find('/', end + 1)) {
        std::string prefix = path.substr(0, end);
        if (!platform::isDirectory(prefix.c_str())) platform::createDirectory(prefix.c_str());
        if (end == std::string::npos) break;
    }
}

bool directoriesStayInside(const CopyEngine& engine)
{
    for (const std::string& entry : engine.script.directories)
        if (!staysInsideWindowsDirectory(engine.windowsDirectory, entry)) return false;
    return true;
}

bool destinationsStayInside(const CopyEngine& engine)
{
    for (const FileEntry& file : engine.script.files)
        if (!staysInsideWindowsDirectory(engine.windowsDirectory, file.destination)) return false;
    return true;
}

bool sourcesStayInside(const CopyEngine& engine)
{
    for (const FileEntry& file : engine.script.files)
        if (!staysInsideDiskFolder(engine.diskFolder, file.source)) return false;
    return true;
}

// The log is written through whatever lies at its name: a link there that leads out of the Windows
// directory, or nowhere, is refused as a record through such a link is.
bool logStaysInside(const CopyEngine& engine)
{
    return staysInsideWindowsDirectory(engine.windowsDirectory, std::string(kSharedFolder) + "\\" + kLogFileName);
}

void closeFiles(CopyEngine& engine)
{
    if (engine.source) std::fclose(engine.source);
    if (engine.destination) std::fclose(engine.destination);
    engine.source = nullptr;
    engine.destination = nullptr;
    dropReplacedFile(engine.replaced);
}

// True when the destination closed cleanly; only then does the file count as finished.
bool finishFile(CopyEngine& engine)
{
    std::fclose(engine.source);
    bool written = std::fclose(engine.destination) == 0;
    engine.source = nullptr;
    engine.destination = nullptr;
    if (!written) return false;
    if (!installReplacedFile(engine.replaced, engine.slice, sizeof engine.slice)) return false;
    engine.replaced.createdPath.clear();   // whole now: it stays whatever happens later
    engine.needOpen = true;
    ++engine.currentFile;
    if (engine.currentFile >= int(engine.script.files.size())) engine.done = true;
    return true;
}

void promptForDisk(CopyEngine& engine)
{
    const std::vector<DiskPrompt>& prompts = engine.script.diskPrompts;
    if (engine.nextPrompt >= int(prompts.size())) return;
    if (prompts[engine.nextPrompt].fileIndex != engine.currentFile) return;
    std::string text = kDiskMessageStart + prompts[engine.nextPrompt].label + kDiskMessageEnd;
    showMessage(engine, text.c_str(), kDiskCaption, platform::kMbOk | platform::kMbIconInformation);
    ++engine.nextPrompt;
}

StepResult openCurrentFile(CopyEngine& engine)
{
    promptForDisk(engine);
    // A script without files still opens entry 0, whose empty names fail as a missing source.
    static const FileEntry kNoEntry;
    const FileEntry& entry =
        engine.currentFile < int(engine.script.files.size()) ? engine.script.files[engine.currentFile] : kNoEntry;
    std::string destination = engine.windowsDirectory + entry.destination;
    if (engine.hooks.showLabels) engine.hooks.showLabels(entry.source.c_str(), destination.c_str());
    engine.needOpen = false;
    // Checked again at the opening: the disk may have been changed since the script was loaded. Only a
    // regular file is a source; a folder, FIFO or device is refused before the destination is touched.
    if (!entry.source.empty() && staysInsideDiskFolder(engine.diskFolder, entry.source))
        engine.source = platform::openRegularFile(platform::resolvePath(entry.source), "rb");
    if (!engine.source) {
        fail(engine, kSourceMessage);
        return StepResult::MustEnd;
    }
    engine.destination = openDestinationFile(engine.windowsDirectory, entry.destination, engine.replaced);
    if (!engine.destination) {
        closeFiles(engine);
        fail(engine, kDestinationMessage);
        return StepResult::MustEnd;
    }
    setInstalledPermissions(engine.source, engine.destination, engine.replaced);
    // Reads come from a large buffer, so a slice rarely costs a read call; each slice then goes out in one
    // unbuffered write, so a full disk fails that slice's write and nothing unwritten is counted.
    std::setvbuf(engine.source, engine.sourceBuffer, _IOFBF, sizeof engine.sourceBuffer);
    std::setvbuf(engine.destination, nullptr, _IONBF, 0);
    return StepResult::Continue;
}

// A write that falls short (a full disk) is reported as a destination failure, not counted as copied.
// A new file made by this copy goes; a file being replaced stays as it was.
StepResult writeFailed(CopyEngine& engine)
{
    removeUnfinishedNewFile(engine.replaced);
    closeFiles(engine);
    engine.copyEnabled = false;
    fail(engine, kDestinationMessage);
    return StepResult::MustEnd;
}

StepResult copySlice(CopyEngine& engine)
{
    size_t got = std::fread(engine.slice, 1, kSliceBytes, engine.source);
    if (got > 0) {
        if (std::fwrite(engine.slice, 1, got, engine.destination) != got)
            return writeFailed(engine);
        engine.bytesCopied += int64_t(got);
    }
    // A short read is the end of the file or a read error; either way this file is finished.
    if (got < kSliceBytes && !finishFile(engine)) return writeFailed(engine);
    if (engine.hooks.repaintProgress) engine.hooks.repaintProgress();
    return StepResult::Continue;
}

}  // namespace

bool loadInstall(CopyEngine& engine, const char* scriptName)
{
    engine.diskFolder = platform::currentDirectory();
    if (readInstallScript(scriptName, engine.script) != ScriptResult::Ok) {
        fail(engine, kScriptMessage);
        return false;
    }
    if (!isUsableWindowsDirectory(engine.windowsDirectory) || !directoriesStayInside(engine)) {
        fail(engine, kDirectoryMessage);
        return false;
    }
    if (!destinationsStayInside(engine)) {
        fail(engine, kDestinationMessage);
        return false;
    }
    if (!sourcesStayInside(engine)) {
        fail(engine, kSourceMessage);
        return false;
    }
    createWindowsDirectory(engine);
    if (!createDirectories(engine)) {
        fail(engine, kDirectoryMessage);
        return false;
    }
    if (!logStaysInside(engine) ||
        recordProduct(engine.windowsDirectory + kSharedFolder, engine.script.productName) != LogResult::Ok) {
        fail(engine, kLogMessage, kLogFatalCaption);
        return false;
    }
    shareFolderWithUsers(engine.windowsDirectory + kSharedFolder);
    engine.copyEnabled = true;
    return true;
}

StepResult copyStep(CopyEngine& engine)
{
    if (!engine.copyEnabled || engine.done) return StepResult::Continue;
    if (engine.needOpen) return openCurrentFile(engine);
    return copySlice(engine);
}

void stopCopying(CopyEngine& engine)
{
    closeFiles(engine);
    engine.copyEnabled = false;
}

double progressFraction(const CopyEngine& engine)
{
    if (engine.script.totalBytes <= 0) return 0.0;
    return double(engine.bytesCopied) / double(engine.script.totalBytes);
}

int progressPercent(const CopyEngine& engine)
{
    double percent = std::trunc(progressFraction(engine) * 100.0);
    if (percent >= double(INT_MAX)) return INT_MAX;
    return int(percent);
}

}  // namespace setup
