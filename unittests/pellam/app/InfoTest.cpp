#include <gtest/gtest.h>

#include "pellam/app/CInfoDlg.h"
#include "pellam/res/PellamResources.h"
#include "support/FakePrinter.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"

using namespace pellam;
using pellamtest::FakePrinter;
using ui::testing::DialogHarness;

namespace {

class Info : public ::testing::Test {
protected:
    void SetUp() override { pellamtest::app(); }
};

TEST_F(Info, ShowsTheVersionTheCountersAndTheChipVersions)
{
    pellamtest::ScopedFakePrinter printer;
    protocol::UsageRecord usage;
    usage.cutsMade = 1234;
    usage.inchesPrinted = 56789;
    usage.word2 = 7;
    printer->answers[protocol::IOCTL_PRN_GET_USAGE] = FakePrinter::bytesOf(usage);
    printer->answers[protocol::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION] = QByteArray(1, char(3));
    printer->answers[protocol::IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION] = QByteArray(1, char(200));

    CInfoDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "Information");
    EXPECT_EQ(h.text(IDC_INFO_APP_VERSION), "1.0.0.0");
    EXPECT_EQ(h.text(IDC_INFO_CUTS_MADE), "1234");
    EXPECT_EQ(h.text(IDC_INFO_INCHES_PRINTED), "56789");
    EXPECT_EQ(h.text(IDC_INFO_TAPE_TAGCHIP), "3");
    EXPECT_EQ(h.text(IDC_INFO_RIBBON_TAGCHIP), "200") << "an unsigned byte";
    EXPECT_EQ(printer->names(), QStringList({"GET_USAGE", "GET_TAPE_TAGCHIP_VERSION", "GET_RIBBON_TAGCHIP_VERSION"}));
    EXPECT_EQ(printer->log()[0].in, QByteArray("i"));

    ASSERT_TRUE(h.click(IDC_CLOSE));
    EXPECT_TRUE(h.ended());
}

TEST_F(Info, FailedRequestsShowZeros)
{
    {
        SCOPED_TRACE("driver absent");
        CInfoDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        EXPECT_EQ(h.text(IDC_INFO_APP_VERSION), "1.0.0.0");
        for (int id : {IDC_INFO_CUTS_MADE, IDC_INFO_INCHES_PRINTED, IDC_INFO_TAPE_TAGCHIP, IDC_INFO_RIBBON_TAGCHIP})
            EXPECT_EQ(h.text(id), "0") << id;
    }
    {
        SCOPED_TRACE("one request fails");
        pellamtest::ScopedFakePrinter printer;
        printer->answers[protocol::IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION] = QByteArray(1, char(4));
        printer->answers[protocol::IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION] = QByteArray(1, char(5));
        printer->answers[protocol::IOCTL_PRN_GET_USAGE] = QByteArray(12, char(1));
        printer->failing.push_back(protocol::IOCTL_PRN_GET_USAGE);
        CInfoDlg dlg;
        DialogHarness h(dlg);
        EXPECT_EQ(h.text(IDC_INFO_CUTS_MADE), "0");
        EXPECT_EQ(h.text(IDC_INFO_INCHES_PRINTED), "0");
        EXPECT_EQ(h.text(IDC_INFO_TAPE_TAGCHIP), "4");
        EXPECT_EQ(h.text(IDC_INFO_RIBBON_TAGCHIP), "5");
    }
}

} // namespace
