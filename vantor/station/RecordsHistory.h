#pragma once
// The station's "History" from the records store: the fleet's server when
// one is configured and answers, else this station's own database.
#include <memory>

#include "records/Location.h"
#include "vantor/station/StationHistory.h"

namespace records {
class Store;
}

namespace vantor::station {

class RecordsHistory final : public StationHistory {
public:
    RecordsHistory();
    explicit RecordsHistory(records::Location where);
    ~RecordsHistory() override;

    QList<QJsonObject> runs(const QString& serial, const QString& station, int limit, QString* error) override;
    std::optional<QJsonObject> record(const QString& uuid) override;

private:
    // Opened on first use, on the thread that asks (the window's).
    records::Store* store(QString* error);

    std::optional<records::Location> m_where;
    std::unique_ptr<records::Store> m_store;
};

} // namespace vantor::station
