// setup/install_disk.h -- which folder is the distribution disk the installer reads.
#pragma once

namespace setup {

// The current folder when it holds `scriptName`; else the disk installed with the program
// (<program's folder>/../share/tockwheel/disk), made current. False when neither holds it: the current
// folder is kept and the folders looked in are named on stderr, so that the failed load that follows
// says where the script was looked for.
bool findInstallDisk(const char* scriptName);

}  // namespace setup
