// setup/install_paths.h -- whether a script's directory or destination stays inside the Windows directory.
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

}  // namespace setup
