#include "records/Schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace records {

QStringList schemaStatements(Dialect dialect)
{
    const bool pg = dialect == Dialect::PostgreSQL;
    const QString blob = pg ? QStringLiteral("BYTEA") : QStringLiteral("BLOB");
    // Times are kept twice: as the record wrote them (with their zone) and
    // as UTC milliseconds, which sort and compare.
    QStringList s = {
        QStringLiteral("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS runs ("
                       "uuid TEXT PRIMARY KEY, program TEXT NOT NULL, kind TEXT NOT NULL, name TEXT NOT NULL,"
                       " section TEXT NOT NULL, name_key TEXT NOT NULL, section_key TEXT NOT NULL, serial TEXT NOT NULL, station TEXT NOT NULL,"
                       " operator_name TEXT NOT NULL, version TEXT NOT NULL,"
                       " start_text TEXT NOT NULL, end_text TEXT NOT NULL, start_ms BIGINT NOT NULL,"
                       " end_ms BIGINT NOT NULL, verdict TEXT NOT NULL, reason TEXT, settings TEXT NOT NULL,"
                       " step_count INTEGER NOT NULL, measurement_count INTEGER NOT NULL,"
                       " failed_count INTEGER NOT NULL, line_count BIGINT NOT NULL, document TEXT NOT NULL)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS runs_start ON runs (start_ms)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS runs_serial ON runs (serial, start_ms)"),
        // A test is asked for by its name or section in any case: the keys
        // are kept lower-case so that the indexes serve both engines alike.
        QStringLiteral("CREATE INDEX IF NOT EXISTS runs_name ON runs (name_key, start_ms)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS runs_section ON runs (section_key, start_ms)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS runs_verdict ON runs (verdict, start_ms)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS steps ("
                       "run_uuid TEXT NOT NULL REFERENCES runs (uuid) ON DELETE CASCADE,"
                       " step_index INTEGER NOT NULL, test TEXT NOT NULL, section TEXT NOT NULL,"
                       " settings TEXT NOT NULL, cycles_requested INTEGER, cycles_done INTEGER,"
                       " start_text TEXT, end_text TEXT, verdict TEXT NOT NULL, reason TEXT,"
                       " PRIMARY KEY (run_uuid, step_index))"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS measurements ("
                       "run_uuid TEXT NOT NULL REFERENCES runs (uuid) ON DELETE CASCADE,"
                       " step_index INTEGER NOT NULL, seq INTEGER NOT NULL, cycle INTEGER, name TEXT NOT NULL,"
                       " value DOUBLE PRECISION, ok INTEGER, unit TEXT, limit_text TEXT, verdict TEXT,"
                       " PRIMARY KEY (run_uuid, step_index, seq))"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS measurements_name ON measurements (name)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS series ("
                       "run_uuid TEXT NOT NULL REFERENCES runs (uuid) ON DELETE CASCADE,"
                       " step_index INTEGER NOT NULL, seq INTEGER NOT NULL, cycle INTEGER, name TEXT NOT NULL,"
                       " unit TEXT, sample_count BIGINT, min_value DOUBLE PRECISION, max_value DOUBLE PRECISION,"
                       " mean_value DOUBLE PRECISION, limit_text TEXT, verdict TEXT, csv TEXT,"
                       " PRIMARY KEY (run_uuid, step_index, seq))"),
        // A step's lines joined by line feeds and compressed (zlib, as Qt's
        // qCompress: a 4-byte big-endian length first), or for a very long
        // run a plain text file beside the station's database.
        QStringLiteral("CREATE TABLE IF NOT EXISTS lines ("
                       "run_uuid TEXT NOT NULL REFERENCES runs (uuid) ON DELETE CASCADE,"
                       " step_index INTEGER NOT NULL, line_count BIGINT NOT NULL, compressed %1, file TEXT,"
                       " PRIMARY KEY (run_uuid, step_index))")
            .arg(blob),
        // What a station has not yet handed to its fleet server, in order.
        pg ? QStringLiteral("CREATE TABLE IF NOT EXISTS outbox (seq BIGSERIAL PRIMARY KEY,"
                            " uuid TEXT NOT NULL UNIQUE, sent INTEGER NOT NULL DEFAULT 0)")
           : QStringLiteral("CREATE TABLE IF NOT EXISTS outbox (seq INTEGER PRIMARY KEY AUTOINCREMENT,"
                            " uuid TEXT NOT NULL UNIQUE, sent INTEGER NOT NULL DEFAULT 0)"),
        QStringLiteral("CREATE INDEX IF NOT EXISTS outbox_pending ON outbox (sent, seq)"),
    };
    return s;
}

int storedSchemaVersion(QSqlDatabase& db, QString* error)
{
    // One round trip when the schema is there, which is every start but the first.
    {
        QSqlQuery q(db);
        if (q.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")))
            return q.next() ? q.value(0).toInt() : 0;
        if (error)
            *error = q.lastError().text();
    }
    if (db.driverName() == QLatin1String("QPSQL"))
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK")); // a failed statement spoils an open transaction
    return db.tables().contains(QStringLiteral("schema_version")) ? -1 : 0;
}

bool ensureSchema(QSqlDatabase& db, Dialect dialect, int before, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (before < 0)
        return false;
    if (before > kSchemaVersion)
        return fail(QStringLiteral("%1 holds records of a newer schema (%2; this program knows %3); "
                                   "it is left as it is")
                        .arg(db.databaseName())
                        .arg(before)
                        .arg(kSchemaVersion));
    if (before == kSchemaVersion)
        return true;

    // Stations that start together must not create the tables twice.
    QSqlQuery q(db);
    const bool pg = dialect == Dialect::PostgreSQL;
    if (!q.exec(pg ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
        return fail(q.lastError().text());
    auto rollback = [&](const QString& why) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return fail(why);
    };
    if (pg && !q.exec(QStringLiteral("SELECT pg_advisory_xact_lock(31415926)")))
        return rollback(q.lastError().text());
    // Someone may have got here first. Asked without a failing statement,
    // which would end the transaction on PostgreSQL.
    int now = 0;
    if (db.tables().contains(QStringLiteral("schema_version"))) {
        if (!q.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")))
            return rollback(q.lastError().text());
        now = q.next() ? q.value(0).toInt() : 0;
    }
    if (now > kSchemaVersion)
        return rollback(QStringLiteral("%1 holds records of a newer schema (%2)").arg(db.databaseName()).arg(now));
    if (now < kSchemaVersion) {
        for (const QString& statement : schemaStatements(dialect))
            if (!q.exec(statement))
                return rollback(q.lastError().text());
        // Migrations from older versions go here, one step per version.
        if (!q.exec(QStringLiteral("DELETE FROM schema_version")) ||
            !q.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (%1)").arg(kSchemaVersion)))
            return rollback(q.lastError().text());
    }
    if (!q.exec(QStringLiteral("COMMIT")))
        return rollback(q.lastError().text());
    return true;
}

} // namespace records
