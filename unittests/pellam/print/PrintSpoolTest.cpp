// A print from the unlocked menu against the simulated printer: what lands in
// the simulator's spool is what the preview shows, dot for dot.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>

#include "pellam/app/CDiagnosticsMenuDlg.h"
#include "pellam/app/MenuScreens.h"
#include "pellam/print/CPreviewDlg.h"
#include "pellam/print/CPrintDlg.h"
#include "pellam/res/PellamResources.h"
#include "platform/Clock.h"
#include "platform/DevicePath.h"
#include "sim/printer/SimulatedDevices.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"

using namespace pellam;
using namespace std::chrono_literals;
using ui::testing::DialogHarness;

namespace {

class PrintSpool : public ::testing::Test {
protected:
    void SetUp() override
    {
        pellamtest::app();
        platform::setDeviceRoot(root.path());
        sim::SimConfig config;
        config.timeScale = 0; // answers at once; the print's own sleeps run on the manual clock
        devices = sim::registerSimulatedDevices(config);
    }
    void TearDown() override
    {
        sim::unregisterSimulatedDevices(devices);
        platform::setDeviceRoot(QString());
    }

    QStringList spooled() const
    {
        return QDir(root.filePath("Simulator/Spool")).entryList({"*.png"}, QDir::Files, QDir::Name);
    }

    QTemporaryDir root;
    platform::ManualClock clock;
    platform::ScopedClock scopedClock{clock};
    ui::testing::ScopedPromptRecorder prompts;
    sim::SimulatedDevices devices;
};

TEST_F(PrintSpool, ASingleCheckerboardFromTheMenuLandsAsThePreviewShowsIt)
{
    CDiagnosticsMenuDlg menu(menuButtons(), [] { return true; });
    DialogHarness h(menu);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_MENU_UNLOCK));
    ASSERT_TRUE(h.visible(IDC_MENU_PRINT_TESTS));

    // The print screen and its preview open modally; a poll drives them from
    // within their own event loops, one step at a time.
    enum Step { Print, Printing, Preview, ClosePreview, Close, Done } step = Print;
    QImage picture;
    QString status, count;
    const auto deadline = std::chrono::steady_clock::now() + 60s; // only trips on a hang
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* top = QApplication::activeModalWidget();
        auto* printDlg = dynamic_cast<CPrintDlg*>(top);
        if (std::chrono::steady_clock::now() > deadline) {
            if (auto* d = dynamic_cast<ui::Dialog*>(top))
                d->command(ui::IDCANCEL);
            step = Done;
            return;
        }
        switch (step) {
        case Print:
            if (printDlg) {
                // The opening state is the job asked for: single, square 8, 3 inches.
                EXPECT_TRUE(printDlg->isChecked(IDC_PT_SINGLE));
                EXPECT_EQ(printDlg->text(IDC_PT_PIXELS_VALUE), "8");
                EXPECT_EQ(printDlg->text(IDC_PT_LENGTH_VALUE), "3");
                printDlg->command(IDC_PT_PRINT);
                step = Printing;
            }
            break;
        case Printing:
            if (printDlg && !printDlg->workerRunning()) {
                status = printDlg->text(IDC_PT_STATUS);
                count = printDlg->text(IDC_PT_COUNT);
                step = Preview;
                // Its own call: the preview's modal loop must not run inside this poll.
                QTimer::singleShot(0, printDlg, [printDlg] { printDlg->command(IDC_PT_PREVIEW); });
            }
            break;
        case Preview:
            if (auto* preview = dynamic_cast<CPreviewDlg*>(top)) {
                picture = preview->pane()->picture();
                preview->command(ui::IDCANCEL);
                step = ClosePreview;
            }
            break;
        case ClosePreview:
            if (printDlg) {
                printDlg->command(IDC_CLOSE);
                step = Close;
            }
            break;
        case Close:
        case Done:
            break;
        }
    });
    poll.start(5);
    ASSERT_TRUE(h.click(IDC_MENU_PRINT_TESTS)); // returns when the print screen closed
    poll.stop();
    ASSERT_EQ(step, Close) << "the script stopped at step " << int(step);
    EXPECT_EQ(status, "Idle...");
    EXPECT_EQ(count, "Print count: 0") << "a single print is not counted";
    EXPECT_EQ(prompts.count(), 0u);

    const QStringList files = spooled();
    ASSERT_EQ(files.size(), 1) << files.join(", ").toStdString();
    const QImage spool = QImage(root.filePath("Simulator/Spool/" + files.first())).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(spool.isNull());
    ASSERT_FALSE(picture.isNull());

    // A spool row is one column of the picture, its first dot the picture's
    // bottom row. Three inches: 960 rows, three 320-row bands in the picture.
    ASSERT_EQ(spool.height(), 960);
    ASSERT_EQ(picture.width(), 960);
    ASSERT_EQ(spool.width(), picture.height());
    const int H = picture.height();
    int differing = 0, black = 0;
    for (int j = 0; j < spool.height(); ++j) {
        for (int x = 0; x < H; ++x) {
            const bool printed = qGray(spool.pixel(x, j)) < 128;
            const bool shown = qGray(picture.pixel(j, H - 1 - x)) < 128;
            differing += printed != shown;
            black += printed;
        }
    }
    EXPECT_EQ(differing, 0);
    // Half the dots of a checkerboard (the last partial square row aside).
    EXPECT_NEAR(double(black) / (double(H) * spool.height()), 0.5, 0.02);
    // The first band as the preview draws it: 8-dot squares, alternating.
    const QImage band = picture.copy(0, 0, 320, H);
    for (int y : {0, 8, 16})
        for (int x : {0, 8, 16})
            EXPECT_EQ(qGray(band.pixel(x, y)) < 128, ((x / 8 + y / 8) % 2) == 0) << x << "," << y;
}

} // namespace
