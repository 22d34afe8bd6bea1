#include "sim/printer/StateStore.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <utility>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sim/printer/Factory.h"
#include "sim/printer/Random.h"

namespace sim {

namespace {

constexpr const char* kHeader = "[PrinterState]";
constexpr qint64 kMaxFileBytes = 1024 * 1024;

bool toInteger(const QString& v, int64_t& out)
{
    bool ok = false;
    const qlonglong n = v.trimmed().toLongLong(&ok);
    if (ok) {
        out = int64_t(n);
        return true;
    }
    const double d = v.trimmed().toDouble(&ok);
    if (ok && std::isfinite(d) && std::fabs(d) < 9.2e18) {
        out = int64_t(d);
        return true;
    }
    return false;
}

// Counters saturate: a hand-edited file may hold a value at the edge of the
// 64-bit range, and a count must never wrap.
int64_t saturatingAdd(int64_t a, int64_t b)
{
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
    return sum;
}

int64_t integerOf(const QString& v)
{
    int64_t n = 0;
    return toInteger(v, n) ? n : 0;
}

enum class Kind { Integer, Real, Hex };

Kind kindOf(const QString& key)
{
    if (key == stateKey::TapeTagChipImage || key == stateKey::RibbonTagChipImage)
        return Kind::Hex;
    if (key.endsWith(QLatin1String("EncoderRatio")) || key == stateKey::CutForceM || key == stateKey::CutForceC)
        return Kind::Real;
    return Kind::Integer;
}

// Whether a value of a known key is well formed.
bool wellFormed(const QString& key, const QString& value, const QString& factory)
{
    switch (kindOf(key)) {
    case Kind::Integer: {
        int64_t n = 0;
        return toInteger(value, n);
    }
    case Kind::Real: {
        bool ok = false;
        const double d = value.trimmed().toDouble(&ok);
        return ok && std::isfinite(d);
    }
    case Kind::Hex: {
        const QByteArray hex = value.trimmed().toLatin1();
        if (hex.size() != factory.size())
            return false;
        for (char c : hex)
            if (!std::isxdigit(uint8_t(c)))
                return false;
        return true;
    }
    }
    return false;
}

// The file's lock: a separate lock file, so that the state file itself can
// be renamed over while others wait. Released when the process dies.
class FileLock {
public:
    explicit FileLock(const QString& stateFile)
    {
        QDir().mkpath(QFileInfo(stateFile).absolutePath());
        m_fd = ::open(QFile::encodeName(stateFile + QStringLiteral(".lock")).constData(), O_RDWR | O_CREAT | O_CLOEXEC,
                      0644);
        if (m_fd >= 0)
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~FileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int m_fd = -1;
};

} // namespace

StateStore::Values StateStore::factoryValues(uint64_t seed)
{
    // The same for every store of one unit, and most of a store's making
    // (the TagChip images above all): built once per seed and shared; a
    // store copies only what it changes.
    static std::mutex mutex;
    static std::optional<std::pair<uint64_t, Values>> last;
    const std::lock_guard<std::mutex> lock(mutex);
    if (!last || last->first != seed) {
        std::map<QString, QString> made;
        factoryMachineState(seed, made);
        last.emplace(seed, Values(made));
    }
    return last->second;
}

StateStore::StateStore(QString hostFile, uint64_t seed)
    : m_file(std::move(hostFile)), m_factory(factoryValues(seed)), m_base(m_factory), m_values(m_factory)
{
}

StateStore::FileId StateStore::currentId() const
{
    struct stat st {};
    if (m_file.isEmpty() || ::stat(QFile::encodeName(m_file).constData(), &st) != 0)
        return FileId{};
    return FileId{qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, quint64(st.st_ino)};
}

StateStore::ReadResult StateStore::readFile(Values& values, QStringList& problems) const
{
    values = m_factory;
    QFile f(m_file);
    if (m_file.isEmpty() || !f.exists())
        return ReadResult::Missing;
    if (!f.open(QIODevice::ReadOnly))
        return ReadResult::Unreadable;
    if (f.size() > kMaxFileBytes)
        return ReadResult::Corrupt;
    const QByteArray all = f.readAll();
    if (all.contains('\0'))
        return ReadResult::Corrupt;
    // Line by line over the bytes read: a view each, no copy of the line.
    const QByteArrayView text(all);
    bool headed = false;
    int number = 0;
    for (qsizetype pos = 0; pos <= text.size(); ++number) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        const QByteArrayView line = text.sliced(pos, end - pos).trimmed();
        pos = end + 1;
        if (!headed) {
            if (line.isEmpty())
                continue;
            if (line != QByteArrayView(kHeader))
                return ReadResult::Corrupt;
            headed = true;
            continue;
        }
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        const qsizetype eq = line.indexOf('=');
        const QString key = eq > 0 ? QString::fromUtf8(line.first(eq)).trimmed() : QString();
        if (key.isEmpty()) {
            problems << QStringLiteral("printer state file line %1 \"%2\" does not parse, ignored")
                            .arg(number + 1)
                            .arg(QString::fromUtf8(line.first(std::min<qsizetype>(line.size(), 60))));
            continue;
        }
        if (key == QLatin1String("Checksum")) // written by earlier versions
            continue;
        const QString value = QString::fromUtf8(line.sliced(eq + 1)).trimmed();
        const auto known = m_factory.constFind(key);
        if (known != m_factory.cend() && !wellFormed(key, value, known.value())) {
            problems << QStringLiteral("printer state file: %1=%2 does not parse, keeping %3")
                            .arg(key, value.left(60), known.value().left(60));
            continue;
        }
        // Unknown keys are kept: a later version may have written them.
        values.insert(key, value);
    }
    if (!headed)
        return ReadResult::Corrupt;
    return ReadResult::Good;
}

bool StateStore::writeFileLocked(const Values& values)
{
    // Encoded straight into one buffer sized for the worst case: a write
    // per request, and a temporary per key and value was most of it.
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const qsizetype header = qsizetype(std::strlen(kHeader));
    qsizetype room = header + 1;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        room += utf8.requiredSpace(it.key().size()) + utf8.requiredSpace(it.value().size()) + 2;
    QByteArray all(room, Qt::Uninitialized);
    char* out = all.data();
    std::memcpy(out, kHeader, size_t(header));
    out += header;
    *out++ = '\n';
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        out = utf8.appendToBuffer(out, it.key());
        *out++ = '=';
        out = utf8.appendToBuffer(out, it.value());
        *out++ = '\n';
    }
    all.truncate(out - all.constData());
    QDir().mkpath(QFileInfo(m_file).absolutePath());
    // A whole new file renamed over the old one: a crash leaves one or the
    // other, never half a file, and readers without the lock see either.
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
    m_seen = currentId();
    return true;
}

void StateStore::setWarnings(const QStringList& warnings, bool toStderr)
{
    if (toStderr)
        for (const QString& w : warnings)
            std::fprintf(stderr, "simulator: %s\n", qPrintable(w));
    m_warning = warnings.join(QStringLiteral("; "));
    m_warningTaken = m_warning.isEmpty();
}

// With the lock held: reads the file into m_base; a corrupt file is moved
// aside and factory values written in its place.
bool StateStore::reloadLocked(bool report)
{
    QStringList problems;
    Values read;
    const ReadResult r = readFile(read, problems);
    QStringList warnings;
    bool good = r == ReadResult::Good;
    switch (r) {
    case ReadResult::Missing:
        warnings << QStringLiteral("no printer state file, starting from factory values");
        m_base = m_factory;
        writeFileLocked(m_base);
        setWarnings(warnings, false);
        return false;
    case ReadResult::Unreadable:
        warnings << QStringLiteral("printer state file unreadable, starting from factory values");
        m_base = m_factory;
        m_seen = currentId();
        break;
    case ReadResult::Corrupt: {
        const QString bad = m_file + QStringLiteral(".bad");
        QFile::remove(bad);
        const bool kept = QFile::rename(m_file, bad);
        warnings
            << (kept ? QStringLiteral("printer state file corrupt, kept as %1, starting from factory values").arg(bad)
                     : QStringLiteral("printer state file corrupt, starting from factory values"));
        m_base = m_factory;
        writeFileLocked(m_base);
        break;
    }
    case ReadResult::Good:
        m_base = std::move(read);
        m_seen = currentId();
        break;
    }
    warnings << problems;
    if (report || !warnings.isEmpty())
        setWarnings(warnings, true);
    return good && problems.isEmpty();
}

bool StateStore::load()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ops.clear();
    m_requestOps.clear();
    m_warning.clear();
    m_warningTaken = false;
    bool good = false;
    {
        FileLock fileLock(m_file);
        good = reloadLocked(false);
    }
    recompute();
    return good;
}

void StateStore::refresh()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (currentId() == m_seen)
        return;
    {
        FileLock fileLock(m_file);
        reloadLocked(false);
    }
    recompute();
}

void StateStore::apply(const std::vector<Op>& ops, Values& values)
{
    for (const Op& op : ops) {
        QString& v = values[op.key];
        if (op.kind == Op::Add)
            v = QString::number(saturatingAdd(integerOf(v), op.delta));
        else
            v = op.value;
    }
}

void StateStore::applyOps(Values& values) const
{
    apply(m_ops, values);
}

void StateStore::recompute()
{
    m_values = m_base;
    apply(m_ops, m_values);
    apply(m_requestOps, m_values);
}

bool StateStore::flush()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ops.empty())
        return true;
    bool ok = false;
    {
        FileLock fileLock(m_file);
        if (currentId() != m_seen)
            reloadLocked(false);
        Values merged = m_base;
        applyOps(merged);
        ok = writeFileLocked(merged);
        if (ok) {
            m_base = std::move(merged);
            m_ops.clear();
        }
    }
    recompute();
    return ok;
}

int64_t StateStore::next(const QString& key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    FileLock fileLock(m_file);
    if (currentId() != m_seen)
        reloadLocked(false);
    const int64_t value = saturatingAdd(integerOf(m_base.value(key)), 1);
    m_base.insert(key, QString::number(value));
    writeFileLocked(m_base);
    recompute();
    return value;
}

void StateStore::beginRequest()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_inRequest = true;
    m_requestThread = std::this_thread::get_id();
    m_requestOps.clear();
}

void StateStore::endRequest(bool keep)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_inRequest = false;
    if (keep) {
        m_ops.insert(m_ops.end(), std::make_move_iterator(m_requestOps.begin()),
                     std::make_move_iterator(m_requestOps.end()));
        m_requestOps.clear();
    } else if (!m_requestOps.empty()) {
        m_requestOps.clear();
        recompute();
    }
}

QString StateStore::valueLocked(const QString& key) const
{
    return m_values.value(key);
}

int64_t StateStore::integer(const QString& key) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return integerOf(valueLocked(key));
}

double StateStore::real(const QString& key) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return valueLocked(key).toDouble();
}

QString StateStore::text(const QString& key) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return valueLocked(key);
}

QByteArray StateStore::bytes(const QString& key) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QByteArray hex = valueLocked(key).toLatin1();
    for (char c : hex)
        if (!std::isxdigit(uint8_t(c)))
            return QByteArray();
    return QByteArray::fromHex(hex);
}

void StateStore::addOp(Op op)
{
    QString& v = m_values[op.key];
    if (op.kind == Op::Add)
        v = QString::number(saturatingAdd(integerOf(v), op.delta));
    else
        v = op.value;
    if (m_inRequest && std::this_thread::get_id() == m_requestThread)
        m_requestOps.push_back(std::move(op));
    else
        m_ops.push_back(std::move(op));
}

void StateStore::setInteger(const QString& key, int64_t value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QString nv = QString::number(value);
    if (valueLocked(key) != nv)
        addOp(Op{Op::Set, key, 0, nv});
}

void StateStore::setReal(const QString& key, double value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QString nv = QString::number(value, 'g', 9);
    if (valueLocked(key) != nv)
        addOp(Op{Op::Set, key, 0, nv});
}

void StateStore::setBytes(const QString& key, const QByteArray& value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QString nv = QString::fromLatin1(value.toHex());
    if (valueLocked(key) != nv)
        addOp(Op{Op::Set, key, 0, nv});
}

void StateStore::add(const QString& key, int64_t delta)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (delta != 0)
        addOp(Op{Op::Add, key, delta, QString()});
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
