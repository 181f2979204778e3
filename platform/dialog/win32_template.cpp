// platform/dialog/win32_template.cpp -- the DLGTEMPLATE bytes of a dialog template, item by item.
#include "platform/dialog/win32_template.h"

#include <cstring>

namespace platform {
namespace {

constexpr unsigned kBsPushButton = 0x0;
constexpr unsigned kBsCheckBox = 0x2;
constexpr unsigned kBsAutoCheckBox = 0x3;
constexpr unsigned kBsRadioButton = 0x4;
constexpr unsigned kBsGroupBox = 0x7;
constexpr unsigned kBsAutoRadioButton = 0x9;
constexpr uint16_t kAtomFollows = 0xFFFF;

// Little-endian WORDs, packed two to a DWORD: the layout the window manager reads.
class TemplateWriter {
public:
    void word(uint16_t value)
    {
        bytes_.push_back(static_cast<uint8_t>(value & 0xFF));
        bytes_.push_back(static_cast<uint8_t>(value >> 8));
    }
    void dword(uint32_t value)
    {
        word(static_cast<uint16_t>(value & 0xFFFF));
        word(static_cast<uint16_t>(value >> 16));
    }
    void text(const char* ascii)
    {
        for (const char* p = ascii ? ascii : ""; *p; ++p) word(static_cast<unsigned char>(*p));
        word(0);
    }
    void alignToDword()
    {
        while (bytes_.size() % 4) bytes_.push_back(0);
    }
    std::vector<uint32_t> take()
    {
        alignToDword();
        std::vector<uint32_t> out(bytes_.size() / 4);
        if (!out.empty()) std::memcpy(out.data(), bytes_.data(), bytes_.size());   // both little-endian
        return out;
    }

private:
    std::vector<uint8_t> bytes_;
};

unsigned buttonType(ControlKind kind)
{
    switch (kind) {
    case ControlKind::CheckBox: return kBsCheckBox;
    case ControlKind::AutoCheckBox: return kBsAutoCheckBox;
    case ControlKind::RadioButton: return kBsRadioButton;
    case ControlKind::AutoRadioButton: return kBsAutoRadioButton;
    case ControlKind::GroupBox: return kBsGroupBox;
    default: return kBsPushButton;
    }
}

uint16_t unitWord(int units) { return static_cast<uint16_t>(static_cast<int16_t>(units)); }

}  // namespace

uint16_t controlClassAtom(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label: return kStaticClassAtom;
    case ControlKind::Edit: return kEditClassAtom;
    case ControlKind::ComboBox: return kComboBoxClassAtom;
    case ControlKind::ListBox: return kListBoxClassAtom;
    case ControlKind::ScrollBar: return kScrollBarClassAtom;
    default: return kButtonClassAtom;
    }
}

unsigned controlWindowStyle(const ControlTemplate& control)
{
    unsigned style = kWsChild | control.style;
    if (controlClassAtom(control.kind) == kButtonClassAtom) style |= buttonType(control.kind);
    return style;
}

std::vector<uint32_t> buildDialogTemplate(const DialogTemplate& source, bool withoutVisible)
{
    TemplateWriter out;
    unsigned style = source.style | (source.fontName ? kDsSetFont : 0);
    if (withoutVisible) style &= ~kWsVisible;
    out.dword(style);
    out.dword(0);   // extended style
    out.word(static_cast<uint16_t>(source.controlCount));
    out.word(unitWord(source.x));
    out.word(unitWord(source.y));
    out.word(unitWord(source.width));
    out.word(unitWord(source.height));
    out.word(0);   // no menu
    out.word(0);   // the dialog class
    out.text(source.caption);
    if (source.fontName) {
        out.word(static_cast<uint16_t>(source.fontPoints));
        out.text(source.fontName);
    }
    for (int i = 0; i < source.controlCount; ++i) {
        const ControlTemplate& control = source.controls[i];
        out.alignToDword();
        out.dword(controlWindowStyle(control));
        out.dword(0);   // extended style
        out.word(unitWord(control.x));
        out.word(unitWord(control.y));
        out.word(unitWord(control.width));
        out.word(unitWord(control.height));
        out.word(static_cast<uint16_t>(control.id));
        out.word(kAtomFollows);
        out.word(controlClassAtom(control.kind));
        out.text(control.text);
        out.word(0);   // no creation data
    }
    return out.take();
}

}  // namespace platform
