#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>

#include "pellam/driver/DebugOutput.h"
#include "pellam/peb/CCalibratePEB.h"
#include "pellam/peb/CDisplayPEB.h"
#include "pellam/peb/PebCheck.h"
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

constexpr std::tuple<uint32_t, uint32_t, uint32_t> kReadCutForce{ud::IOCTL_PRN_CUT_FORCE, 111, 49};

class PebScreens : public ::testing::Test {
protected:
    void SetUp() override
    {
        pellamtest::app();
        platform::setDeviceRoot(root.path());
        driver::setDebugSink([](const QString&) {});
        // Every distance 500 +/- 100, the cross-web offset 0 +/- 50.
        QByteArray ini = "[General]\n";
        for (const peb::PebField& f : peb::kPebFields) {
            const bool crossWeb = f.item == ud::pebItem::CrossWebPrintOffset;
            ini += QByteArray(f.defaultKey) + (crossWeb ? "=0\n" : "=500\n");
            ini += QByteArray(f.toleranceKey) + (crossWeb ? "=50\n" : "=100\n");
        }
        writeIni(ini);

        ud::PebRecord r;
        r.printlineToXYCut = 510;
        r.printlineToEndCutter = 505;
        r.upstreamCenterNotchToPrintline = 504;
        r.downstreamCenterNotchToPrintline = 501;
        r.upstreamGapToPrintline = 503;
        r.downstreamGapToPrintline = 500;
        r.upstreamSideNotchToPrintline = 502;
        r.downstreamSideNotchToPrintline = 499;
        r.xyHomeToTapeCenter = 450;
        printer->answers[ud::IOCTL_PRN_GET_PEB] = FakePrinter::bytesOf(r);
        printer->answers[ud::IOCTL_PRN_GET_CROSSWEB_OFFSET] = FakePrinter::bytesOf(int32_t(-20));
        const float mc[2] = {1.25f, -0.5f};
        printer->commandAnswers[kReadCutForce] = QByteArray(reinterpret_cast<const char*>(mc), sizeof mc);
    }
    void TearDown() override
    {
        driver::setDebugSink({});
        platform::setDeviceRoot(QString());
    }
    void writeIni(const QByteArray& text)
    {
        QDir(root.path()).mkpath(QStringLiteral("boot"));
        QFile f(root.filePath(QStringLiteral("boot/Pellam.ini")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }
    // The requests after the dialog opened, and the 4 bytes each carried.
    static QStringList writes(const std::vector<FakePrinter::Request>& log)
    {
        QStringList out;
        for (const auto& r : log) {
            QString line = FakePrinter::nameOf(r);
            if (r.code == ud::IOCTL_PRN_PEB && r.param.size() == 4) {
                int32_t v = 0;
                std::memcpy(&v, r.param.constData(), 4);
                line += QStringLiteral(" =%1").arg(v);
            } else if (r.code == ud::IOCTL_PRN_CUT_FORCE && r.param.size() == 4) {
                float v = 0;
                std::memcpy(&v, r.param.constData(), 4);
                line += QStringLiteral(" =%1").arg(double(v));
            }
            out << line;
        }
        return out;
    }

    QTemporaryDir root;
    pellamtest::ScopedFakePrinter printer;
    ui::testing::ScopedPromptRecorder prompts;
};

TEST_F(PebScreens, CalibrationShowsTheDriversValuesWithDefaultTicked)
{
    CCalibratePEB dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "PEB Calibration");
    EXPECT_EQ(printer->names(), QStringList({"GET_PEB", "GET_CROSSWEB_OFFSET", "CUT_FORCE 111/49"}));
    EXPECT_EQ(h.text(IDC_PEB_UCN), "504");
    EXPECT_EQ(h.text(IDC_PEB_DCN), "501");
    EXPECT_EQ(h.text(IDC_PEB_UGN), "503");
    EXPECT_EQ(h.text(IDC_PEB_DGN), "500");
    EXPECT_EQ(h.text(IDC_PEB_USN), "502");
    EXPECT_EQ(h.text(IDC_PEB_DSN), "499");
    EXPECT_EQ(h.text(IDC_PEB_ECL), "505");
    EXPECT_EQ(h.text(IDC_PEB_XYCL), "510");
    EXPECT_EQ(h.text(IDC_PEB_XYHOME), "450");
    EXPECT_EQ(h.text(IDC_PEB_CWOFFSET), "-20");
    EXPECT_EQ(h.text(IDC_PEB_M), "1.2500");
    EXPECT_EQ(h.text(IDC_PEB_C), "-0.5000");
    EXPECT_TRUE(h.checked(IDC_PEB_DEFAULT));
    EXPECT_FALSE(h.enabled(IDC_PEB_UI_BOARD));
    EXPECT_FALSE(h.enabled(IDC_PEB_DRIVER_BOARD));
}

TEST_F(PebScreens, SaveInRangeWritesMAndCThenTheTenItemsAndSaysSo)
{
    CCalibratePEB dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    printer->clearLog();
    // The bounds themselves pass; -20 passes the signed check around 0.
    ASSERT_TRUE(h.setText(IDC_PEB_DGN, QStringLiteral("400")));
    ASSERT_TRUE(h.setText(IDC_PEB_UCN, QStringLiteral("600")));
    ASSERT_TRUE(h.setText(IDC_PEB_M, QStringLiteral("2.5")));
    ASSERT_TRUE(h.click(IDC_PEB_SAVE));

    EXPECT_EQ(prompts.texts(), QStringList({"PEB Values Are Saved."}));
    EXPECT_EQ(prompts.boxes()[0].ask.icon, ui::MsgIcon::None);
    EXPECT_EQ(writes(printer->log()),
              QStringList({"CUT_FORCE 107/48 =2.5", "CUT_FORCE 108/48 =-0.5", "PEB 99/46 =499", "PEB 100/46 =400",
                           "PEB 101/46 =501", "PEB 102/46 =502", "PEB 103/46 =503", "PEB 104/46 =600",
                           "PEB 105/46 =505", "PEB 106/64 =510", "PEB 123/64 =450", "PEB 136/64 =-20"}));
}

TEST_F(PebScreens, ValuesOutOfRangeShowTheirMessagesInTurnAndOnlyMAndCAreWritten)
{
    struct Case {
        const char* name;
        std::vector<std::pair<int, const char*>> edits;
        QStringList messages;
    };
    const Case cases[] = {
        {"just below and just above",
         {{IDC_PEB_DCN, "399"}, {IDC_PEB_XYCL, "601"}},
         {"Printline to Downstream Center Sensor out of range ", "Printline to XY Cutter Knife Tip out of range "}},
        {"the largest unsigned distance",
         {{IDC_PEB_UGN, "4294967295"}},
         {"Printline to Upstream Gap Sensor out of range "}},
        {"the cross-web offset beyond its tolerance",
         {{IDC_PEB_CWOFFSET, "-51"}},
         {"CrossWeb Print offset out of range "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCalibratePEB dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        printer->clearLog();
        prompts.clear();
        for (const auto& [id, text] : c.edits)
            ASSERT_TRUE(h.setText(id, QString::fromLatin1(text)));
        ASSERT_TRUE(h.click(IDC_PEB_SAVE));
        EXPECT_EQ(prompts.texts(), c.messages);
        for (const auto& box : prompts.boxes())
            EXPECT_EQ(box.ask.icon, ui::MsgIcon::Error);
        EXPECT_EQ(writes(printer->log()), QStringList({"CUT_FORCE 107/48 =1.25", "CUT_FORCE 108/48 =-0.5"}));
    }
}

TEST_F(PebScreens, AFieldThatIsNoWholeNumberStopsTheSave)
{
    CCalibratePEB dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    printer->clearLog();
    struct Case {
        int id;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {IDC_PEB_ECL, "12x", "Please enter a positive integer."},
        {IDC_PEB_UGN, "-20", "Please enter a positive integer."},
        {IDC_PEB_XYHOME, "", "Please enter an integer."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        prompts.clear();
        const QString before = h.text(c.id);
        ASSERT_TRUE(h.setText(c.id, QString::fromLatin1(c.text)));
        ASSERT_TRUE(h.click(IDC_PEB_SAVE));
        EXPECT_EQ(prompts.texts(), QStringList({c.message}));
        EXPECT_TRUE(printer->log().empty()) << "nothing is written, not even M and C";
        ASSERT_TRUE(h.setText(c.id, before));
    }
}

TEST_F(PebScreens, RestoreWritesTheDefaultsAtOnceAndKeepsMAndC)
{
    CCalibratePEB dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    printer->clearLog();
    ASSERT_TRUE(h.setText(IDC_PEB_UCN, QStringLiteral("9999")));
    ASSERT_TRUE(h.click(IDC_PEB_RESTORE));
    EXPECT_EQ(h.text(IDC_PEB_UCN), "500");
    EXPECT_EQ(h.text(IDC_PEB_CWOFFSET), "0");
    EXPECT_EQ(h.text(IDC_PEB_M), "1.2500");
    EXPECT_EQ(prompts.texts(), QStringList({"PEB Values Are Saved."}));
    const QStringList w = writes(printer->log());
    ASSERT_EQ(w.size(), 12);
    EXPECT_EQ(w[0], "CUT_FORCE 107/48 =1.25");
    EXPECT_EQ(w[2], "PEB 99/46 =500");
    EXPECT_EQ(w[11], "PEB 136/64 =0");
}

TEST_F(PebScreens, WithoutTheSettingsFileOnlyZeroPasses)
{
    QFile::remove(root.filePath(QStringLiteral("boot/Pellam.ini")));
    CCalibratePEB dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_PEB_DGN, QStringLiteral("0")));
    ASSERT_TRUE(h.click(IDC_PEB_SAVE));
    EXPECT_EQ(prompts.count(), 9u) << "every value but the one that is 0 is refused";
}

TEST_F(PebScreens, DisplayShowsTheRecordTheOffsetAndTheCoefficients)
{
    ud::PebRecord r;
    r.printlineToXYCut = -12;
    r.upstreamCenterNotchToPrintline = 1850;
    r.xyHomeToTapeCenter = -35;
    r.downstreamSideNotchToPrintline = 4000000000u;
    printer->answers[ud::IOCTL_PRN_GET_PEB] = FakePrinter::bytesOf(r);
    printer->answers[ud::IOCTL_PRN_GET_CUT_FORCE_COEFFS] = FakePrinter::bytesOf(ud::CutForceCoeffs{1250, -338});

    CDisplayPEB dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "Display PEB");
    EXPECT_EQ(h.text(IDC_SHOW_XYCL), "-12");
    EXPECT_EQ(h.text(IDC_SHOW_UCN), "1850");
    EXPECT_EQ(h.text(IDC_SHOW_XYHOME), "-35");
    EXPECT_EQ(h.text(IDC_SHOW_DSN), "4000000000");
    EXPECT_EQ(h.text(IDC_SHOW_ECL), "0");
    EXPECT_EQ(h.text(IDC_SHOW_CWOFFSET), "-20");
    EXPECT_EQ(h.text(IDC_SHOW_M), "1.250");
    EXPECT_EQ(h.text(IDC_SHOW_C), "  -0.337");
    EXPECT_EQ(printer->names(), QStringList({"GET_PEB", "GET_CROSSWEB_OFFSET", "GET_CUT_FORCE_COEFFS"}));
}

} // namespace
