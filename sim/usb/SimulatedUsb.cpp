#include "sim/usb/SimulatedUsb.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Clock.h"
#include "platform/DevicePath.h"
#include "platform/Event.h"
#include "platform/Thread.h"
#include "sim/ConfigFile.h"

namespace sim {

namespace {

constexpr const char* kConfigPath = "\\Simulator\\simulator.ini";

QString env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? QString::fromLocal8Bit(v).trimmed() : QString();
}

bool parseDelay(const QString& text, std::optional<int64_t>& out)
{
    const QString t = text.trimmed().toLower();
    if (t == "never" || t == "none") {
        out.reset();
        return true;
    }
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok);
    if (!ok || v < 0 || v > kMaxUsbDelayMs)
        return false;
    out = v;
    return true;
}

bool parseType(const QString& text, uint32_t& type)
{
    const QString t = text.trimmed().toLower();
    if (t == "port" || t == "3")
        type = platform::DBT_DEVTYP_PORT;
    else if (t == "volume" || t == "2")
        type = platform::DBT_DEVTYP_VOLUME;
    else if (t == "oem" || t == "0")
        type = platform::DBT_DEVTYP_OEM;
    else
        return false;
    return true;
}

bool parseYesNo(const QString& text, bool& value)
{
    const QString t = text.trimmed().toLower();
    if (t == "yes" || t == "1" || t == "on" || t == "true")
        value = true;
    else if (t == "no" || t == "0" || t == "off" || t == "false")
        value = false;
    else
        return false;
    return true;
}

} // namespace

std::vector<uint8_t> UsbDevice::record() const
{
    switch (type) {
    case platform::DBT_DEVTYP_VOLUME:
        return platform::volumeRecord(unitMask, 0);
    case platform::DBT_DEVTYP_OEM:
        return platform::oemRecord(0, 0);
    default:
        return platform::portRecord(name.toStdU16String());
    }
}

bool UsbConfig::apply(const QString& key, const QString& value)
{
    const QString k = key.trimmed().toLower();
    if (k == "device") {
        if (value.trimmed().isEmpty())
            return false;
        device.name = value.trimmed();
        return true;
    }
    if (k == "type")
        return parseType(value, device.type);
    if (k == "plugafterms")
        return parseDelay(value, plugAfterMs);
    if (k == "removeafterms")
        return parseDelay(value, removeAfterMs);
    if (k == "repeat")
        return parseYesNo(value, repeat);
    return false;
}

void UsbConfig::applyFile(const QString& hostPath)
{
    forEachConfigLine(hostPath, [this](const QString& section, const QString& line) {
        if (section != "usb")
            return; // the printer's sections are read by its own configuration
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0 || !apply(line.left(eq), line.mid(eq + 1)))
            warnings << QStringLiteral("ignored setting \"%1\"").arg(line);
    });
}

void UsbConfig::applyEnvironment()
{
    static const std::pair<const char*, const char*> keys[] = {
        {"DIAG_SIM_USB_DEVICE", "Device"},       {"DIAG_SIM_USB_TYPE", "Type"},
        {"DIAG_SIM_USB_PLUG_MS", "PlugAfterMs"}, {"DIAG_SIM_USB_REMOVE_MS", "RemoveAfterMs"},
        {"DIAG_SIM_USB_REPEAT", "Repeat"},
    };
    for (const auto& [var, key] : keys) {
        const QString v = env(var);
        if (!v.isEmpty() && !apply(QString::fromLatin1(key), v))
            warnings << QStringLiteral("ignored %1=%2").arg(QString::fromLatin1(var), v);
    }
}

UsbConfig UsbConfig::fromEnvironment()
{
    UsbConfig c;
    c.applyFile(platform::hostPath(QString::fromLatin1(kConfigPath)));
    c.applyEnvironment();
    return c;
}

struct SimulatedUsb::Schedule {
    platform::Event quit{platform::Event::Reset::Manual};
    platform::WorkerThread thread;
};

SimulatedUsb::SimulatedUsb(platform::DeviceChangeHub& hub) : m_hub(hub) {}

SimulatedUsb::~SimulatedUsb() { stop(); }

bool SimulatedUsb::plug(const UsbDevice& device)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_in)
            return false;
        m_in = device;
    }
    m_hub.publish(platform::DBT_DEVICEARRIVAL, device.record());
    return true;
}

bool SimulatedUsb::remove()
{
    std::optional<UsbDevice> out;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        out.swap(m_in);
    }
    if (!out)
        return false;
    m_hub.publish(platform::DBT_DEVICEREMOVECOMPLETE, out->record());
    return true;
}

bool SimulatedUsb::pluggedIn() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_in.has_value();
}

void SimulatedUsb::start(const UsbConfig& config)
{
    stop();
    if (!config.plugAfterMs)
        return;
    m_schedule = std::make_unique<Schedule>();
    platform::Event* quit = &m_schedule->quit;
    // The times count from now on the clock in force, not from when the
    // thread gets to wait, so a test's clock may move before it does.
    const platform::Millis begin = platform::clock().now();
    m_schedule->thread.start([this, quit, config, begin] {
        // False when the schedule is ended before `deadline`.
        auto until = [quit](platform::Millis deadline) {
            return platform::waitOneUntil(*quit, deadline).status == platform::WaitStatus::Timeout;
        };
        platform::Millis next = begin;
        do {
            next += platform::Millis(*config.plugAfterMs);
            if (!until(next))
                return;
            plug(config.device);
            if (!config.removeAfterMs)
                return;
            next += platform::Millis(*config.removeAfterMs);
            if (!until(next))
                return;
            remove();
        } while (config.repeat && *config.plugAfterMs + *config.removeAfterMs > 0); // no period: once
    });
}

void SimulatedUsb::stop()
{
    if (!m_schedule)
        return;
    m_schedule->quit.set();
    m_schedule->thread.join(platform::kInfinite);
    m_schedule.reset();
}

} // namespace sim
