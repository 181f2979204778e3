// setup/messages.h -- the installer's message texts and captions, exactly as the user sees them.
#pragma once

namespace setup {

constexpr char kFatalCaption[] = "Fatal error";
constexpr char kLogFatalCaption[] = "Fatal Error";
constexpr char kScriptMessage[] = "Could not open setup file!\nSetup not complete!";
constexpr char kDirectoryMessage[] = "Directory could not be created!\nAborting setup!";
constexpr char kLogMessage[] = "Error: Could not create install.log.";
constexpr char kSourceMessage[] = "Source file could not be opened!\nAborting setup!";
constexpr char kDestinationMessage[] = "Destination file could not be created!\nAborting setup!";

constexpr char kDiskCaption[] = "Disk Change";
constexpr char kDiskMessageStart[] = "Please insert disk number ";
constexpr char kDiskMessageEnd[] = "\nPress OK to continue installation";

constexpr char kSharedFolder[] = "\\orvask";

constexpr char kNoticeCaption[] = "Setup";
constexpr char kNoticeMessage[] =
    "Please note: It is recommended that you shut down all\nprograms that are currently running before "
    "continuing.\nIf you have problems installing, restart your computer\nthen try to run this setup "
    "program.\nWhen ready click ok to continue installation.";
constexpr char kAbortCaption[] = "Abort";
constexpr char kAbortMessage[] = "Installation is not complete!\nAre you sure you want to abort?";
constexpr char kFinishedCaption[] = "Finished setup";
constexpr char kFinishedMessage[] = "Setup complete!";
constexpr char kInformationCaption[] = "Information";
constexpr char kInformationMessage[] =
    "It is highly suggested that you configure the\nscreen saver before you use it. Please read\n"
    "setup.wri for information on configuring the\nscreen saver.";

}  // namespace setup
