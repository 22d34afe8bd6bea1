#include "records/ProgramRecorder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSysInfo>
#include <memory>
#include <mutex>

namespace records {

namespace {

std::mutex g_lock;
std::unique_ptr<Recorder> g_recorder;

} // namespace

void startProgramRecorder(Recorder::Notice notice)
{
    Recorder::Options options = defaultOptions(notice);
    startProgramRecorder(std::move(options), std::move(notice));
}

void startProgramRecorder(Recorder::Options options, Recorder::Notice notice)
{
    std::lock_guard lock(g_lock);
    if (!g_recorder)
        g_recorder = std::make_unique<Recorder>(std::move(options), std::move(notice));
}

void submitProgramRecord(const QJsonObject& record)
{
    std::lock_guard lock(g_lock);
    if (g_recorder)
        g_recorder->submit(record);
}

void closeProgramRecorder(platform::Millis timeout)
{
    std::unique_ptr<Recorder> r;
    {
        std::lock_guard lock(g_lock);
        r = std::move(g_recorder);
    }
    if (r)
        r->close(timeout);
}

QString stationName() { return QSysInfo::machineHostName(); }

QString operatorName()
{
    QString login = qEnvironmentVariable("USER");
    return login.isEmpty() ? qEnvironmentVariable("LOGNAME") : login;
}

QString programVersion()
{
    const QString v = QCoreApplication::applicationVersion();
    return v.isEmpty() ? QStringLiteral("1.0") : v;
}

QString recordTime(const QDateTime& t) { return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs); }

} // namespace records
