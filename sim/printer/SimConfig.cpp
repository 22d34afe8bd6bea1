#include "sim/printer/SimConfig.h"

#include <cstdlib>
#include <QFile>
#include <QTextStream>

#include "platform/DevicePath.h"

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
        bool ok = false;
        const qlonglong ms = eq < 0 ? -1 : item.mid(eq + 1).trimmed().toLongLong(&ok);
        if (eq < 0 || !parseKey(item.left(eq), key) || !ok || ms < 0) {
            warnings << QStringLiteral("ignored latency \"%1\"").arg(item.trimmed());
            continue;
        }
        latencyMs[key] = ms;
    }
}

void SimConfig::applyFile(const QString& hostPath)
{
    QFile f(hostPath);
    if (hostPath.isEmpty() || !f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&f);
    QString section;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq < 0) {
            warnings << QStringLiteral("ignored line \"%1\"").arg(line);
            continue;
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
                const double v = value.toDouble(&ok);
                ok = ok && v >= 0;
                if (ok)
                    timeScale = v;
            } else if (k == "maxrequestms") {
                const qlonglong v = value.toLongLong(&ok);
                ok = ok && v >= 0;
                if (ok)
                    maxRequestMs = v;
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
        } else if (section == "sensors" || section == "cartridges") {
            ok = applyMachineSetting(section, key, value);
        } else {
            ok = false;
        }
        if (!ok)
            warnings << QStringLiteral("ignored setting \"%1\"").arg(line);
    }
}

void SimConfig::applyEnvironment()
{
    QString v;
    if (!(v = env("DIAG_SIM_PRINTER")).isEmpty() && !parsePresence(v, printerPresent))
        warnings << QStringLiteral("ignored DIAG_SIM_PRINTER=%1").arg(v);
    if (!(v = env("DIAG_SIM_KEYBOARD")).isEmpty() && !parsePresence(v, keyboardPresent))
        warnings << QStringLiteral("ignored DIAG_SIM_KEYBOARD=%1").arg(v);
    if (!(v = env("DIAG_SIM_TIME_SCALE")).isEmpty()) {
        bool ok = false;
        const double s = v.toDouble(&ok);
        if (ok && s >= 0)
            timeScale = s;
        else
            warnings << QStringLiteral("ignored DIAG_SIM_TIME_SCALE=%1").arg(v);
    }
    if (!(v = env("DIAG_SIM_MAX_REQUEST_MS")).isEmpty()) {
        bool ok = false;
        const qlonglong ms = v.toLongLong(&ok);
        if (ok && ms >= 0)
            maxRequestMs = ms;
        else
            warnings << QStringLiteral("ignored DIAG_SIM_MAX_REQUEST_MS=%1").arg(v);
    }
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
