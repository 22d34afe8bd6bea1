#pragma once
// The program's records: one writer thread for the process, started on
// first use and ended at exit. A failing store is said once on standard
// error (headless) or in a message box (with a window), and runs go on.
#include <QJsonObject>
#include <functional>

namespace vantor {

// What main() hands the measurements' record hand-over: queues the record
// for the writer thread and returns at once.
std::function<void(const QJsonObject&)> recordListener();

// Lets what is queued reach the store before the process ends.
void closeProgramRecords();

} // namespace vantor
