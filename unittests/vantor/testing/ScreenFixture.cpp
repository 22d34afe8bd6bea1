#include "unittests/vantor/testing/ScreenFixture.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <thread>

#include "platform/DevicePath.h"
#include "ui/testing/TestApp.h"
#include "vantor/framework/CTestDlg.h"
#include "vantor/framework/TestRunner.h"
#include "vantor/res/VantorResources.h"
#include "vantor/res/resource.h"

namespace vantor::testing {

using namespace std::chrono_literals;

void RecordingSink::addLine(QString line)
{
    std::lock_guard l(m_lock);
    m_lines << line;
}
void RecordingSink::addLines(QStringList lines)
{
    std::lock_guard l(m_lock);
    m_lines << lines;
}
void RecordingSink::cycleDone()
{
    std::lock_guard l(m_lock);
    ++m_cycles;
}
void RecordingSink::finished()
{
    std::lock_guard l(m_lock);
    m_finished = true;
}
QStringList RecordingSink::lines() const
{
    std::lock_guard l(m_lock);
    return m_lines;
}
int RecordingSink::cycles() const
{
    std::lock_guard l(m_lock);
    return m_cycles;
}
bool RecordingSink::isFinished() const
{
    std::lock_guard l(m_lock);
    return m_finished;
}

namespace {
void copyTree(const QString& from, const QString& to)
{
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString src = it.next();
        const QString dst = to + src.mid(from.size());
        QDir().mkpath(QFileInfo(dst).path());
        QFile::copy(src, dst);
    }
}
} // namespace

void ScreenFixture::SetUp()
{
    ui::testing::testApp();
    installBuiltinResources();
    ASSERT_TRUE(dir.isValid());
    const QString sample = QStringLiteral(VANTOR_SAMPLE_DIR);
    copyTree(sample + QStringLiteral("/device"), dir.filePath(QStringLiteral("device")));
    platform::setDeviceRoot(dir.filePath(QStringLiteral("device")));
    iniPath = dir.filePath(QStringLiteral("Vantor.ini"));
    ASSERT_TRUE(QFile::copy(sample + QStringLiteral("/Vantor.ini"), iniPath));
    settings = std::make_unique<ScopedSettingsContext>(iniPath);
    ASSERT_TRUE(LoadSettingsFile(iniPath));
}

void ScreenFixture::TearDown()
{
    stopPrinter();
    settings.reset();
    platform::setDeviceRoot(QString());
}

void ScreenFixture::startSimulator()
{
    stopPrinter();
    sim::SimConfig c;
    c.timeScale = 0.0;
    devices = sim::registerSimulatedDevices(c);
}

std::shared_ptr<platform::testing::RecordingDevice> ScreenFixture::startRecordingPrinter(bool gated)
{
    stopPrinter();
    auto p = std::make_shared<platform::testing::RecordingDevice>();
    p->gated = gated;
    platform::registerDevice(QStringLiteral("PRN1:"), p);
    return p;
}

void ScreenFixture::stopPrinter()
{
    sim::unregisterSimulatedDevices(devices);
    platform::unregisterDevice(QStringLiteral("PRN1:"));
}

bool ScreenFixture::advanceUntil(const std::function<bool()>& done)
{
    // Bounded by a generous real deadline that only trips on a hang: on a
    // loaded machine the worker may wait a long while for a core, and a
    // bound in steps would then fail a test that is not wrong.
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < deadline) {
        ui::testing::processEvents();
        if (done())
            return true;
        clock.advance(10ms);
        std::this_thread::sleep_for(100us);
    }
    return done();
}

QStringList ScreenFixture::results(ui::testing::DialogHarness& h)
{
    return h.listItems(IDC_RESULT_LIST);
}

void ScreenFixture::destroyWhileHeld(std::optional<ui::testing::DialogHarness>& h, std::unique_ptr<ui::Dialog> dlg,
                                     const std::function<void()>& release)
{
    // The runner lives until close() has returned, which needs the release:
    // reading it until closing begins is safe.
    auto* test = dynamic_cast<vantor::CTestDlg*>(dlg.get());
    const vantor::TestRunner* runner = test ? &test->runner() : nullptr;
    std::atomic<bool> destroyed{false};
    std::thread clockHand([&] {
        std::optional<platform::Millis> closingAt;
        while (!destroyed) {
            if (!closingAt) {
                if (runner && !runner->closing()) {
                    std::this_thread::yield();
                    continue;
                }
                closingAt = clock.now();
            }
            clock.advance(50ms);
            if (clock.now() > *closingAt + 16s)
                release();
            std::this_thread::yield();
        }
    });
    h.reset();
    dlg.reset();
    destroyed = true;
    clockHand.join();
    release();
}

int ScreenFixture::runButtonOf(ui::testing::DialogHarness& h)
{
    auto* test = dynamic_cast<vantor::CTestDlg*>(&h.dialog());
    return test ? test->runButton() : IDC_RUN;
}

bool ScreenFixture::runCycles(ui::testing::DialogHarness& h, int cycles)
{
    const qsizetype before = results(h).count(QStringLiteral(" "));
    if (!h.setText(IDC_TOTAL_CYCLE, QString::number(cycles)) || !h.click(runButtonOf(h)))
        return false;
    return advanceUntil([&] { return results(h).count(QStringLiteral(" ")) == before + 1; });
}

QStringList ScreenFixture::runHeadless(PreparedRun prepared, int cycles, int pauseMs)
{
    if (!prepared)
        return {prepared.refusal};
    RecordingSink sink;
    QStringList lines = runStartLines(*prepared.run);
    {
        TestRunner runner(sink);
        runner.start();
        runner.run(std::move(prepared.run), cycles, pauseMs);
        advanceUntil([&] { return sink.isFinished(); });
        runner.close();
    }
    return lines + sink.lines();
}

QStringList ScreenFixture::withoutTimeLines(QStringList lines)
{
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        if (lines[i] == QStringLiteral("== Start =="))
            lines[i + 1] = QStringLiteral("<time>");
    return lines;
}

} // namespace vantor::testing
