#include "vantor/station/RecordsHistory.h"

#include "records/Store.h"

namespace vantor::station {

namespace {
// A station's runs are found among this many of the newest.
constexpr int kStationScan = 500;
} // namespace

RecordsHistory::RecordsHistory() = default;
RecordsHistory::RecordsHistory(records::Location where) : m_where(std::move(where)) {}
RecordsHistory::~RecordsHistory() = default;

records::Store* RecordsHistory::store(QString* error)
{
    if (m_store)
        return m_store.get();
    QString why;
    if (m_where) {
        m_store = records::Store::open(*m_where, &why);
    } else {
        // The fleet's server first; this station's own records when it is away.
        const QString url = records::configuredServerUrl();
        records::Location server;
        if (!url.isEmpty() && records::parseServerUrl(url, server, &why))
            m_store = records::Store::open(server, &why);
        if (!m_store)
            m_store = records::Store::open(records::sqliteAt(records::defaultDatabasePath()), &why);
    }
    if (!m_store && error)
        *error = why;
    return m_store.get();
}

QList<QJsonObject> RecordsHistory::runs(const QString& serial, const QString& station, int limit, QString* error)
{
    records::Store* s = store(error);
    if (!s)
        return {};
    records::HistoryFilter filter;
    filter.serial = serial;
    filter.limit = serial.isEmpty() ? kStationScan : limit;
    QString why;
    std::optional<QList<QJsonObject>> found = s->history(filter, &why);
    if (!found) {
        if (error)
            *error = why;
        return {};
    }
    QList<QJsonObject> out;
    for (const QJsonObject& r : *found) {
        if (!serial.isEmpty() || r.value(QStringLiteral("station")).toString() == station)
            out << r;
        if (out.size() >= limit)
            break;
    }
    return out;
}

std::optional<QJsonObject> RecordsHistory::record(const QString& uuid)
{
    records::Store* s = store(nullptr);
    return s ? s->record(uuid) : std::nullopt;
}

} // namespace vantor::station
