// platform/dialog/win32_template.h -- a dialog template of resources/ as the bytes of a Windows DLGTEMPLATE.
//
// Plain byte layout, the same on every system, so that it is tested where it is built; the Windows
// realisation hands the bytes to DialogBoxIndirectParamA and CreateDialogIndirectParamA.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/dialog/dialog.h"

namespace platform {

constexpr unsigned kWsChild = 0x40000000;
constexpr unsigned kDsSetFont = 0x0040;

// The predefined window classes, as the atoms a template names them by.
constexpr uint16_t kButtonClassAtom = 0x0080;
constexpr uint16_t kEditClassAtom = 0x0081;
constexpr uint16_t kStaticClassAtom = 0x0082;
constexpr uint16_t kListBoxClassAtom = 0x0083;
constexpr uint16_t kScrollBarClassAtom = 0x0084;
constexpr uint16_t kComboBoxClassAtom = 0x0085;

uint16_t controlClassAtom(ControlKind kind);
// The control's whole window style: child, the template's styles and the button type its kind implies.
unsigned controlWindowStyle(const ControlTemplate& control);

// A DLGTEMPLATE (no menu, the default dialog class, the caption, DS_SETFONT with the template's font),
// then one DWORD-aligned DLGITEMTEMPLATE per control in table order. `withoutVisible` drops WS_VISIBLE
// from the dialog's style, for a dialog shown only once its procedure has initialised it. Texts are
// ASCII and widened byte by byte. The vector's data is DWORD aligned, as the calls require.
std::vector<uint32_t> buildDialogTemplate(const DialogTemplate& source, bool withoutVisible);

}  // namespace platform
