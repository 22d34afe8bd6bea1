#pragma once
// The records database: one connection to a SQLite file or a PostgreSQL
// server, with the schema checked on opening. A record goes in as the run's
// JSON document and comes back in the same shape. A Store belongs to the
// thread that opened it (Qt SQL's rule for connections).
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <memory>
#include <optional>

#include "records/Location.h"

namespace records {

struct HistoryFilter {
    QString test;    // the run's name or a step's section, without regard to case
    QString serial;
    QDateTime since; // invalid: any
    QString verdict; // PASS, FAIL, ERROR, ABORTED; empty: any
    int limit = 0;   // newest first; 0: all
};

// Runs longer than this keep their lines in a file beside a SQLite database.
constexpr qsizetype kLinesInFileAbove = 100000;

class Store {
public:
    // Opens, creating the database and its schema on first use. Null with
    // the reason when the location cannot be opened or holds a newer schema.
    static std::unique_ptr<Store> open(const Location& where, QString* error);
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    enum class Saved { Stored, AlreadyThere, Failed };
    // Stores a run in one transaction; a uuid already there stores nothing.
    // With `queueForServer` the run is also put in the outbox in the same
    // transaction.
    Saved save(const QJsonObject& record, QString* error = nullptr, bool queueForServer = false);

    // The run whole, as it was saved (lines included).
    std::optional<QJsonObject> record(const QString& uuid, QString* error = nullptr);
    bool contains(const QString& uuid);
    // One summary per run (the run's own keys, "section", and counts of
    // steps, measurements, failed measurements and lines), newest first.
    std::optional<QList<QJsonObject>> history(const HistoryFilter& filter, QString* error = nullptr);
    qint64 runCount();

    // The outbox of a station's spool: uuids not yet acknowledged by the
    // server, oldest first, and the mark after the server's commit.
    QStringList pending(int max, QString* error = nullptr);
    bool markSent(const QString& uuid, QString* error = nullptr);

    const Location& location() const { return m_where; }
    QSqlDatabase& database() { return m_db; }

private:
    Store(const Location& where, QSqlDatabase db);
    bool begin(QString* error);
    QString linesFolder() const;

    Location m_where;
    QSqlDatabase m_db;
    QString m_connection;
};

// "2026-12-09T17:02:03.123+00:00" as UTC milliseconds; 0 when unreadable.
qint64 isoToMs(const QString& text);

} // namespace records
