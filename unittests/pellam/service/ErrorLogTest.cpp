#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <thread>

#include "pellam/app/CDiagnosticsMenuDlg.h"
#include "pellam/app/MenuScreens.h"
#include "pellam/res/PellamResources.h"
#include "pellam/service/CErrorLogDlg.h"
#include "pellam/service/ErrorLog.h"
#include "platform/Clock.h"
#include "platform/DevicePath.h"
#include "sim/printer/SimulatedDevices.h"
#include "support/FakePrinter.h"
#include "support/TestApp.h"
#include "ui/ResultList.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"

using namespace pellam;
using namespace std::chrono_literals;
using pellamtest::FakePrinter;
using ui::testing::DialogHarness;
namespace ud = protocol;

namespace {

QStringList split(const QByteArray& bytes, qsizetype chunk)
{
    service::LogLineSplitter s;
    QStringList out;
    for (qsizetype at = 0; at < bytes.size(); at += chunk)
        s.feed(bytes.constData() + at, std::min(chunk, bytes.size() - at), out);
    return out;
}

TEST(ErrorLogLines, LineFeedEndsALineCarriageReturnIsDroppedAndAnUnendedLastLineIsNot)
{
    struct Case {
        QByteArray bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"one\r\ntwo\r\n", {"one", "two"}},
        {"one\ntwo", {"one"}},
        {"\n\r\nx\n", {"", "", "x"}},
        {"a\rb\r\n", {"ab"}},
        {"no line feed at all", {}},
        {"", {}},
        {"61\xb0" "C \x80 \x99\r\n", {QString::fromUtf8("61°C € ™")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        // Any cut of the bytes into reads gives the same lines.
        for (qsizetype chunk : {qsizetype(1), qsizetype(2), qsizetype(3), qsizetype(1000)})
            EXPECT_EQ(split(c.bytes, chunk), c.lines) << "chunk " << chunk;
    }
}

TEST(ErrorLogLines, PrintTextHoldsTheFirstTwentyLinesEachWithALineFeed)
{
    QStringList lines;
    for (int i = 1; i <= 25; ++i)
        lines << QStringLiteral("line %1").arg(i);
    const QString text = service::printText(lines);
    EXPECT_EQ(text.count(QLatin1Char('\n')), 20);
    EXPECT_TRUE(text.startsWith("line 1\nline 2\n"));
    EXPECT_TRUE(text.endsWith("line 20\n"));
    EXPECT_EQ(service::printText({"a", "b"}), "a\nb\n");
    EXPECT_EQ(service::printText({}), "");
}

class ErrorLogScreen : public ::testing::Test {
protected:
    void SetUp() override
    {
        pellamtest::app();
        platform::setDeviceRoot(root.path());
        QDir(root.path()).mkpath(QStringLiteral("Store"));
    }
    void TearDown() override { platform::setDeviceRoot(QString()); }

    void writeLog(const QByteArray& bytes)
    {
        QFile f(root.filePath(QStringLiteral("Store/Error_Log.txt")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray numberedLines(int n)
    {
        QByteArray out;
        for (int i = 1; i <= n; ++i)
            out += QByteArray("03/12/2026 08:00:00 E") + QByteArray::number(100 + i) + " entry " +
                   QByteArray::number(i) + "\r\n";
        return out;
    }
    // A real deadline that only trips on a hang; virtual time moves on.
    bool advanceUntil(const std::function<bool()>& done)
    {
        for (auto deadline = std::chrono::steady_clock::now() + 60s; std::chrono::steady_clock::now() < deadline;) {
            ui::testing::processEvents();
            if (done())
                return true;
            clock.advance(100ms);
            std::this_thread::sleep_for(50us);
        }
        return done();
    }
    // The rows an error log print of `text` writes with this dot width.
    static std::vector<QByteArray> expectedRows(const QString& text, uint32_t dots)
    {
        CPrintImage image;
        EXPECT_TRUE(image.create(dots - service::kLogMarginDots, service::kLogColumns));
        image.setText(text);
        image.render();
        std::vector<QByteArray> rows;
        for (int j = 0; j < service::kLogPrintRows; ++j) {
            QByteArray row(int(dots / 8), '\0');
            std::memcpy(row.data(), image.rasterRow(j), size_t(image.rowBytes()));
            rows.push_back(row);
        }
        return rows;
    }
    static std::vector<QByteArray> writes(const FakePrinter& p)
    {
        std::vector<QByteArray> out;
        for (const auto& r : p.log())
            if (r.isWrite)
                out.push_back(r.in);
        return out;
    }

    QTemporaryDir root;
    platform::ManualClock clock;
    platform::ScopedClock scopedClock{clock};
    ui::testing::ScopedPromptRecorder prompts;
};

TEST_F(ErrorLogScreen, ListsEveryLineAndPrintsTheFirstTwentyTheSameEachTime)
{
    // Wide enough that all 25 lines would fit the image: the print shows it took 20.
    constexpr uint32_t kDots = 4096;
    pellamtest::ScopedFakePrinter printer;
    printer->answers[ud::IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(kDots);
    printer->busyPolls = 2;
    writeLog(numberedLines(25) + "a last line without a line feed");

    CErrorLogDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "Error Log");
    ASSERT_TRUE(advanceUntil([&] { return !dlg.loading(); }));
    ui::testing::processEvents();
    const QStringList listed = h.listItems(IDC_EL_LIST);
    ASSERT_EQ(listed.size(), 25);
    EXPECT_EQ(listed.first(), "03/12/2026 08:00:00 E101 entry 1");
    EXPECT_EQ(listed.last(), "03/12/2026 08:00:00 E125 entry 25");
    EXPECT_EQ(dlg.nothingToPrint(), 0);
    EXPECT_EQ(dlg.control(IDC_EL_LIST)->accessibleName(), "Error Log");

    const auto first20 = expectedRows(listed.mid(0, 20).join('\n') + '\n', kDots);
    ASSERT_TRUE(first20 != expectedRows(listed.join('\n') + '\n', kDots))
        << "the image must be able to show more than 20 lines";
    for (int print = 1; print <= 2; ++print) {
        SCOPED_TRACE(print);
        printer->clearLog();
        printer->busyPolls = 2;
        ASSERT_TRUE(h.click(IDC_EL_PRINT));
        EXPECT_FALSE(h.enabled(IDC_CLOSE));
        EXPECT_FALSE(h.enabled(IDC_EL_PRINT));
        EXPECT_FALSE(dlg.closeEnabled());
        ASSERT_TRUE(advanceUntil([&] { return !dlg.printing() && h.enabled(IDC_CLOSE); }));
        EXPECT_TRUE(h.enabled(IDC_EL_PRINT));
        EXPECT_TRUE(dlg.closeEnabled());

        const QStringList names = printer->names();
        ASSERT_GE(names.size(), 4);
        EXPECT_EQ(names[0], "JOB_BEGIN");
        EXPECT_EQ(names[1], "IMAGE_BEGIN");
        EXPECT_EQ(names[2], "GET_DOT_WIDTH") << "asked once, before the rows";
        EXPECT_EQ(names.count("GET_DOT_WIDTH"), 1);
        EXPECT_EQ(names.count("WRITE"), 3250);
        EXPECT_EQ(names.count("GET_BUSY"), 3);
        EXPECT_EQ(names.last(), "JOB_END");
        EXPECT_EQ(names[names.size() - 5], "IMAGE_END");
        EXPECT_TRUE(writes(*printer.device) == first20) << "the rows are those of the first 20 lines";
    }
    EXPECT_EQ(prompts.count(), 0u);
}

TEST_F(ErrorLogScreen, AnEmptyLogDisablesPrintAndNoLogPrintsNothing)
{
    pellamtest::ScopedFakePrinter printer;
    printer->answers[ud::IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(uint32_t(1248));
    struct Case {
        const char* name;
        bool file;
        bool printEnabled;
    };
    for (Case c : {Case{"empty", true, false}, Case{"missing", false, true}}) {
        SCOPED_TRACE(c.name);
        QFile::remove(root.filePath(QStringLiteral("Store/Error_Log.txt")));
        if (c.file)
            writeLog({});
        printer->clearLog();
        CErrorLogDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(advanceUntil([&] { return !dlg.loading(); }));
        ui::testing::processEvents();
        EXPECT_TRUE(h.listItems(IDC_EL_LIST).isEmpty());
        EXPECT_EQ(dlg.nothingToPrint(), 1);
        EXPECT_EQ(h.enabled(IDC_EL_PRINT), c.printEnabled);
        dlg.command(IDC_EL_PRINT); // pressed or not, nothing is printed
        ui::testing::processEvents();
        EXPECT_FALSE(dlg.printing());
        EXPECT_FALSE(printer->names().contains("JOB_BEGIN"));
        EXPECT_TRUE(h.enabled(IDC_CLOSE));
        ASSERT_TRUE(h.click(IDC_CLOSE));
        EXPECT_TRUE(h.ended());
    }
    EXPECT_EQ(prompts.count(), 0u);
}

TEST_F(ErrorLogScreen, ClosingOrDestroyingDuringAHugeLoadStopsTheLoaderFirst)
{
    pellamtest::ScopedFakePrinter printer;
    printer->answers[ud::IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(uint32_t(1248));
    constexpr int kLines = 300000;
    writeLog(numberedLines(kLines));

    for (bool viaClose : {true, false}) {
        SCOPED_TRACE(viaClose ? "closed" : "destroyed");
        auto dlg = std::make_unique<CErrorLogDlg>();
        {
            DialogHarness h(*dlg);
            ASSERT_TRUE(h.open());
            // The first lines are in; the loader now waits for the list to take
            // its next batch, which the window does not while the test holds it.
            ASSERT_TRUE(ui::testing::processUntil([&] { return h.listItems(IDC_EL_LIST).size() >= 20; }));
            EXPECT_TRUE(dlg->loading());
            if (viaClose) {
                ASSERT_TRUE(h.click(IDC_CLOSE)); // returns once the loader has ended
                EXPECT_TRUE(h.ended());
                EXPECT_FALSE(dlg->loading());
            }
            EXPECT_LT(dlg->resultList(IDC_EL_LIST)->count(), kLines);
        }
        dlg.reset(); // joins a loader still running
        ui::testing::processEvents(); // nothing late reaches the gone dialog
    }
}

TEST_F(ErrorLogScreen, AHugeLogArrivesWholeInBatches)
{
    pellamtest::ScopedFakePrinter printer;
    printer->answers[ud::IOCTL_PRN_GET_DOT_WIDTH] = FakePrinter::bytesOf(uint32_t(1248));
    constexpr int kLines = 100000;
    writeLog(numberedLines(kLines));
    CErrorLogDlg dlg;
    int batches = 0;
    QObject::connect(&dlg, &ui::Dialog::dispatched, [&] { ++batches; });
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(ui::testing::processUntil([&] { return !dlg.loading(); }, 60s));
    ui::testing::processEvents();
    ui::ResultList* list = dlg.resultList(IDC_EL_LIST);
    ASSERT_EQ(list->count(), kLines);
    EXPECT_EQ(list->line(kLines - 1), "03/12/2026 08:00:00 E100100 entry 100000");
    // The window took the lines in many small turns, never all in one.
    EXPECT_GT(batches, 10);
}

// From the menu against the simulated printer: the log of the sample device
// printed into the simulator's spool, the first lines as the image renders them.
TEST_F(ErrorLogScreen, FromTheMenuTheSampleLogPrintsIntoTheSimulatorsSpool)
{
    QDir(root.path()).mkpath(QStringLiteral("Simulator/Spool"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(SAMPLE_DEVICE_ROOT "/Store/Error_Log.txt"),
                            root.filePath(QStringLiteral("Store/Error_Log.txt"))));
    sim::SimConfig config;
    config.timeScale = 0;
    sim::SimulatedDevices devices = sim::registerSimulatedDevices(config);
    ASSERT_TRUE(devices.printer);

    CDiagnosticsMenuDlg menu(menuButtons(), [] { return false; });
    DialogHarness h(menu);
    ASSERT_TRUE(h.open());
    QStringList listed;
    bool printed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        clock.advance(500ms);
        auto* log = dynamic_cast<CErrorLogDlg*>(QApplication::activeModalWidget());
        if (!log || log->loading())
            return;
        if (!printed) {
            listed = log->listItems(IDC_EL_LIST);
            printed = true;
            log->command(IDC_EL_PRINT);
        } else if (!log->printing() && log->isEnabled(IDC_CLOSE)) {
            log->command(IDC_CLOSE);
        }
    });
    poll.start(5);
    ASSERT_TRUE(h.click(IDC_MENU_ERROR_LOG)); // returns when the screen closed
    poll.stop();
    sim::unregisterSimulatedDevices(devices);

    ASSERT_EQ(listed.size(), 30);
    EXPECT_EQ(listed[4], QString::fromUtf8("03/11/2026 09:17:23 W310 Print head temperature 61°C, printing slowed"));
    QStringList spooled;
    for (QDirIterator it(root.filePath(QStringLiteral("Simulator/Spool")), {QStringLiteral("*.png")}); it.hasNext();)
        spooled << it.next();
    ASSERT_EQ(spooled.size(), 1);
    QImage png(spooled.first());
    ASSERT_FALSE(png.isNull());
    ASSERT_EQ(png.height(), service::kLogPrintRows);
    ASSERT_EQ(png.width(), 1248);
    const auto rows = expectedRows(service::printText(listed), 1248);
    png = png.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    int black = 0;
    for (int y = 0; y < png.height(); ++y)
        for (int x = 0; x < png.width(); ++x) {
            const bool dot = qGray(png.pixel(x, y)) < 128;
            const bool expected = uchar(rows[size_t(y)][x / 8]) & (0x80 >> (x % 8));
            ASSERT_EQ(dot, expected) << "row " << y << " dot " << x;
            black += dot;
        }
    EXPECT_GT(black, 10000) << "the text is there";
    if (qEnvironmentVariableIsSet("ERRORLOG_SPOOL_COPY"))
        QFile::copy(spooled.first(), qEnvironmentVariable("ERRORLOG_SPOOL_COPY"));
}

} // namespace
