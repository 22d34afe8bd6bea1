#include "sim/printer/StateStore.h"

#include <cstdio>
#include <limits>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "sim/printer/Random.h"

namespace sim {

namespace {

constexpr const char* kHeader = "[PrinterState]";
constexpr const char* kVersionLine = "Version=1";

// A counter as the file holds it. Text that is no whole number reads as its
// decimal value, saturated to the 64-bit range (NaN reads as 0), since the
// file may have been edited by hand.
int64_t toInteger(const QString& v)
{
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    if (ok)
        return int64_t(n);
    const double d = v.toDouble();
    constexpr double kTwo63 = 9223372036854775808.0;
    if (!(d == d))
        return 0;
    if (d >= kTwo63)
        return std::numeric_limits<int64_t>::max();
    if (d < -kTwo63)
        return std::numeric_limits<int64_t>::min();
    return int64_t(d);
}

int64_t saturatingAdd(int64_t a, int64_t b)
{
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    return sum;
}

uint32_t fnv1a(const QByteArray& bytes)
{
    uint32_t h = 2166136261u;
    for (char c : bytes) {
        h ^= uint8_t(c);
        h *= 16777619u;
    }
    return h;
}

} // namespace

std::map<QString, QString> StateStore::factoryValues(uint64_t seed)
{
    // Each unit's encoders differ slightly from the nominal ratio (up to 2 %).
    auto ratio = [seed](double nominal, uint64_t salt) {
        Random r(Random::mix(seed, salt));
        return QString::number(nominal * (1.0 + r.range(-0.02, 0.02)), 'f', 6);
    };
    return {
        {stateKey::CutsMade, "0"},
        {stateKey::InchesPrinted, "0"},
        {stateKey::InchesFed, "0"},
        {stateKey::TapeTagChipVersion, "3"},
        {stateKey::RibbonTagChipVersion, "2"},
        {stateKey::KeyboardLayout, "1"},
        {stateKey::PlatenEncoderRatio, ratio(1.8, 1)},
        {stateKey::RewindEncoderRatio, ratio(0.9, 2)},
        {stateKey::RibbonEncoderRatio, ratio(1.2, 3)},
        {stateKey::PlatenMoves, "0"},
        {stateKey::PlatenPulses, "0"},
        {stateKey::TapeRewindMoves, "0"},
        {stateKey::RibbonMoves, "0"},
        {stateKey::EjectorRevolutions, "0"},
        {stateKey::EndCutterCuts, "0"},
        {stateKey::PrintHeadLoads, "0"},
        {stateKey::PrintHeadLifts, "0"},
        {stateKey::XYCuts, "0"},
        {stateKey::XYMoves, "0"},
        {stateKey::MediaJamRuns, "0"},
    };
}

StateStore::StateStore(QString hostFile, uint64_t seed)
    : m_file(std::move(hostFile)), m_seed(seed), m_values(factoryValues(seed)), m_factory(m_values)
{
}

bool StateStore::load()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_values = m_factory;
    m_warning.clear();
    m_warningTaken = false;
    m_dirty = false;

    QFile f(m_file);
    if (m_file.isEmpty() || !f.exists()) {
        m_warning = QStringLiteral("no printer state file, starting from factory values");
        return false;
    }
    if (!f.open(QIODevice::ReadOnly) || f.size() > 1024 * 1024) {
        m_warning = QStringLiteral("printer state file unreadable, starting from factory values");
        return false;
    }
    const QByteArray all = f.readAll();
    const int checksumAt = all.lastIndexOf("Checksum=");
    bool ok = checksumAt > 0 && all.startsWith(kHeader);
    if (ok) {
        const QByteArray body = all.left(checksumAt);
        bool hexOk = false;
        const uint32_t stored = all.mid(checksumAt + 9).trimmed().toUInt(&hexOk, 16);
        ok = hexOk && stored == fnv1a(body);
    }
    std::map<QString, QString> read = m_factory;
    if (ok) {
        const QList<QByteArray> lines = all.left(checksumAt).split('\n');
        ok = lines.size() >= 2 && lines[1].trimmed() == kVersionLine;
        for (int i = 2; ok && i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            if (line.isEmpty())
                continue;
            const int eq = line.indexOf('=');
            if (eq <= 0) {
                ok = false;
                break;
            }
            const QString key = QString::fromUtf8(line.left(eq));
            const QString value = QString::fromUtf8(line.mid(eq + 1));
            // Unknown keys are kept: a later version may have written them.
            auto known = m_factory.find(key);
            if (known != m_factory.end()) {
                bool num = false;
                value.toDouble(&num);
                if (!num) {
                    ok = false;
                    break;
                }
            }
            read[key] = value;
        }
    }
    if (!ok) {
        m_warning = QStringLiteral("printer state file corrupt, starting from factory values");
        return false;
    }
    m_values = std::move(read);
    return true;
}

bool StateStore::saveLocked()
{
    QByteArray body = QByteArray(kHeader) + '\n' + kVersionLine + '\n';
    for (const auto& [key, value] : m_values)
        body += key.toUtf8() + '=' + value.toUtf8() + '\n';
    const QByteArray all = body + "Checksum=" + QByteArray::number(fnv1a(body), 16).rightJustified(8, '0') + '\n';
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    // A whole new file renamed over the old one: a crash leaves one or the
    // other, never half a file. No sync: the counters are not worth a disk
    // flush per move.
    const QString temp = m_file + QStringLiteral(".tmp");
    {
        QFile f(temp);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(all) != all.size())
            return false;
    }
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(m_file).constData()) != 0) {
        QFile::remove(temp);
        return false;
    }
    m_dirty = false;
    return true;
}

bool StateStore::save()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return saveLocked();
}

bool StateStore::flush()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dirty ? saveLocked() : true;
}

QString StateStore::valueLocked(const char* key) const
{
    auto it = m_values.find(QString::fromLatin1(key));
    return it == m_values.end() ? QString() : it->second;
}

int64_t StateStore::integer(const char* key) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return toInteger(valueLocked(key));
}

double StateStore::real(const char* key) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return valueLocked(key).toDouble();
}

void StateStore::setInteger(const char* key, int64_t value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QString& v = m_values[QString::fromLatin1(key)];
    const QString nv = QString::number(value);
    if (v != nv) {
        v = nv;
        m_dirty = true;
    }
}

void StateStore::setReal(const char* key, double value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_values[QString::fromLatin1(key)] = QString::number(value, 'f', 6);
    m_dirty = true;
}

void StateStore::add(const char* key, int64_t delta)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QString& v = m_values[QString::fromLatin1(key)];
    v = QString::number(saturatingAdd(toInteger(v), delta)); // a counter stops at its end
    m_dirty = true;
}

QString StateStore::takeWarning()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_warningTaken)
        return QString();
    m_warningTaken = true;
    return m_warning;
}

QString StateStore::warning() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_warning;
}

} // namespace sim
