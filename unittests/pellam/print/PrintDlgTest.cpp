#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <thread>

#include "pellam/app/CDiagnosticsMenuDlg.h"
#include "pellam/app/MenuScreens.h"
#include "pellam/print/CPreviewDlg.h"
#include "pellam/print/CPrintDlg.h"
#include "pellam/res/PellamResources.h"
#include "platform/Clock.h"
#include "platform/DevicePath.h"
#include "platform/Event.h"
#include "sim/printer/SimulatedDevices.h"
#include "support/FakePrinter.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"

using namespace pellam;
using namespace std::chrono_literals;
using pellamtest::FakePrinter;
using ui::testing::DialogHarness;
namespace ud = protocol;

namespace {

// Holds the worker at the end of each image until the test lets it go.
class GatedPrinter : public FakePrinter {
public:
    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* returned) override
    {
        if (code == ud::IOCTL_PRN_IMAGE_END) {
            atImageEnd.set();
            platform::waitOne(gate, platform::kInfinite);
        }
        return FakePrinter::ioControl(code, in, inLen, out, outLen, returned);
    }
    platform::Event atImageEnd{platform::Event::Reset::Auto};
    platform::Event gate{platform::Event::Reset::Auto};
};

class PrintScreens : public ::testing::Test {
protected:
    void SetUp() override
    {
        pellamtest::app();
        platform::setDeviceRoot(root.path());
    }
    void TearDown() override { platform::setDeviceRoot(QString()); }

    // A real deadline that only trips on a hang; virtual time moves on.
    bool advanceUntil(const std::function<bool()>& done)
    {
        for (auto deadline = std::chrono::steady_clock::now() + 60s; std::chrono::steady_clock::now() < deadline;) {
            ui::testing::processEvents();
            if (done())
                return true;
            clock.advance(10ms);
            std::this_thread::sleep_for(50us);
        }
        return done();
    }
    int count(const FakePrinter& p, const QString& name) const { return int(p.names().count(name)); }

    QTemporaryDir root;
    platform::ManualClock clock;
    platform::ScopedClock scopedClock{clock};
    ui::testing::ScopedPromptRecorder prompts;
};

TEST_F(PrintScreens, OpensWithItsDefaultsAndTheSlidersShowTheirTables)
{
    pellamtest::ScopedFakePrinter printer;
    printer->answers[ud::IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(uint32_t(1024));
    CPrintDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "Print Test Menu");
    EXPECT_EQ(printer->names().first(), "PRINT_PREPARE");
    EXPECT_EQ(h.text(IDC_PT_PIXELS_VALUE), "8");
    EXPECT_EQ(h.text(IDC_PT_LENGTH_VALUE), "3");
    EXPECT_TRUE(h.checked(IDC_PT_SINGLE));
    EXPECT_EQ(h.text(IDC_PT_STATUS), "Status: Idle");
    EXPECT_EQ(h.text(IDC_PT_COUNT), "Print count: 0");

    struct Case { int slider; int pos; const char* shown; };
    for (Case c : {Case{IDC_PT_PIXELS, 9, "16"}, Case{IDC_PT_PIXELS, 15, "1248"}, Case{IDC_PT_PIXELS, 1, "1"},
                   Case{IDC_PT_LENGTH, 15, "15"}}) {
        ASSERT_TRUE(h.setSliderPos(c.slider, c.pos));
        EXPECT_EQ(h.text(c.slider == IDC_PT_PIXELS ? IDC_PT_PIXELS_VALUE : IDC_PT_LENGTH_VALUE), c.shown);
    }
    EXPECT_EQ(prompts.count(), 0u);
}

TEST_F(PrintScreens, ContinuousRunStoppedDuringAJobFinishesItAndEndsIdle)
{
    auto printer = std::make_shared<GatedPrinter>();
    printer->answers[ud::IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(uint32_t(64));
    printer->busyPolls = 2;
    platform::registerDevice(QStringLiteral("PRN1:"), printer);
    {
        CPrintDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.setSliderPos(IDC_PT_LENGTH, 1));
        ASSERT_TRUE(h.click(IDC_PT_CONTINUOUS));
        ASSERT_TRUE(h.click(IDC_PT_PRINT));
        ASSERT_TRUE(platform::waitOne(printer->atImageEnd, platform::kInfinite).signalled(0));
        // The job's rows are out; the worker waits at the image's end.
        ASSERT_TRUE(advanceUntil([&] { return h.text(IDC_PT_COUNT) == "Count: 1"; }));
        EXPECT_EQ(h.text(IDC_PT_STATUS), "Status: Printing...(Continuous)");
        EXPECT_FALSE(h.enabled(IDC_PT_PRINT));
        EXPECT_FALSE(h.enabled(IDC_CLOSE));
        EXPECT_FALSE(h.enabled(IDC_PT_STOP));
        EXPECT_FALSE(dlg.closeEnabled()) << "the system menu's Close is greyed";

        dlg.command(IDC_PT_STOP); // the request is read at the top of the next job
        EXPECT_EQ(h.text(IDC_PT_STATUS), "Idle...");
        EXPECT_TRUE(h.enabled(IDC_PT_PRINT));
        // The worker is still in its job: a new "Print" is refused.
        ASSERT_TRUE(h.click(IDC_PT_PRINT));
        EXPECT_TRUE(dlg.workerRunning());

        printer->gate.set();
        ASSERT_TRUE(advanceUntil([&] { return !dlg.workerRunning(); }));
        ui::testing::processEvents();
        EXPECT_EQ(h.text(IDC_PT_STATUS), "Idle...");
        EXPECT_EQ(h.text(IDC_PT_COUNT), "Count: 0");
        EXPECT_TRUE(h.enabled(IDC_PT_PRINT));
        EXPECT_TRUE(h.enabled(IDC_PT_STOP));
        EXPECT_TRUE(dlg.closeEnabled());
    }
    const QStringList names = printer->names();
    EXPECT_EQ(count(*printer, "JOB_BEGIN"), 1);
    EXPECT_EQ(count(*printer, "IMAGE_BEGIN"), 1);
    EXPECT_EQ(count(*printer, "IMAGE_END"), 1);
    EXPECT_EQ(count(*printer, "WRITE"), 320) << "the job ran to its end";
    EXPECT_EQ(names.last(), "JOB_END");
    EXPECT_EQ(count(*printer, "GET_BUSY"), 3);
    platform::unregisterDevice(QStringLiteral("PRN1:"));
}

// While a print runs, Enter closes no more than "Close" does: the print
// goes on until "Stop", and then "Close" ends the dialog.
TEST_F(PrintScreens, EnterDuringAContinuousPrintLeavesTheDialogPrinting)
{
    auto printer = std::make_shared<GatedPrinter>();
    printer->answers[ud::IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(uint32_t(64));
    platform::registerDevice(QStringLiteral("PRN1:"), printer);
    {
        CPrintDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.setSliderPos(IDC_PT_LENGTH, 1));
        ASSERT_TRUE(h.click(IDC_PT_CONTINUOUS));
        ASSERT_TRUE(h.click(IDC_PT_PRINT));
        ASSERT_TRUE(platform::waitOne(printer->atImageEnd, platform::kInfinite).signalled(0));
        ASSERT_TRUE(advanceUntil([&] { return h.text(IDC_PT_COUNT) == "Count: 1"; }));
        h.pressEnter();
        dlg.command(ui::IDOK);
        ui::testing::processEvents();
        EXPECT_FALSE(h.ended());
        EXPECT_TRUE(dlg.workerRunning());
        EXPECT_EQ(h.text(IDC_PT_STATUS), "Status: Printing...(Continuous)");
        printer->gate.set(); // the next job begins
        ASSERT_TRUE(advanceUntil([&] { return h.text(IDC_PT_COUNT) == "Count: 2"; }));
        ASSERT_TRUE(platform::waitOne(printer->atImageEnd, platform::kInfinite).signalled(0));
        EXPECT_FALSE(h.ended());

        dlg.command(IDC_PT_STOP);
        printer->gate.set();
        ASSERT_TRUE(advanceUntil([&] { return !dlg.workerRunning(); }));
        ASSERT_TRUE(h.click(IDC_CLOSE));
        EXPECT_TRUE(h.ended());
        EXPECT_EQ(h.endCode(), ui::IDCANCEL);
    }
    EXPECT_EQ(printer->names().last(), "JOB_END");
    platform::unregisterDevice(QStringLiteral("PRN1:"));
}

TEST_F(PrintScreens, ClosingWhileTheLastJobFinishesWaitsForTheWorker)
{
    auto printer = std::make_shared<GatedPrinter>();
    printer->answers[ud::IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(uint32_t(64));
    printer->busyPolls = 1000000; // never idle: closing gives the wait up
    platform::registerDevice(QStringLiteral("PRN1:"), printer);
    {
        auto dlg = std::make_unique<CPrintDlg>();
        {
            // The harness goes before the dialog: it hides what it opened.
            DialogHarness h(*dlg);
            ASSERT_TRUE(h.open());
            ASSERT_TRUE(h.setSliderPos(IDC_PT_LENGTH, 1));
            ASSERT_TRUE(h.click(IDC_PT_CONTINUOUS));
            ASSERT_TRUE(h.click(IDC_PT_PRINT));
            ASSERT_TRUE(platform::waitOne(printer->atImageEnd, platform::kInfinite).signalled(0));
            dlg->command(IDC_PT_STOP);
            ASSERT_TRUE(h.enabled(IDC_CLOSE));
            printer->gate.set();
            ASSERT_TRUE(h.click(IDC_CLOSE)); // returns once the worker has ended
            EXPECT_TRUE(h.ended());
            EXPECT_FALSE(dlg->workerRunning());
        }
        dlg.reset();
    }
    EXPECT_EQ(printer->names().last(), "JOB_END");
    platform::unregisterDevice(QStringLiteral("PRN1:"));
}

} // namespace
