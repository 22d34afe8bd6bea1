#include "DebugOutput.h"

#include <cstdio>
#include <mutex>

namespace pellam::driver {

namespace {
std::mutex g_mutex;
DebugSink g_sink;
} // namespace

void debugOutput(const QString& text)
{
    std::lock_guard lock(g_mutex);
    if (g_sink) {
        g_sink(text);
        return;
    }
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

void setDebugSink(DebugSink sink)
{
    std::lock_guard lock(g_mutex);
    g_sink = std::move(sink);
}

} // namespace pellam::driver
