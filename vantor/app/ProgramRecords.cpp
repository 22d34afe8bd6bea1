#include "vantor/app/ProgramRecords.h"

#include <QApplication>
#include <QMetaObject>
#include <QPointer>
#include <cstdio>
#include <memory>
#include <mutex>

#include "records/Recorder.h"
#include "ui/Prompts.h"

namespace vantor {

namespace {

std::mutex g_lock;
std::unique_ptr<records::Recorder> g_recorder;

void notice(const QString& message)
{
    // Called on the writer thread: a window shows it from its own thread.
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [message] { ui::messageBox(message, QStringLiteral("Vantor"), ui::MsgIcon::Warning); },
            Qt::QueuedConnection);
        return;
    }
    std::fprintf(stderr, "%s\n", qPrintable(message));
    std::fflush(stderr);
}

records::Recorder& recorder()
{
    std::lock_guard lock(g_lock);
    if (!g_recorder)
        g_recorder = std::make_unique<records::Recorder>(records::defaultOptions(notice), notice);
    return *g_recorder;
}

} // namespace

std::function<void(const QJsonObject&)> recordListener()
{
    return [](const QJsonObject& record) { recorder().submit(record); };
}

void closeProgramRecords()
{
    std::unique_ptr<records::Recorder> r;
    {
        std::lock_guard lock(g_lock);
        r = std::move(g_recorder);
    }
    if (r)
        r->close(platform::Millis(10000));
}

} // namespace vantor
