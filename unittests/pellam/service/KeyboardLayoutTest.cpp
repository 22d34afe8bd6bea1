#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>

#include "pellam/res/PellamResources.h"
#include "pellam/service/CKeyboardLayoutDlg.h"
#include "platform/Device.h"
#include "sim/keyboard/SimulatedKeyboard.h"
#include "support/FakePrinter.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"

using namespace pellam;
using ui::testing::DialogHarness;
namespace ud = protocol;

namespace {

const int kRadios[] = {IDC_KB_AMERICAS_QWERTY, IDC_KB_EUROPE_AZERTY, IDC_KB_EUROPE_QWERTZ, IDC_KB_EUROPE_QWERTY,
                       IDC_KB_EUROPE_CYRILLIC};

class KeyboardLayout : public ::testing::Test {
protected:
    void SetUp() override { pellamtest::app(); }
    void TearDown() override { platform::unregisterDevice(QStringLiteral("KBD1:")); }

    static std::vector<int> ticked(DialogHarness& h)
    {
        std::vector<int> out;
        for (int id : kRadios)
            if (h.checked(id))
                out.push_back(id);
        return out;
    }
};

TEST_F(KeyboardLayout, TheDriversAnswerTicksItsRadioAndAnyOtherTicksAmericas)
{
    struct Case {
        bool answers;
        int32_t layout;
        int radio;
    };
    const Case cases[] = {
        {true, 1, IDC_KB_AMERICAS_QWERTY}, {true, 2, IDC_KB_EUROPE_AZERTY}, {true, 3, IDC_KB_EUROPE_QWERTZ},
        {true, 4, IDC_KB_EUROPE_QWERTY},   {true, 5, IDC_KB_EUROPE_CYRILLIC}, {true, 6, IDC_KB_AMERICAS_QWERTY},
        {true, 0, IDC_KB_AMERICAS_QWERTY}, {true, -3, IDC_KB_AMERICAS_QWERTY},
        {false, 4, IDC_KB_AMERICAS_QWERTY}, // a failed read
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layout << (c.answers ? "" : " (failing)"));
        auto kbd = std::make_shared<pellamtest::FakePrinter>();
        kbd->answers[ud::IOCTL_KBD_GET_LAYOUT] = pellamtest::FakePrinter::bytesOf(c.layout);
        if (!c.answers)
            kbd->failing.push_back(ud::IOCTL_KBD_GET_LAYOUT);
        platform::registerDevice(QStringLiteral("KBD1:"), kbd);
        CKeyboardLayoutDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        EXPECT_EQ(ticked(h), std::vector<int>{c.radio});
        ASSERT_EQ(kbd->log().size(), 1u);
        EXPECT_EQ(kbd->log()[0].code, ud::IOCTL_KBD_GET_LAYOUT);
        platform::unregisterDevice(QStringLiteral("KBD1:"));
    }
}

TEST_F(KeyboardLayout, ARadioSetsItsLayoutAndEmptiesAndFocusesTheTestBox)
{
    // The simulated keyboard driver keeps what it is told.
    auto kbd = std::make_shared<sim::SimulatedKeyboard>();
    platform::registerDevice(QStringLiteral("KBD1:"), kbd);
    CKeyboardLayoutDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "Keyboard Layout");
    EXPECT_TRUE(h.checked(IDC_KB_AMERICAS_QWERTY));
    for (int32_t layout = 1; layout <= 5; ++layout) {
        SCOPED_TRACE(layout);
        ASSERT_TRUE(h.setText(IDC_KB_TEST, QStringLiteral("qwerty")));
        dlg.control(IDC_CLOSE)->setFocus();
        ASSERT_TRUE(h.click(kRadios[layout - 1]));
        EXPECT_EQ(kbd->layout(), layout);
        EXPECT_EQ(dlg.layout(), layout);
        EXPECT_EQ(ticked(h), std::vector<int>{kRadios[layout - 1]});
        EXPECT_EQ(h.text(IDC_KB_TEST), "");
        EXPECT_EQ(QApplication::focusWidget(), dlg.control(IDC_KB_TEST));
    }
    EXPECT_EQ(dlg.control(IDC_KB_TEST)->accessibleName(), "2) Type in the box below to confirm the new layout.");
    ASSERT_TRUE(h.click(IDC_CLOSE));
    EXPECT_TRUE(h.ended());
}

} // namespace
