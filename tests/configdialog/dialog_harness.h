// Opens the configuration dialog on the scripted realisation inside the test process, acts on it as a
// user would, and reads back its controls, the message-box log and the settings file.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog/dialog.h"

class ConfigDialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The lines played whenever a modal window (the password dialog) waits for the user. Call before open().
    void useScript(const std::string& lines);
    // The configuration dialog, modeless so that the test keeps the handle; Settings as they are now.
    platform::Window* open();
    // Writes a settings file from Settings as they are now (the test's starting file).
    void writeSettingsFile();

    void click(int id);
    void type(int id, const std::string& text);
    void pick(int id, int index);
    void scroll(unsigned request, int thumbPos = 0);
    void pressEnter();
    void notify(int id, unsigned code);   // a notification the control would send, straight to the dialog

    bool checked(int id);
    bool enabled(int id);
    std::string text(int id);              // edit and label text, or a combo box's selected entry
    std::vector<std::string> items(int id);
    int selection(int id);
    int scrollPos(int id);
    bool applyAndCancelEnabled();          // both, checked to agree
    bool dialogOpen();

    std::vector<std::string> logLines();
    std::string settingsFile() const { return root + "/Orvask/Tockwheel.ini"; }
    bool settingsFileExists() const;
    std::vector<uint8_t> settingsBytes() const;

    std::string root;   // the Windows directory of the test, current while it runs
    platform::Window* dialog = nullptr;

private:
    std::string previousDirectory;
};

// Little-endian fields of the settings file's tail, offset from the start of the tail.
int16_t tailInt16(const std::vector<uint8_t>& bytes, size_t tailOffset);
int32_t tailInt32(const std::vector<uint8_t>& bytes, size_t tailOffset);
float tailFloat(const std::vector<uint8_t>& bytes, size_t tailOffset);
