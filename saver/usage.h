// saver/usage.h -- `tockwheel --help` and `tockwheel --version`: what the program is and how to call it.
#pragma once

// The argument (as the run-mode rules find it) is exactly "--help" or "--version". Every other
// argument, "--HELP" and "--help me" included, keeps the run-mode rules.
bool isInformationRequest(const char* argument);
// Prints the usage or the version on stdout; the exit status (0).
int printInformation(const char* argument);
