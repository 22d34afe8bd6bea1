#pragma once
// Where finished run records go: main() installs a listener (the records
// store's writer); until then, or with an empty listener, records are not
// kept.
#include <QJsonObject>
#include <functional>

namespace vantor::measure {

using RecordListener = std::function<void(const QJsonObject& record)>;
void setRecordListener(RecordListener);   // set once by main(); empty = records are not kept
void publishRecord(const QJsonObject& record); // thread-safe; the listener must not block long

} // namespace vantor::measure
