#include "Trace.h"

#include <atomic>
#include <cstdlib>
#include <map>
#include <mutex>
#include <QFile>
#include <QStringList>

#include "Clock.h"

namespace platform::trace {

namespace {
struct State {
    std::mutex mutex;
    std::unique_ptr<QFile> file;
    std::map<uint32_t, QString> names;
};
State& state()
{
    static State s;
    return s;
}
std::atomic<bool> g_enabled{false};

// Records attached by the driver during the request in progress on this thread.
thread_local QStringList t_attached;
} // namespace

bool enabled() { return g_enabled.load(std::memory_order_relaxed); }

void setFile(const QString& path)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.file.reset();
    g_enabled = false;
    if (path.isEmpty())
        return;
    auto f = std::make_unique<QFile>(path);
    if (!f->open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    s.file = std::move(f);
    g_enabled = true;
}

void initFromEnvironment()
{
    const char* path = std::getenv("DIAG_TRACE");
    if (path && *path)
        setFile(QString::fromLocal8Bit(path));
}

void nameRequest(uint32_t code, const char* name)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.names[code] = QString::fromLatin1(name);
}

QString requestName(uint32_t code)
{
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = s.names.find(code);
    if (it != s.names.end())
        return it->second;
    return QStringLiteral("0x%1").arg(code, 8, 16, QLatin1Char('0'));
}

QString hex(const void* bytes, size_t length)
{
    if (!bytes || !length)
        return QString();
    return QString::fromLatin1(QByteArray(static_cast<const char*>(bytes), qsizetype(length)).toHex(' '));
}

void attach(const char* label, uint32_t address, const void* bytes, size_t length)
{
    if (!enabled())
        return;
    t_attached << QStringLiteral("  %1 @%2 [%3] %4")
                      .arg(QString::fromLatin1(label))
                      .arg(address, 8, 16, QLatin1Char('0'))
                      .arg(length)
                      .arg(hex(bytes, length));
}

void beginRequest() { t_attached.clear(); }

void endRequest(const QString& device, const char* kind, uint32_t code, const void* in, uint32_t inLen,
                const void* out, uint32_t outLen, bool ok, const uint32_t* bytesReturned)
{
    const QString name = QString::fromLatin1(kind) == QLatin1String("write") ? QStringLiteral("WRITE")
                                                                              : requestName(code);
    QString text = QStringLiteral("%1 %2 %3 in[%4] %5 out[%6] %7 -> %8")
                       .arg(clock().now().count())
                       .arg(device, name)
                       .arg(inLen)
                       .arg(hex(in, inLen))
                       .arg(outLen)
                       .arg(ok ? hex(out, outLen) : QString())
                       .arg(ok ? QStringLiteral("OK") : QStringLiteral("FAIL"));
    if (bytesReturned)
        text += QStringLiteral(" returned=%1").arg(*bytesReturned);
    text += QLatin1Char('\n');
    for (const QString& a : t_attached)
        text += a + QLatin1Char('\n');
    t_attached.clear();

    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.file) {
        s.file->write(text.toUtf8());
        s.file->flush();
    }
}

} // namespace platform::trace
