#pragma once
// The process's one recorder, for a program's main() and its screens. Only
// a program's main() starts it (from defaultOptions(): DIAG_RECORDS or the
// station's \Store\Records.db); until then records are dropped, so tests
// and tools that build screens keep nothing.
#include <QJsonObject>

#include "records/Recorder.h"

namespace records {

// Records are kept from now on. The notice is how the program says that its
// store fails (a message box, a line on standard error); it is called on
// the writer thread. A second start changes nothing.
void startProgramRecorder(Recorder::Notice notice);
void startProgramRecorder(Recorder::Options options, Recorder::Notice notice);
// Queues a record and returns at once; dropped when no recorder was started.
void submitProgramRecord(const QJsonObject& record);
// Lets what is queued reach the store, then ends the writer.
void closeProgramRecorder(platform::Millis timeout = platform::Millis(10000));

// Who, where and what for a record a program makes itself: the host name,
// the login, the program's version.
QString stationName();
QString operatorName();
QString programVersion();
// Now as a record writes times: ISO 8601 with milliseconds and the offset.
QString recordTime(const QDateTime& t);

} // namespace records
