#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>

#include "pellam/printhead/CPHCalibrateDlg.h"
#include "pellam/res/PellamResources.h"
#include "platform/DevicePath.h"
#include "support/FakePrinter.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"

using namespace pellam;
using pellamtest::FakePrinter;
using ui::testing::DialogHarness;
namespace ud = protocol;

namespace {

const QString kRangeMessage = QStringLiteral("Printhead Resistor Value Should be within 1074 and 1184.");

class PHCalibrate : public ::testing::Test {
protected:
    void SetUp() override
    {
        pellamtest::app();
        platform::setDeviceRoot(root.path());
    }
    // The values the driver was sent.
    std::vector<int32_t> stored()
    {
        std::vector<int32_t> out;
        for (const FakePrinter::Request& r : printer->log())
            if (r.code == ud::IOCTL_PRN_SET_HEAD_RESISTANCE) {
                int32_t v = 0;
                EXPECT_EQ(r.in.size(), 4);
                std::memcpy(&v, r.in.constData(), 4);
                out.push_back(v);
            }
        return out;
    }
    QTemporaryDir root;
    pellamtest::ScopedFakePrinter printer;
    ui::testing::ScopedPromptRecorder prompts;
};

TEST_F(PHCalibrate, OpensWithDefaults)
{
    CPHCalibrateDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "Printhead Calibration");
    EXPECT_EQ(h.text(IDC_PH_CURRENT), "0");
    EXPECT_EQ(h.text(IDC_PH_ENTRY), "1074");
    EXPECT_TRUE(printer->log().empty());
}

TEST_F(PHCalibrate, SaveStoresValuesWithinTheLimitsAndResetsOthers)
{
    struct Case { const char* typed; bool stores; int32_t value; };
    const Case cases[] = {
        {"1074", true, 1074}, {"1184", true, 1184}, {"1100abc", true, 1100},
        {"1073", false, 0},   {"1185", false, 0},   {"", false, 0},
        {"-1100", false, 0},  {"x1100", false, 0},  {"99999999999", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        printer->clearLog();
        const size_t boxesBefore = prompts.count();
        CPHCalibrateDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.setText(IDC_PH_ENTRY, QString::fromLatin1(c.typed)));
        ASSERT_TRUE(h.click(IDC_PH_SAVE));
        if (c.stores) {
            EXPECT_EQ(prompts.count(), boxesBefore);
            EXPECT_EQ(stored(), std::vector<int32_t>{c.value});
        } else {
            ASSERT_EQ(prompts.count(), boxesBefore + 1);
            EXPECT_EQ(prompts.texts().back(), kRangeMessage);
            EXPECT_EQ(prompts.boxes().back().ask.icon, ui::MsgIcon::None);
            EXPECT_EQ(h.text(IDC_PH_ENTRY), "1074");
            EXPECT_TRUE(stored().empty());
        }
    }
}

TEST_F(PHCalibrate, ReadShowsTheValueOrNotSet)
{
    struct Case { bool fails; uint32_t word; const char* shown; };
    const Case cases[] = {
        {false, 1100, "1100"}, {false, 2157, "2157"}, {false, 2158, "Not Set"},
        {false, 0x80000000u, "Not Set"}, {false, 0xFFFFFFFFu, "Not Set"}, {true, 0, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        printer->answers.erase(ud::IOCTL_PRN_GET_HEAD_RESISTANCE);
        if (!c.fails)
            printer->answers[ud::IOCTL_PRN_GET_HEAD_RESISTANCE] = FakePrinter::bytesOf(c.word);
        CPHCalibrateDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        h.dialog().setText(IDC_PH_CURRENT, QStringLiteral("stale"));
        ASSERT_TRUE(h.click(IDC_PH_READ));
        EXPECT_EQ(h.text(IDC_PH_CURRENT), c.shown);
    }
}

TEST_F(PHCalibrate, CancelCloses)
{
    CPHCalibrateDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(ui::IDCANCEL));
    EXPECT_TRUE(h.ended());
}

} // namespace
