// The in-process harness of the configuration dialog tests.
#include "dialog_harness.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "config/config_dialog.h"
#include "config/settings.h"
#include "config/video_modes.h"
#include "config/video_modes_internal.h"
#include "platform/paths.h"
#include "platform/dialog/message_box.h"
#include "platform/dialog/ui_backend.h"
#include "resources/dialog_templates.h"

namespace {

constexpr size_t kTailOffsetWithoutPassword = 6;

platform::Control* controlOf(platform::Window* dialog, int id)
{
    platform::Control* control = platform::liveWindow(dialog) ? platform::findControl(dialog, id) : nullptr;
    EXPECT_NE(control, nullptr) << "no control " << id;
    return control;
}

}  // namespace

void ConfigDialogTest::SetUp()
{
    char pattern[] = "/tmp/tockwheel-configdialog-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root = pattern;
    ASSERT_EQ(mkdir((root + "/Orvask").c_str(), 0755), 0);
    previousDirectory = platform::currentDirectory();
    ASSERT_EQ(chdir(root.c_str()), 0);
    // The offscreen back end answers mode detection with a virtual screen of a fixed size.
    setenv("TOCKWHEEL_DISPLAY", "offscreen", 1);
    setenv("TOCKWHEEL_SCREEN", "1024x768", 1);
    setenv("TOCKWHEEL_UI_LOG", (root + "/ui.log").c_str(), 1);
    resetSettings();
    pendingVideoMode = 49;
    listNotifyArmed = false;
    useScript("");
}

void ConfigDialogTest::TearDown()
{
    platform::resetUi();
    dialog = nullptr;
    ASSERT_EQ(chdir(previousDirectory.c_str()), 0);
    std::string command = "rm -rf '" + root + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    resetSettings();
}

void ConfigDialogTest::useScript(const std::string& lines)
{
    std::string path = root + "/script.txt";
    std::ofstream(path, std::ios::binary) << lines;
    setenv("TOCKWHEEL_UI", ("script:" + path).c_str(), 1);
    platform::resetUi();
}

platform::Window* ConfigDialogTest::open()
{
    dialog = platform::createDialogParam(resources::findDialogTemplate("DIALOG_1"), nullptr, ConfigDialog, 0);
    EXPECT_NE(dialog, nullptr);
    return dialog;
}

void ConfigDialogTest::writeSettingsFile() { ASSERT_EQ(saveSettings(kSettingsPath), 0); }

void ConfigDialogTest::click(int id)
{
    if (platform::Control* control = controlOf(dialog, id)) platform::userClick(dialog, control);
}

void ConfigDialogTest::type(int id, const std::string& text)
{
    if (platform::Control* control = controlOf(dialog, id)) platform::userType(dialog, control, text.c_str());
}

void ConfigDialogTest::pick(int id, int index)
{
    if (platform::Control* control = controlOf(dialog, id)) platform::userPick(dialog, control, index);
}

void ConfigDialogTest::scroll(unsigned request, int thumbPos)
{
    if (platform::Control* control = controlOf(dialog, 190)) platform::userScroll(dialog, control, request, thumbPos);
}

void ConfigDialogTest::pressEnter() { platform::userKeyEnter(dialog); }

void ConfigDialogTest::notify(int id, unsigned code)
{
    platform::sendMessage(dialog, platform::kWmCommand, platform::makeWParam(static_cast<unsigned>(id), code), 0);
}

bool ConfigDialogTest::checked(int id) { return platform::isDlgButtonChecked(dialog, id) == platform::kBstChecked; }

bool ConfigDialogTest::enabled(int id)
{
    platform::Control* control = controlOf(dialog, id);
    return control && control->enabled;
}

std::string ConfigDialogTest::text(int id)
{
    char buffer[256];
    platform::getDlgItemText(dialog, id, buffer, sizeof buffer);
    return buffer;
}

std::vector<std::string> ConfigDialogTest::items(int id)
{
    platform::Control* control = controlOf(dialog, id);
    return control ? control->items : std::vector<std::string>();
}

int ConfigDialogTest::selection(int id) { return platform::getCurSel(dialog, id); }

int ConfigDialogTest::scrollPos(int id) { return platform::getScrollPos(dialog, id); }

bool ConfigDialogTest::applyAndCancelEnabled()
{
    bool apply = enabled(113);
    EXPECT_EQ(apply, enabled(111)) << "Apply and Cancel disagree";
    return apply;
}

bool ConfigDialogTest::dialogOpen() { return platform::isWindow(dialog); }

std::vector<std::string> ConfigDialogTest::logLines()
{
    std::ifstream in(root + "/ui.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool ConfigDialogTest::settingsFileExists() const
{
    struct stat info;
    return stat(settingsFile().c_str(), &info) == 0;
}

std::vector<uint8_t> ConfigDialogTest::settingsBytes() const
{
    std::ifstream in(settingsFile(), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int16_t tailInt16(const std::vector<uint8_t>& bytes, size_t tailOffset)
{
    size_t at = kTailOffsetWithoutPassword + tailOffset;
    if (at + 2 > bytes.size()) return INT16_MIN;
    return static_cast<int16_t>(bytes[at] | bytes[at + 1] << 8);
}

int32_t tailInt32(const std::vector<uint8_t>& bytes, size_t tailOffset)
{
    size_t at = kTailOffsetWithoutPassword + tailOffset;
    if (at + 4 > bytes.size()) return INT32_MIN;
    uint32_t value = bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<uint32_t>(bytes[at + 3]) << 24;
    return static_cast<int32_t>(value);
}

float tailFloat(const std::vector<uint8_t>& bytes, size_t tailOffset)
{
    uint32_t bits = static_cast<uint32_t>(tailInt32(bytes, tailOffset));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
