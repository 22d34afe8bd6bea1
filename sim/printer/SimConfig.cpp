#include "sim/printer/SimConfig.h"

#include <cstdlib>
#include <utility>

#include "platform/DevicePath.h"
#include "sim/ConfigFile.h"

namespace sim {

namespace {

QString env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? QString::fromLocal8Bit(v).trimmed() : QString();
}

bool parsePresence(const QString& v, bool& present)
{
    const QString s = v.toLower();
    if (s == "absent" || s == "0" || s == "off" || s == "no") {
        present = false;
        return true;
    }
    if (s == "present" || s == "1" || s == "on" || s == "yes") {
        present = true;
        return true;
    }
    return false;
}

} // namespace

bool FaultRule::parse(const QString& text, FaultRule& out)
{
    QString s = text.trimmed().toLower();
    s.replace(QLatin1Char(':'), QLatin1Char(' '));
    const QStringList parts = s.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    if (parts.size() == 1 && parts[0] == "always") {
        out = always();
        return true;
    }
    if (parts.size() == 1 && parts[0] == "never") {
        out = FaultRule{};
        return true;
    }
    if (parts.size() == 2 && parts[0] == "every") {
        bool ok = false;
        const qulonglong n = parts[1].toULongLong(&ok);
        if (!ok || n == 0)
            return false;
        out = everyNth(n);
        return true;
    }
    if (parts.size() == 2 && parts[0] == "random") {
        bool ok = false;
        const double p = parts[1].toDouble(&ok);
        if (!ok || !(p >= 0.0 && p <= 1.0))
            return false;
        out = random(p);
        return true;
    }
    return false;
}

bool SimConfig::parseKey(const QString& text, uint32_t& key)
{
    bool ok = false;
    const QString t = text.trimmed();
    const qulonglong v = t.startsWith("0x", Qt::CaseInsensitive) ? t.mid(2).toULongLong(&ok, 16) : t.toULongLong(&ok, 10);
    if (!ok || v > 0xFFFFFFFFull)
        return false;
    key = uint32_t(v);
    return true;
}

bool SimConfig::parseTimeScale(const QString& text, double& scale)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    // Also false for NaN and infinity.
    if (!ok || !(v >= 0.0 && v <= kMaxTimeScale))
        return false;
    scale = v;
    return true;
}

bool SimConfig::parseMilliseconds(const QString& text, int64_t limit, int64_t& ms)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < 0 || v > limit)
        return false;
    ms = v;
    return true;
}

QStringList ConfigWarnings::take()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return std::exchange(m_pending, QStringList());
}

void SimConfig::parseFaults(const QString& text)
{
    for (const QString& item : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int eq = item.indexOf(QLatin1Char('='));
        uint32_t key = 0;
        FaultRule rule;
        if (eq < 0 || !parseKey(item.left(eq), key) || !FaultRule::parse(item.mid(eq + 1), rule)) {
            warnings << QStringLiteral("ignored fault \"%1\"").arg(item.trimmed());
            continue;
        }
        faults[key] = rule;
    }
}

void SimConfig::parseLatency(const QString& text)
{
    for (const QString& item : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int eq = item.indexOf(QLatin1Char('='));
        uint32_t key = 0;
        int64_t ms = 0;
        if (eq < 0 || !parseKey(item.left(eq), key) || !parseMilliseconds(item.mid(eq + 1), kMaxLatencyMs, ms)) {
            warnings << QStringLiteral("ignored latency \"%1\" (milliseconds from 0 to %2)").arg(item.trimmed()).arg(kMaxLatencyMs);
            continue;
        }
        latencyMs[key] = ms;
    }
}

void SimConfig::applyFile(const QString& hostPath)
{
    forEachConfigLine(hostPath, [this](const QString& section, const QString& line) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) {
            warnings << QStringLiteral("ignored line \"%1\"").arg(line);
            return;
        }
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        bool ok = true;
        if (section == "faults") {
            parseFaults(key + '=' + value);
        } else if (section == "latency") {
            parseLatency(key + '=' + value);
        } else if (section == "simulator") {
            const QString k = key.toLower();
            if (k == "printer")
                ok = parsePresence(value, printerPresent);
            else if (k == "keyboard")
                ok = parsePresence(value, keyboardPresent);
            else if (k == "timescale") {
                ok = parseTimeScale(value, timeScale);
                if (!ok)
                    warnings << QStringLiteral("ignored setting \"%1\" (a number from 0 to %2)").arg(line).arg(kMaxTimeScale);
                return;
            } else if (k == "maxrequestms") {
                ok = parseMilliseconds(value, kMaxRequestMsLimit, maxRequestMs);
                if (!ok)
                    warnings << QStringLiteral("ignored setting \"%1\" (milliseconds from 0 to %2)").arg(line).arg(kMaxRequestMsLimit);
                return;
            } else if (k == "seed") {
                const qulonglong v = value.toULongLong(&ok);
                if (ok)
                    seed = v;
            } else if (k == "statefile") {
                ok = !value.isEmpty();
                if (ok)
                    stateFile = value;
            } else {
                ok = false;
            }
        } else if (section == "usb") {
            return; // the simulated USB port's (sim/usb)
        } else if (section == "sensors" || section == "cartridges") {
            ok = applyMachineSetting(section, key, value);
        } else {
            ok = false;
        }
        if (!ok)
            warnings << QStringLiteral("ignored setting \"%1\"").arg(line);
    });
}

void SimConfig::applyEnvironment()
{
    QString v;
    if (!(v = env("DIAG_SIM_PRINTER")).isEmpty() && !parsePresence(v, printerPresent))
        warnings << QStringLiteral("ignored DIAG_SIM_PRINTER=%1").arg(v);
    if (!(v = env("DIAG_SIM_KEYBOARD")).isEmpty() && !parsePresence(v, keyboardPresent))
        warnings << QStringLiteral("ignored DIAG_SIM_KEYBOARD=%1").arg(v);
    if (!(v = env("DIAG_SIM_TIME_SCALE")).isEmpty() && !parseTimeScale(v, timeScale))
        warnings << QStringLiteral("ignored DIAG_SIM_TIME_SCALE=%1 (a number from 0 to %2)").arg(v).arg(kMaxTimeScale);
    if (!(v = env("DIAG_SIM_MAX_REQUEST_MS")).isEmpty() && !parseMilliseconds(v, kMaxRequestMsLimit, maxRequestMs))
        warnings << QStringLiteral("ignored DIAG_SIM_MAX_REQUEST_MS=%1 (milliseconds from 0 to %2)").arg(v).arg(kMaxRequestMsLimit);
    if (!(v = env("DIAG_SIM_SEED")).isEmpty()) {
        bool ok = false;
        const qulonglong s = v.toULongLong(&ok);
        if (ok)
            seed = s;
        else
            warnings << QStringLiteral("ignored DIAG_SIM_SEED=%1").arg(v);
    }
    if (!(v = env("DIAG_SIM_STATE")).isEmpty())
        stateFile = v;
    if (!(v = env("DIAG_SIM_FAULTS")).isEmpty())
        parseFaults(v);
    if (!(v = env("DIAG_SIM_LATENCY")).isEmpty())
        parseLatency(v);
    applyMachineEnvironment();
}

SimConfig SimConfig::fromEnvironment()
{
    SimConfig c;
    c.applyFile(platform::hostPath(QString::fromLatin1(kConfigDevicePath)));
    c.applyEnvironment();
    return c;
}

} // namespace sim
