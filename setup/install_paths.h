// setup/install_paths.h -- whether a script's directory or destination stays inside the Windows directory,
// and its sources inside the disk folder.
//
// The script comes from a disk, which is outside data: a record must not reach past the Windows directory,
// whether through ".." components, a name that runs on after the directory's own name ("%Wsibling"), or a
// link below the Windows directory that points outside it or nowhere.
#pragma once

#include <string>

namespace setup {

// True when `entry`, appended to `windowsDirectory`, names the Windows directory or a path below it, and
// every link on the way that already exists leads to a place inside it. A Windows directory that does not
// exist yet holds no links, so only the names are checked then.
bool staysInsideWindowsDirectory(const std::string& windowsDirectory, const std::string& entry);

// An empty or relative Windows directory would put every record wherever the installer runs (an empty
// one at the root): only an absolute path is used.
bool isUsableWindowsDirectory(const std::string& windowsDirectory);

// True when the source name `source`, taken relative to `diskFolder` (the real path of the folder the
// installer started in; empty for the current directory), names a file inside that folder: no absolute
// name, no ".." component, and no link on the way that leads out of the folder or nowhere. Sources are
// read from the disk only.
bool staysInsideDiskFolder(const std::string& diskFolder, const std::string& source);

}  // namespace setup
