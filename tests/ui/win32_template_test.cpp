// tests/ui/win32_template_test.cpp -- the DLGTEMPLATE bytes the Windows dialogs are made from, and the
// programs' icon file.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/dialog/win32_template.h"
#include "resources/clock_icon.h"
#include "resources/dialog_templates.h"
#include "resources/icon_file.h"

using namespace platform;

namespace {

// Reads the template as the window manager does: WORDs, zero-ended UTF-16 strings, items on DWORDs.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<uint32_t>& data)
        : bytes_(reinterpret_cast<const uint8_t*>(data.data())), size_(data.size() * 4) {}
    uint16_t word()
    {
        EXPECT_LE(at_ + 2, size_) << "read past the end";
        if (at_ + 2 > size_) return 0;
        uint16_t value = static_cast<uint16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
        at_ += 2;
        return value;
    }
    uint32_t dword()
    {
        uint32_t low = word();
        return low | static_cast<uint32_t>(word()) << 16;
    }
    std::string text()
    {
        std::string out;
        for (uint16_t c = word(); c != 0 && at_ < size_; c = word()) out += static_cast<char>(c);
        return out;
    }
    void alignToDword() { at_ = (at_ + 3) / 4 * 4; }
    size_t at() const { return at_; }
    size_t size() const { return size_; }

private:
    const uint8_t* bytes_;
    size_t size_;
    size_t at_ = 0;
};

}  // namespace

TEST(Win32DialogTemplate, EveryDialogReadsBackAsItsTable)
{
    for (const char* name : {"DIALOG_1", "DIALOG_2", "PATH", "DLG"}) {
        SCOPED_TRACE(name);
        const DialogTemplate& source = *resources::findDialogTemplate(name);
        std::vector<uint32_t> bytes = buildDialogTemplate(source, false);
        TemplateReader in(bytes);
        EXPECT_EQ(in.dword(), source.style | kDsSetFont);
        EXPECT_EQ(in.dword(), 0u);
        EXPECT_EQ(in.word(), source.controlCount);
        EXPECT_EQ(in.word(), source.x);
        EXPECT_EQ(in.word(), source.y);
        EXPECT_EQ(in.word(), source.width);
        EXPECT_EQ(in.word(), source.height);
        EXPECT_EQ(in.word(), 0) << "menu";
        EXPECT_EQ(in.word(), 0) << "class";
        EXPECT_EQ(in.text(), source.caption);
        EXPECT_EQ(in.word(), 8) << "points";
        EXPECT_EQ(in.text(), "Helv");
        for (int i = 0; i < source.controlCount; ++i) {
            const ControlTemplate& c = source.controls[i];
            SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(c.id));
            in.alignToDword();
            uint32_t style = in.dword();
            EXPECT_EQ(style & ~0xFu, (kWsChild | c.style) & ~0xFu);
            EXPECT_EQ(in.dword(), 0u);
            EXPECT_EQ(in.word(), c.x);
            EXPECT_EQ(in.word(), c.y);
            EXPECT_EQ(in.word(), c.width);
            EXPECT_EQ(in.word(), c.height);
            EXPECT_EQ(in.word(), c.id);
            EXPECT_EQ(in.word(), 0xFFFF);
            uint16_t atom = in.word();
            EXPECT_EQ(in.text(), c.text);
            EXPECT_EQ(in.word(), 0) << "creation data";
            // The class and the low style bits together say what the control is.
            switch (c.kind) {
            case ControlKind::PushButton: EXPECT_EQ(atom, 0x80); EXPECT_EQ(style & 0xF, 0u); break;
            case ControlKind::CheckBox: EXPECT_EQ(atom, 0x80); EXPECT_EQ(style & 0xF, 2u); break;
            case ControlKind::AutoCheckBox: EXPECT_EQ(atom, 0x80); EXPECT_EQ(style & 0xF, 3u); break;
            case ControlKind::RadioButton: EXPECT_EQ(atom, 0x80); EXPECT_EQ(style & 0xF, 4u); break;
            case ControlKind::AutoRadioButton: EXPECT_EQ(atom, 0x80); EXPECT_EQ(style & 0xF, 9u); break;
            case ControlKind::GroupBox: EXPECT_EQ(atom, 0x80); EXPECT_EQ(style & 0xF, 7u); break;
            case ControlKind::Label: EXPECT_EQ(atom, 0x82); EXPECT_EQ(style & 0xF, c.style & 0xF); break;
            case ControlKind::Edit: EXPECT_EQ(atom, 0x81); break;
            case ControlKind::ListBox: EXPECT_EQ(atom, 0x83); EXPECT_EQ(style & 0xF, 1u) << "notify"; break;
            case ControlKind::ScrollBar: EXPECT_EQ(atom, 0x84); EXPECT_EQ(style & 0xF, 1u) << "vertical"; break;
            case ControlKind::ComboBox: EXPECT_EQ(atom, 0x85); EXPECT_EQ(style & 0xF, 3u) << "drop-down list"; break;
            }
        }
        EXPECT_LE(bytes.size() * 4 - in.at(), 3u) << "only padding after the last control";
    }
}

TEST(Win32DialogTemplate, HiddenUntilShownKeepsEveryOtherStyle)
{
    const DialogTemplate& dlg = resources::kProgressDialogTemplate;
    std::vector<uint32_t> shown = buildDialogTemplate(dlg, false);
    std::vector<uint32_t> hidden = buildDialogTemplate(dlg, true);
    EXPECT_NE(shown[0] & kWsVisible, 0u);
    EXPECT_EQ(hidden[0], shown[0] & ~kWsVisible);
    EXPECT_TRUE(std::equal(shown.begin() + 1, shown.end(), hidden.begin() + 1, hidden.end()));
    // The progress bar's frame stays an invisible child whatever the dialog does.
    const ControlTemplate& frame = dlg.controls[dlg.controlCount - 1];
    EXPECT_EQ(controlWindowStyle(frame) & kWsVisible, 0u);
    EXPECT_NE(controlWindowStyle(frame) & kWsChild, 0u);
}

// windres embeds resources/tockwheel.ico; it must be the clock the dialogs draw from clock_icon.cpp.
TEST(IconFile, TheCommittedIconIsTheClockIcon)
{
    std::vector<uint8_t> made = resources::iconFileBytes(resources::kMainIcon);
    ASSERT_EQ(made.size(), 6u + 16u + 40u + 64u + 32u * 16u + 32u * 4u);
    std::ifstream file(TOCKWHEEL_SOURCE_DIR "/resources/tockwheel.ico", std::ios::binary);
    std::vector<uint8_t> committed((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(committed == made) << "resources/tockwheel.ico is stale: write iconFileBytes(kMainIcon) there";
    // The bottom row comes first: its corners are transparent in the mask, its middle (the rim) is not.
    const size_t maskStart = made.size() - 32 * 4;
    EXPECT_EQ(made[maskStart] & 0x80, 0x80) << "bottom-left pixel transparent";
    EXPECT_EQ(made[maskStart + 1] & 0x01, 0) << "bottom row pixel 15 (outline) opaque";
    // Pixel (16, 16) of the picture, the red hub, in the colour bits: row 15 from the bottom.
    const size_t colourStart = 6 + 16 + 40 + 64;
    EXPECT_EQ(made[colourStart + 15 * 16 + 8] >> 4, 9) << "palette index of red";
}
