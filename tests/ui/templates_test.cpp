// tests/ui/templates_test.cpp -- the four dialog templates hang together.
#include <gtest/gtest.h>

#include <set>

#include "resources/dialog_templates.h"

using namespace platform;

namespace {

const char* const kNames[] = {"DIALOG_1", "DIALOG_2", "PATH", "DLG"};

}  // namespace

TEST(DialogTemplates, FoundByNameInAnyCase)
{
    for (const char* name : kNames) {
        const DialogTemplate* found = resources::findDialogTemplate(name);
        ASSERT_NE(found, nullptr) << name;
        EXPECT_STREQ(found->name, name);
        EXPECT_STREQ(found->fontName, "Helv");
        EXPECT_EQ(found->fontPoints, 8);
    }
    EXPECT_EQ(resources::findDialogTemplate("dialog_2"), &resources::kPasswordDialogTemplate);
    EXPECT_EQ(resources::findDialogTemplate("DIALOG_3"), nullptr);
    EXPECT_EQ(resources::findDialogTemplate(nullptr), nullptr);
}

TEST(DialogTemplates, ControlsLieInsideTheirDialogAndAddressableIdsAreUnique)
{
    for (const char* name : kNames) {
        const DialogTemplate& t = *resources::findDialogTemplate(name);
        std::set<int> ids;
        for (int i = 0; i < t.controlCount; ++i) {
            const ControlTemplate& c = t.controls[i];
            SCOPED_TRACE(std::string(name) + " control " + std::to_string(c.id) + " " + c.text);
            EXPECT_GE(c.x, 0);
            EXPECT_GE(c.y, 0);
            EXPECT_LE(c.x + c.width, t.width);
            // A combo box's height is its dropped-down list, which may reach past the dialog.
            if (c.kind != ControlKind::ComboBox) {
                EXPECT_LE(c.y + c.height, t.height);
            }
            bool unnamedStatic = c.id == 100 && (c.kind == ControlKind::Label || c.kind == ControlKind::GroupBox);
            if (!unnamedStatic) {
                EXPECT_TRUE(ids.insert(c.id).second) << "duplicate id";
            }
        }
    }
}

TEST(DialogTemplates, OnlyTheConfigurationDialogHasACloseBox)
{
    EXPECT_TRUE(resources::kConfigDialogTemplate.style & kWsSysMenu);
    EXPECT_TRUE(resources::kConfigDialogTemplate.style & kDsCenter);
    for (const DialogTemplate* t : {&resources::kPasswordDialogTemplate, &resources::kPathDialogTemplate,
                                    &resources::kProgressDialogTemplate})
        EXPECT_FALSE(t->style & kWsSysMenu) << t->name;
}
