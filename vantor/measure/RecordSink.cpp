#include "vantor/measure/RecordSink.h"

#include <memory>
#include <mutex>

namespace vantor::measure {

namespace {
std::mutex g_lock;
std::shared_ptr<const RecordListener> g_listener;
} // namespace

void setRecordListener(RecordListener listener)
{
    std::shared_ptr<const RecordListener> l =
        listener ? std::make_shared<const RecordListener>(std::move(listener)) : nullptr;
    std::lock_guard lock(g_lock);
    g_listener = std::move(l);
}

void publishRecord(const QJsonObject& record)
{
    std::shared_ptr<const RecordListener> l;
    {
        std::lock_guard lock(g_lock);
        l = g_listener;
    }
    // Called outside the lock: a listener may publish or replace itself.
    if (l)
        (*l)(record);
}

} // namespace vantor::measure
