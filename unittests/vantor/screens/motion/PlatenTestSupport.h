#pragma once
// Shared by the platen suites: a fresh device root with profile files, a
// manual clock, the simulated printer at time scale 0, and a sink that
// records what a worker reports.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/DevicePath.h"
#include "platform/Trace.h"
#include "sim/printer/SimulatedDevices.h"
#include "protocol/CommandChannel.h"
#include "vantor/framework/TestRunner.h"

namespace platentest {

// Records lines in order; batches are flattened, and counted.
class RecordingSink : public vantor::RunSink {
public:
    void addLine(QString line) override
    {
        std::lock_guard<std::mutex> l(m_mutex);
        m_lines << line;
        m_cv.notify_all();
    }
    void addLines(QStringList lines) override
    {
        std::lock_guard<std::mutex> l(m_mutex);
        ++m_batches;
        m_largestBatch = std::max(m_largestBatch, lines.size());
        m_lines << lines;
        m_cv.notify_all();
    }
    void cycleDone() override
    {
        std::lock_guard<std::mutex> l(m_mutex);
        ++m_cycles;
        m_cv.notify_all();
    }
    void idle() override {}

    QStringList lines() const
    {
        std::lock_guard<std::mutex> l(m_mutex);
        return m_lines;
    }
    int batches() const
    {
        std::lock_guard<std::mutex> l(m_mutex);
        return m_batches;
    }
    qsizetype largestBatch() const
    {
        std::lock_guard<std::mutex> l(m_mutex);
        return m_largestBatch;
    }
    int cycles() const
    {
        std::lock_guard<std::mutex> l(m_mutex);
        return m_cycles;
    }
    // Until the run's closing " " line (bounded by wake-ups, not a clock).
    bool waitForEnd()
    {
        std::unique_lock<std::mutex> l(m_mutex);
        return m_cv.wait_for(l, std::chrono::seconds(60), [&] { return m_lines.contains(QStringLiteral(" ")); });
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    QStringList m_lines;
    int m_batches = 0;
    qsizetype m_largestBatch = 0;
    int m_cycles = 0;
};

class PlatenFixture : public ::testing::Test {
protected:
    QTemporaryDir root;
    platform::ManualClock clock;
    std::unique_ptr<platform::ScopedClock> scoped;
    sim::SimulatedDevices devices;

    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        platform::setDeviceRoot(root.path());
        scoped = std::make_unique<platform::ScopedClock>(clock);
        QDir(root.path()).mkpath(QStringLiteral("Hard Disk/Profiles"));
    }
    void TearDown() override
    {
        stopPrinter();
        platform::trace::setFile(QString());
        scoped.reset();
        platform::setDeviceRoot(QString());
    }
    void startPrinter(uint64_t seed = 7)
    {
        sim::SimConfig c;
        c.timeScale = 0.0;
        c.seed = seed;
        devices = sim::registerSimulatedDevices(c);
    }
    // The printer registered but every request of `command` failing.
    void failCommand(uint32_t command)
    {
        devices.printer->faults().setRule(command, sim::FaultRule::always());
    }
    void stopPrinter() { sim::unregisterSimulatedDevices(devices); }

    // Writes a profile below \Hard Disk\Profiles and returns its device path.
    QString profile(const QString& name, const QByteArray& content)
    {
        QFile f(root.path() + QStringLiteral("/Hard Disk/Profiles/") + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return QStringLiteral("\\Hard Disk\\Profiles\\") + name;
    }
    QString hostFile(const QString& name) const { return root.path() + QLatin1Char('/') + name; }

    static QByteArray readFile(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // The bytes of the record attached to the trace under `label` with
    // `length`, from the n-th request (0-based) that carried one.
    static QByteArray tracedRecord(const QByteArray& trace, int length, int nth = 0)
    {
        const QByteArray marker = QByteArray(" [") + QByteArray::number(length) + "] ";
        int seen = 0;
        for (const QByteArray& line : trace.split('\n')) {
            if (!line.startsWith("  "))
                continue;
            const qsizetype at = line.indexOf(marker);
            if (at < 0 || line.indexOf('@') < 0 || line.indexOf('@') > at)
                continue;
            if (seen++ == nth)
                return QByteArray::fromHex(line.mid(at + marker.size()).replace(' ', ""));
        }
        return QByteArray();
    }
};

// Builds expected record bytes word by word.
struct Bytes {
    QByteArray b;
    explicit Bytes(int size) : b(size, '\0') {}
    Bytes& word(int offset, int32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[offset + i] = char((uint32_t(v) >> (8 * i)) & 0xFF);
        return *this;
    }
    Bytes& byte(int offset, uint8_t v)
    {
        b[offset] = char(v);
        return *this;
    }
};

} // namespace platentest

// Readable failures for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
