// resources/control_ids.h -- the control ids of the four dialogs, named once, as a resource header names them.
//
// The templates, the dialog procedures, the settings' defaults and the saver all read them from here. Some
// settings hold a control id as their value (the checked radio button), so these numbers are also part of
// the settings file and never change.
#pragma once

namespace resources {

constexpr int kUnnamedId = 100;   // labels and group boxes no dialog procedure addresses

// "DIALOG_1": the configuration dialog.
namespace config_ids {
constexpr int kOkId = 110;
constexpr int kCancelId = 111;
constexpr int kAboutId = 112;
constexpr int kApplyId = 113;
constexpr int kDefaultId = 114;
constexpr int kHelpId = 115;
constexpr int kModeListId = 150;
constexpr int kCurrentModeLabelId = 151;
constexpr int kDepth8Id = 152;    // "8 bit": the first colour-depth button
constexpr int kDepth15Id = 153;
constexpr int kDepth16Id = 154;
constexpr int kDepth24Id = 155;
constexpr int kDepth32Id = 156;   // the last colour-depth button
constexpr int kFirstDriverBoxId = 160;   // "Full screen DIB", driverEnabled[0]
constexpr int kLastDriverBoxId = 167;    // "Linear", driverEnabled[7]
constexpr int kPasswordBoxId = 170;
constexpr int kChangePasswordId = 171;
constexpr int kSpeedBarId = 190;
constexpr int kCustomColorBoxId = 200;
constexpr int kRedEditId = 201;
constexpr int kGreenEditId = 202;
constexpr int kBlueEditId = 203;
constexpr int kSchemeComboId = 204;
constexpr int kColorCyclingId = 205;
constexpr int kKeepLikeColorsId = 206;
constexpr int kCubesId = 300;
constexpr int kSpheresId = 301;
constexpr int kAmPmId = 400;
constexpr int kNumbersId = 401;
constexpr int kStarFieldId = 500;
constexpr int kHorizontalId = 501;   // star direction
constexpr int kVerticalId = 502;
constexpr int kStarSpeedId = 504;
constexpr int kStarAmountId = 505;
constexpr int kWireframeId = 600;    // rendering
constexpr int kSolidId = 601;
constexpr int kStyleComboId = 700;
constexpr int kRotationBoxId = 900;
constexpr int kSchemeLabelId = 1100;
constexpr int kColorLabelId = 1101;
}  // namespace config_ids

// "DIALOG_2": the password change.
namespace password_ids {
constexpr int kOkId = 1;       // the dialog's accept and cancel commands
constexpr int kCancelId = 2;
constexpr int kOldPasswordId = 100;
constexpr int kNewPasswordId = 101;
constexpr int kConfirmPasswordId = 102;
constexpr int kOldLabelId = 103;
constexpr int kNewLabelId = 104;
constexpr int kConfirmLabelId = 105;
}  // namespace password_ids

// "PATH": the installer's question for the Windows directory.
namespace path_ids {
constexpr int kOkId = 1;
constexpr int kCancelId = 2;
constexpr int kPromptId = 100;
constexpr int kEditWindowsDirectory = 102;
}  // namespace path_ids

// "DLG": the installer's progress.
namespace progress_ids {
constexpr int kCancelId = 2;
constexpr int kReadLabelId = 102;
constexpr int kWriteLabelId = 104;
constexpr int kFieldSource = 200;        // "Read:"
constexpr int kFieldDestination = 201;   // "Write:"
constexpr int kFrameProgressBar = 202;   // hidden, gives the bar its size
}  // namespace progress_ids

}  // namespace resources
