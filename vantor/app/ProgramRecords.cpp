#include "vantor/app/ProgramRecords.h"

#include <QApplication>
#include <QMetaObject>
#include <cstdio>

#include "records/ProgramRecorder.h"
#include "ui/Prompts.h"

namespace vantor {

namespace {

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

} // namespace

std::function<void(const QJsonObject&)> recordListener()
{
    records::startProgramRecorder(notice);
    return [](const QJsonObject& record) { records::submitProgramRecord(record); };
}

void closeProgramRecords() { records::closeProgramRecorder(); }

} // namespace vantor
