#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <set>

#include "pellam/app/CDiagnosticsMenuDlg.h"
#include "pellam/app/CPasscodeDlg.h"
#include "pellam/res/PellamResources.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"

using namespace pellam;
using ui::testing::DialogHarness;

namespace {

const int kAllButtons[] = {IDC_MENU_READ_SENSORS,       IDC_MENU_KEYBOARD_SETUP, IDC_MENU_UNLOCK,
                           IDC_MENU_USB_TEST,           IDC_MENU_ERROR_LOG,      IDC_MENU_DISPLAY_PEB,
                           IDC_MENU_CALIBRATE_PRINTHEAD, IDC_MENU_PRINT_TESTS,   IDC_MENU_COPY_TO_USB,
                           IDC_MENU_CALIBRATE_SENSORS,  IDC_MENU_CALIBRATE_PEB,  IDC_MENU_INFO,
                           IDC_CLOSE};

std::set<QString> shownCaptions(DialogHarness& h)
{
    std::set<QString> out;
    for (int id : kAllButtons)
        if (h.visible(id))
            out.insert(h.text(id));
    return out;
}

class Menu : public ::testing::Test {
protected:
    void SetUp() override { pellamtest::app(); }
};

TEST_F(Menu, UnlockingSwapsDisplayPebForTheTechnicianButtons)
{
    bool answer = false;
    int asked = 0;
    CDiagnosticsMenuDlg menu(menuButtons(), [&] {
        ++asked;
        return answer;
    });
    DialogHarness h(menu);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(menu.windowTitle(), "Diagnostics Menu");
    const std::set<QString> locked = {"Read Sensors", "Keyboard Setup", "Tech Support Unlock",
                                      "USB Test",     "Read/Print Error Log", "Display PEB",
                                      "Info",         "Close"};
    EXPECT_EQ(shownCaptions(h), locked);

    ASSERT_TRUE(h.click(IDC_MENU_UNLOCK)); // cancelled or wrong
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(shownCaptions(h), locked);
    EXPECT_FALSE(menu.unlocked());

    answer = true;
    ASSERT_TRUE(h.click(IDC_MENU_UNLOCK));
    EXPECT_TRUE(menu.unlocked());
    const std::set<QString> unlocked = {"Read Sensors",      "Keyboard Setup",      "Tech Support Unlock",
                                        "USB Test",          "Read/Print Error Log", "Calibrate Printhead",
                                        "Print Tests",       "Copy Files To USB",   "Calibrate Sensors",
                                        "Calibrate PEB",     "Info",                "Close"};
    EXPECT_EQ(shownCaptions(h), unlocked);
    EXPECT_EQ(menu.controlRect(IDC_MENU_CALIBRATE_PRINTHEAD), menu.controlRect(IDC_MENU_DISPLAY_PEB))
        << "the printhead button takes the place of Display PEB";

    // It stays unlocked: a later failed attempt changes nothing.
    answer = false;
    ASSERT_TRUE(h.click(IDC_MENU_UNLOCK));
    EXPECT_EQ(shownCaptions(h), unlocked);
}

TEST_F(Menu, ButtonsOpenTheScreenOfTheirEntryAndTheOthersAreDisabled)
{
    std::vector<int> opened;
    std::vector<MenuButton> table(menuButtons().begin(), menuButtons().end());
    for (MenuButton& b : table) {
        if (b.id == IDC_MENU_USB_TEST)
            b.open = [&] { opened.push_back(IDC_MENU_USB_TEST); };
        else if (b.open)
            b.open = [&, id = b.id] { opened.push_back(id); };
    }
    CDiagnosticsMenuDlg menu(table, [] { return true; });
    DialogHarness h(menu);
    ASSERT_TRUE(h.click(IDC_MENU_UNLOCK));
    for (const MenuButton& b : table) {
        SCOPED_TRACE(b.screen);
        EXPECT_EQ(h.enabled(b.id), bool(b.open));
        if (b.open && b.shownUnlocked) {
            opened.clear();
            ASSERT_TRUE(h.click(b.id));
            EXPECT_EQ(opened, std::vector<int>{b.id});
        } else if (!b.open) {
            EXPECT_FALSE(h.click(b.id)) << "a disabled button cannot be pressed";
        }
    }
    EXPECT_TRUE(h.enabled(IDC_MENU_INFO)) << "the information screen is built";
    for (int id : {IDC_MENU_READ_SENSORS, IDC_MENU_DISPLAY_PEB, IDC_MENU_CALIBRATE_SENSORS, IDC_MENU_CALIBRATE_PEB})
        EXPECT_TRUE(h.enabled(id)) << "the sensor and PEB screens are built: " << id;
    EXPECT_FALSE(h.ended());
}

TEST_F(Menu, CloseEndsTheMenuAsACancelAndEnterDoesNot)
{
    CDiagnosticsMenuDlg menu(menuButtons(), [] { return false; });
    DialogHarness h(menu);
    menu.command(ui::IDOK); // Enter with no button focused
    EXPECT_FALSE(h.ended());
    ASSERT_TRUE(h.click(IDC_CLOSE));
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(h.endCode(), ui::IDCANCEL);
}

// The real keypad, opened modally by the menu's own button.
TEST_F(Menu, ThePasscodeOnTheKeypadRevealsTheHiddenButtons)
{
    ui::testing::ScopedPromptRecorder prompts;
    CDiagnosticsMenuDlg menu;
    DialogHarness h(menu);
    ASSERT_FALSE(h.visible(IDC_MENU_CALIBRATE_PEB));

    const int code[] = {IDC_KEY_5, IDC_KEY_8, IDC_KEY_1, IDC_KEY_9, IDC_KEY_2, IDC_KEY_0};
    bool typed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* keypad = dynamic_cast<CPasscodeDlg*>(QApplication::activeModalWidget());
        if (!keypad || typed)
            return;
        typed = true;
        for (int key : code)
            keypad->command(key);
    });
    poll.start(10);
    ASSERT_TRUE(h.click(IDC_MENU_UNLOCK)); // returns when the keypad closed
    poll.stop();
    EXPECT_TRUE(typed);
    EXPECT_TRUE(menu.unlocked());
    EXPECT_TRUE(h.visible(IDC_MENU_CALIBRATE_PEB));
    EXPECT_TRUE(h.visible(IDC_MENU_COPY_TO_USB));
    EXPECT_FALSE(h.visible(IDC_MENU_DISPLAY_PEB));
    EXPECT_EQ(prompts.count(), 0u);
}

} // namespace
