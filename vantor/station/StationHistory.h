#pragma once
// Where the station's "History" comes from: the records store, behind the
// few questions the window asks of it.
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>

namespace vantor::station {

class StationHistory {
public:
    virtual ~StationHistory() = default;
    // The newest `limit` runs, newest first, of `serial` when it is given,
    // else of `station`. Each is at least the record's own keys without
    // steps (uuid, name, serial, station, start, verdict). Empty with
    // `error` set when the store cannot answer.
    virtual QList<QJsonObject> runs(const QString& serial, const QString& station, int limit, QString* error) = 0;
    // The run whole (steps, measurements, lines).
    virtual std::optional<QJsonObject> record(const QString& uuid) = 0;
};

} // namespace vantor::station
