#include <gtest/gtest.h>

#include "pellam/app/CPasscodeDlg.h"
#include "pellam/res/PellamResources.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"

using namespace pellam;
using ui::testing::DialogHarness;

namespace {

int keyOf(QChar digit)
{
    static const int keys[10] = {IDC_KEY_0, IDC_KEY_1, IDC_KEY_2, IDC_KEY_3, IDC_KEY_4,
                                 IDC_KEY_5, IDC_KEY_6, IDC_KEY_7, IDC_KEY_8, IDC_KEY_9};
    return keys[digit.digitValue()];
}

class Passcode : public ::testing::Test {
protected:
    void SetUp() override { pellamtest::app(); }
    void type(DialogHarness& h, const QString& digits)
    {
        for (QChar c : digits)
            ASSERT_TRUE(h.click(keyOf(c))) << "key " << c.toLatin1();
    }
    ui::testing::ScopedPromptRecorder prompts;
};

TEST_F(Passcode, FiveDigitsDoNothingAndTheSixthUnlocks)
{
    CPasscodeDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.text(IDC_PASSCODE), "");
    type(h, QStringLiteral("58192"));
    EXPECT_EQ(h.text(IDC_PASSCODE), "58192");
    EXPECT_FALSE(h.ended());
    EXPECT_EQ(prompts.count(), 0u);
    EXPECT_EQ(dlg.unlocked(), 0);

    type(h, QStringLiteral("0"));
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(dlg.unlocked(), 1);
    EXPECT_EQ(prompts.count(), 0u);
}

TEST_F(Passcode, AWrongCodeShowsOneErrorAndClearsTheEntryForAnotherTry)
{
    CPasscodeDlg dlg;
    DialogHarness h(dlg);
    type(h, QStringLiteral("123456"));
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_EQ(prompts.boxes()[0].ask.text, "Code Error.");
    EXPECT_EQ(prompts.boxes()[0].ask.icon, ui::MsgIcon::Error);
    EXPECT_EQ(h.text(IDC_PASSCODE), "");
    EXPECT_EQ(dlg.entered(), "");
    EXPECT_FALSE(h.ended());
    EXPECT_EQ(dlg.unlocked(), 0);

    // Close but not equal: a prefix of the code followed by a wrong digit.
    type(h, QStringLiteral("581921"));
    EXPECT_EQ(prompts.count(), 2u);
    type(h, QStringLiteral("581920"));
    EXPECT_EQ(prompts.count(), 2u);
    EXPECT_EQ(dlg.unlocked(), 1);
}

TEST_F(Passcode, ClearEmptiesTheEntryAndShowsNothing)
{
    CPasscodeDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.click(IDC_KEY_CLEAR));
    EXPECT_EQ(prompts.count(), 0u) << "Clear on an empty box";
    type(h, QStringLiteral("5819"));
    ASSERT_TRUE(h.click(IDC_KEY_CLEAR));
    EXPECT_EQ(h.text(IDC_PASSCODE), "");
    type(h, QStringLiteral("20"));
    EXPECT_EQ(h.text(IDC_PASSCODE), "20") << "digits before Clear are gone";
    EXPECT_EQ(prompts.count(), 0u);
    EXPECT_FALSE(h.ended());
}

TEST_F(Passcode, TypingOnAKeyboardIsCheckedOnEveryChange)
{
    CPasscodeDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.setText(IDC_PASSCODE, QStringLiteral("58192")));
    EXPECT_FALSE(h.ended());
    ASSERT_TRUE(h.setText(IDC_PASSCODE, QStringLiteral("5819200")));
    EXPECT_EQ(prompts.count(), 0u) << "seven characters are not checked";
    ASSERT_TRUE(h.setText(IDC_PASSCODE, QStringLiteral("58192a")));
    EXPECT_EQ(prompts.count(), 1u);
    EXPECT_EQ(h.text(IDC_PASSCODE), "");
    // Digits typed on the keypad continue what was typed in the box.
    ASSERT_TRUE(h.setText(IDC_PASSCODE, QStringLiteral("5819")));
    type(h, QStringLiteral("20"));
    EXPECT_EQ(dlg.unlocked(), 1);
}

TEST_F(Passcode, CancelLeavesItLocked)
{
    CPasscodeDlg dlg;
    DialogHarness h(dlg);
    type(h, QStringLiteral("58192"));
    ASSERT_TRUE(h.click(IDC_KEY_CANCEL));
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(h.endCode(), ui::IDCANCEL);
    EXPECT_EQ(dlg.unlocked(), 0);
}

} // namespace
