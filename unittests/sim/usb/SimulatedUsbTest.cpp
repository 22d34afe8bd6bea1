#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "platform/Clock.h"
#include "platform/DeviceChange.h"
#include "sim/printer/SimConfig.h"
#include "sim/usb/SimulatedUsb.h"

using namespace sim;
using platform::DeviceChange;

namespace {

// Notifications as they arrive, from any thread.
class Recorder {
public:
    explicit Recorder(platform::DeviceChangeHub& hub)
        : m_sub(hub.subscribe([this](const DeviceChange& c) {
              std::lock_guard<std::mutex> lock(m_mutex);
              m_seen.push_back(c);
              m_cv.notify_all();
          }))
    {
    }
    // Blocks until `n` have come (the schedule's thread runs on the manual clock).
    std::vector<DeviceChange> waitFor(size_t n)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_cv.wait(lock, [&] { return m_seen.size() >= n; });
        return m_seen;
    }
    std::vector<DeviceChange> seen()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<DeviceChange> m_seen;
    platform::DeviceChangeSubscription m_sub;
};

QString writeIni(QTemporaryDir& dir, const char* text)
{
    const QString path = dir.filePath("simulator.ini");
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
    return path;
}

TEST(SimulatedUsb, PlugAndRemoveFromATest)
{
    platform::DeviceChangeHub hub;
    Recorder rec(hub);
    SimulatedUsb usb(hub);
    EXPECT_FALSE(usb.remove()) << "nothing is in";
    UsbDevice stick;
    stick.name = "Test Stick";
    EXPECT_TRUE(usb.plug(stick));
    EXPECT_TRUE(usb.pluggedIn());
    EXPECT_FALSE(usb.plug(stick)) << "the port holds one device";
    EXPECT_TRUE(usb.remove());
    EXPECT_FALSE(usb.pluggedIn());

    const auto seen = rec.seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].event, platform::DBT_DEVICEARRIVAL);
    EXPECT_EQ(seen[0].record, platform::portRecord(u"Test Stick"));
    EXPECT_EQ(seen[1].event, platform::DBT_DEVICEREMOVECOMPLETE);
    EXPECT_EQ(seen[1].record, seen[0].record);
}

TEST(SimulatedUsb, DeviceTypesGiveTheirOwnRecords)
{
    UsbDevice d;
    d.type = platform::DBT_DEVTYP_VOLUME;
    EXPECT_EQ(d.record(), platform::volumeRecord(1u << 4, 0));
    d.type = platform::DBT_DEVTYP_OEM;
    EXPECT_EQ(d.record(), platform::oemRecord(0, 0));
}

TEST(SimulatedUsb, TheConfigurationPlugsAndRemovesOnTheClock)
{
    platform::ManualClock clock;
    platform::ScopedClock scoped(clock);
    QTemporaryDir dir;
    UsbConfig config;
    config.applyFile(writeIni(dir, "[Simulator]\nSeed=3\n[Usb]\nDevice=Config Stick\nPlugAfterMs=2000\n"
                                   "RemoveAfterMs=500\nRepeat=yes\n"));
    EXPECT_TRUE(config.warnings.isEmpty()) << config.warnings.join(';').toStdString();

    platform::DeviceChangeHub hub;
    Recorder rec(hub);
    SimulatedUsb usb(hub);
    usb.start(config);
    clock.advance(platform::Millis(1999));
    clock.advance(platform::Millis(1));
    auto seen = rec.waitFor(1);
    EXPECT_EQ(seen[0].event, platform::DBT_DEVICEARRIVAL);
    EXPECT_EQ(seen[0].record, platform::portRecord(u"Config Stick"));
    clock.advance(platform::Millis(500));
    seen = rec.waitFor(2);
    EXPECT_EQ(seen[1].event, platform::DBT_DEVICEREMOVECOMPLETE);
    clock.advance(platform::Millis(2000));
    seen = rec.waitFor(3);
    EXPECT_EQ(seen[2].event, platform::DBT_DEVICEARRIVAL) << "repeats";
    usb.stop();
    EXPECT_EQ(rec.seen().size(), 3u) << "stopping publishes nothing";
}

TEST(SimulatedUsb, NoPlugConfiguredMeansNoSchedule)
{
    platform::ManualClock clock;
    platform::ScopedClock scoped(clock);
    platform::DeviceChangeHub hub;
    Recorder rec(hub);
    SimulatedUsb usb(hub);
    usb.start(UsbConfig{});
    clock.advance(platform::Millis(100000000));
    usb.stop();
    EXPECT_TRUE(rec.seen().empty());
}

TEST(SimulatedUsb, ConfigurationKeysAndWarnings)
{
    struct Case {
        const char* key;
        const char* value;
        bool ok;
    };
    const Case cases[] = {
        {"Type", "volume", true}, {"type", "0", true},       {"Type", "disk", false},
        {"PlugAfterMs", "0", true}, {"PlugAfterMs", "-1", false}, {"PlugAfterMs", "99999999999", false},
        {"RemoveAfterMs", "never", true}, {"Repeat", "maybe", false}, {"Device", "  ", false},
        {"Colour", "red", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + "=" + c.value);
        UsbConfig config;
        EXPECT_EQ(config.apply(c.key, c.value), c.ok);
    }

    QTemporaryDir dir;
    UsbConfig config;
    config.applyFile(writeIni(dir, "[Usb]\nType=2\nPlugAfterMs=soon\nnonsense\n"));
    EXPECT_EQ(config.device.type, platform::DBT_DEVTYP_VOLUME);
    EXPECT_FALSE(config.plugAfterMs);
    EXPECT_EQ(config.warnings.size(), 2);
}

TEST(SimulatedUsb, TheEnvironmentWinsOverTheFile)
{
    QTemporaryDir dir;
    qputenv("DIAG_SIM_USB_DEVICE", "Env Stick");
    qputenv("DIAG_SIM_USB_PLUG_MS", "x");
    UsbConfig config;
    config.applyFile(writeIni(dir, "[Usb]\nDevice=File Stick\nPlugAfterMs=10\n"));
    config.applyEnvironment();
    qunsetenv("DIAG_SIM_USB_DEVICE");
    qunsetenv("DIAG_SIM_USB_PLUG_MS");
    EXPECT_EQ(config.device.name, "Env Stick");
    EXPECT_EQ(config.plugAfterMs, 10) << "a bad value leaves the file's";
    EXPECT_EQ(config.warnings.size(), 1);
}

TEST(SimulatedUsb, ThePrintersConfigurationLeavesTheUsbSectionAlone)
{
    QTemporaryDir dir;
    SimConfig printer;
    printer.applyFile(writeIni(dir, "[Usb]\nDevice=X\nPlugAfterMs=10\n"));
    EXPECT_TRUE(printer.warnings.isEmpty()) << printer.warnings.join(';').toStdString();
}

} // namespace
