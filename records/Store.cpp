#include "records/Store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

#include "records/Schema.h"

namespace records {

namespace {

std::atomic<int> g_connections{0};

QString text(const QJsonObject& o, const char* key) { return o.value(QLatin1String(key)).toString(); }

QVariant nullable(const QJsonValue& v)
{
    if (v.isNull() || v.isUndefined())
        return QVariant(QMetaType(QMetaType::QString));
    return v.isString() ? QVariant(v.toString()) : QVariant(v.toVariant().toString());
}

QVariant number(const QJsonValue& v, QMetaType::Type type)
{
    if (!v.isDouble())
        return QVariant(QMetaType(type));
    return type == QMetaType::Double ? QVariant(v.toDouble()) : QVariant(qlonglong(v.toDouble()));
}

QString compact(const QJsonValue& v)
{
    if (v.isObject())
        return QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact));
    if (v.isArray())
        return QString::fromUtf8(QJsonDocument(v.toArray()).toJson(QJsonDocument::Compact));
    return QStringLiteral("{}");
}

QByteArray joinLines(const QJsonArray& lines)
{
    QByteArray joined;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i)
            joined.append('\n');
        joined.append(lines.at(i).toString().toUtf8());
    }
    return joined;
}

QJsonArray splitLines(const QByteArray& joined, qint64 count)
{
    QJsonArray out;
    if (count <= 0)
        return out;
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = joined.indexOf('\n', from);
        out.append(QString::fromUtf8(joined.constData() + from, (at < 0 ? joined.size() : at) - from));
        if (at < 0)
            break;
        from = at + 1;
    }
    return out;
}

} // namespace

qint64 isoToMs(const QString& text)
{
    const QDateTime t = QDateTime::fromString(text, Qt::ISODateWithMs);
    return t.isValid() ? t.toMSecsSinceEpoch() : 0;
}

Store::Store(const Location& where, QSqlDatabase db) : m_where(where), m_db(std::move(db)), m_connection(m_db.connectionName())
{}

Store::~Store()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
}

std::unique_ptr<Store> Store::open(const Location& where, QString* error)
{
    auto fail = [&](const QString& why) -> std::unique_ptr<Store> {
        if (error)
            *error = why;
        return nullptr;
    };
    const bool pg = where.isServer();
    const QString driver = pg ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    if (!QSqlDatabase::isDriverAvailable(driver))
        return fail(QStringLiteral("Qt's %1 driver is not installed (Debian: %2)")
                        .arg(driver, pg ? QStringLiteral("libqt6sql6-psql") : QStringLiteral("libqt6sql6-sqlite")));
    if (!pg && where.path.isEmpty())
        return fail(QStringLiteral("no path for the records database"));

    const QString name = QStringLiteral("records-%1").arg(g_connections.fetch_add(1));
    std::unique_ptr<Store> store;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        if (pg) {
            db.setHostName(where.host);
            db.setPort(where.port);
            db.setUserName(where.user);
            db.setPassword(where.password);
            db.setDatabaseName(where.database);
            db.setConnectOptions(QStringLiteral("connect_timeout=5"));
        } else {
            QDir().mkpath(QFileInfo(where.path).absolutePath());
            db.setDatabaseName(where.path);
            // Another program writing the same file waits its turn.
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=15000"));
        }
        store.reset(new Store(where, db));
    }
    QSqlDatabase& db = store->m_db;
    if (!db.open())
        return fail(QStringLiteral("%1: %2").arg(where.describe(), db.lastError().text()));

    QString why;
    // The version is read before anything is written: a newer database is
    // left exactly as it is.
    const int version = storedSchemaVersion(db, &why);
    if (version < 0)
        return fail(QStringLiteral("%1: %2").arg(where.describe(), why));
    if (version > kSchemaVersion)
        return fail(QStringLiteral("%1 holds records of a newer schema (%2; this program knows %3); it is left as it is")
                        .arg(where.describe())
                        .arg(version)
                        .arg(kSchemaVersion));
    if (!pg && version == 0) {
        // WAL is a property of the file: set once, when the file is made.
        QSqlQuery q(db);
        q.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    }
    if (!ensureSchema(db, pg ? Dialect::PostgreSQL : Dialect::SQLite, version, &why))
        return fail(QStringLiteral("%1: %2").arg(where.describe(), why));
    return store;
}

QString Store::linesFolder() const { return m_where.path + QStringLiteral(".lines"); }

bool Store::begin(QString* error)
{
    QSqlQuery q(m_db);
    // IMMEDIATE takes the write lock at once, so two programs on one file
    // queue on the busy timeout instead of failing on a lock upgrade.
    if (q.exec(m_where.isServer() ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE")))
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

Store::Saved Store::save(const QJsonObject& record, QString* error, bool queueForServer)
{
    QString why;
    auto fail = [&](const QString& reason) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(m_where.describe(), reason);
        return Saved::Failed;
    };
    const QString uuid = text(record, "uuid");
    if (uuid.isEmpty())
        return fail(QStringLiteral("a record without a uuid is not stored"));

    // The lines go to their own table (compressed); the document keeps the rest.
    QJsonObject document = record;
    QJsonArray steps = record.value(QLatin1String("steps")).toArray();
    struct StepLines {
        int index;
        qint64 count;
        QByteArray packed;
        QString file;
    };
    std::vector<StepLines> lines;
    int measurementCount = 0, failedCount = 0;
    qint64 lineCount = 0;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        QJsonObject step = steps.at(i).toObject();
        const QJsonArray stepLines = step.value(QLatin1String("lines")).toArray();
        const int index = step.value(QLatin1String("index")).toInt(int(i));
        // Compressing a very long run would cost more than the run took; its
        // file stays plain text, which a person can read as it is.
        QByteArray joined = joinLines(stepLines);
        if (m_where.isServer() || stepLines.size() <= kLinesInFileAbove)
            joined = qCompress(joined, 1);
        lines.push_back({index, stepLines.size(), std::move(joined), {}});
        lineCount += stepLines.size();
        step.remove(QLatin1String("lines"));
        for (const QJsonValue& m : step.value(QLatin1String("measurements")).toArray()) {
            ++measurementCount;
            if (m.toObject().value(QLatin1String("verdict")).toString() == QLatin1String("FAIL"))
                ++failedCount;
        }
        steps[i] = step;
    }
    document[QLatin1String("steps")] = steps;

    std::vector<QString> written;
    auto removeWritten = [&] {
        for (const QString& f : written)
            QFile::remove(f);
    };
    if (!m_where.isServer()) {
        for (StepLines& l : lines) {
            if (l.count <= kLinesInFileAbove)
                continue;
            // A very long run keeps its lines beside the database, written
            // before the transaction so the row never names a missing file.
            const QString file = QStringLiteral("%1.step%2.txt").arg(uuid).arg(l.index);
            QDir().mkpath(linesFolder());
            QSaveFile out(linesFolder() + QLatin1Char('/') + file);
            if (!out.open(QIODevice::WriteOnly) || out.write(l.packed) != l.packed.size() || !out.commit()) {
                removeWritten();
                return fail(QStringLiteral("cannot write %1: %2").arg(out.fileName(), out.errorString()));
            }
            written.push_back(out.fileName());
            l.file = file;
            l.packed.clear();
        }
    }

    if (!begin(&why)) {
        removeWritten();
        return fail(why);
    }
    auto rollback = [&](const QSqlQuery& q) {
        const QString reason = q.lastError().text();
        QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
        return fail(reason);
    };

    const QJsonObject first = steps.isEmpty() ? QJsonObject() : steps.at(0).toObject();
    const QString name = text(record, "name");
    const QString section = text(first, "section");
    QSqlQuery run(m_db);
    run.prepare(QStringLiteral(
        "INSERT INTO runs (uuid, program, kind, name, section, name_key, section_key, serial, station,"
        " operator_name, version, start_text, end_text, start_ms, end_ms, verdict, reason, settings, step_count,"
        " measurement_count, failed_count, line_count, document)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT (uuid) DO NOTHING"));
    for (const QVariant& v :
         {QVariant(uuid), QVariant(text(record, "program")), QVariant(text(record, "kind")), QVariant(name),
          QVariant(section), QVariant(name.toLower()), QVariant(section.toLower()), QVariant(text(record, "serial")),
          QVariant(text(record, "station")), QVariant(text(record, "operator")), QVariant(text(record, "version")),
          QVariant(text(record, "start")), QVariant(text(record, "end")), QVariant(isoToMs(text(record, "start"))),
          QVariant(isoToMs(text(record, "end"))), QVariant(text(record, "verdict")),
          nullable(record.value(QLatin1String("reason"))), QVariant(compact(first.value(QLatin1String("settings")))),
          QVariant(int(steps.size())), QVariant(measurementCount), QVariant(failedCount), QVariant(lineCount),
          QVariant(QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Compact)))})
        run.addBindValue(v);
    if (!run.exec())
        return rollback(run);
    if (run.numRowsAffected() == 0) {
        // Already stored: a retry after a lost acknowledgement.
        QSqlQuery(m_db).exec(QStringLiteral("ROLLBACK"));
        removeWritten();
        return Saved::AlreadyThere;
    }

    QSqlQuery step(m_db), measurement(m_db), serie(m_db), line(m_db);
    step.prepare(QStringLiteral("INSERT INTO steps (run_uuid, step_index, test, section, settings, cycles_requested,"
                                " cycles_done, start_text, end_text, verdict, reason)"
                                " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    measurement.prepare(QStringLiteral("INSERT INTO measurements (run_uuid, step_index, seq, cycle, name, value, ok,"
                                       " unit, limit_text, verdict) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    serie.prepare(QStringLiteral("INSERT INTO series (run_uuid, step_index, seq, cycle, name, unit, sample_count,"
                                 " min_value, max_value, mean_value, limit_text, verdict, csv)"
                                 " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    line.prepare(QStringLiteral(
        "INSERT INTO lines (run_uuid, step_index, line_count, compressed, file) VALUES (?, ?, ?, ?, ?)"));

    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QJsonObject s = steps.at(i).toObject();
        const int index = lines[size_t(i)].index;
        const QJsonObject cycles = s.value(QLatin1String("cycles")).toObject();
        int k = 0;
        for (const QVariant& v :
             {QVariant(uuid), QVariant(index), QVariant(text(s, "test")), QVariant(text(s, "section")),
              QVariant(compact(s.value(QLatin1String("settings")))),
              number(cycles.value(QLatin1String("requested")), QMetaType::LongLong),
              number(cycles.value(QLatin1String("done")), QMetaType::LongLong), QVariant(text(s, "start")),
              QVariant(text(s, "end")), QVariant(text(s, "verdict")), nullable(s.value(QLatin1String("reason")))})
            step.bindValue(k++, v);
        if (!step.exec())
            return rollback(step);

        int seq = 0;
        for (const QJsonValue& mv : s.value(QLatin1String("measurements")).toArray()) {
            const QJsonObject m = mv.toObject();
            const QJsonValue ok = m.value(QLatin1String("ok"));
            k = 0;
            for (const QVariant& v :
                 {QVariant(uuid), QVariant(index), QVariant(seq++), number(m.value(QLatin1String("cycle")), QMetaType::LongLong),
                  QVariant(text(m, "name")), number(m.value(QLatin1String("value")), QMetaType::Double),
                  ok.isBool() ? QVariant(ok.toBool() ? 1 : 0) : QVariant(QMetaType(QMetaType::Int)),
                  QVariant(text(m, "unit")), nullable(m.value(QLatin1String("limit"))),
                  nullable(m.value(QLatin1String("verdict")))})
                measurement.bindValue(k++, v);
            if (!measurement.exec())
                return rollback(measurement);
        }
        seq = 0;
        for (const QJsonValue& sv : s.value(QLatin1String("series")).toArray()) {
            const QJsonObject a = sv.toObject();
            k = 0;
            for (const QVariant& v :
                 {QVariant(uuid), QVariant(index), QVariant(seq++), number(a.value(QLatin1String("cycle")), QMetaType::LongLong),
                  QVariant(text(a, "name")), QVariant(text(a, "unit")),
                  number(a.value(QLatin1String("count")), QMetaType::LongLong),
                  number(a.value(QLatin1String("min")), QMetaType::Double),
                  number(a.value(QLatin1String("max")), QMetaType::Double),
                  number(a.value(QLatin1String("mean")), QMetaType::Double), nullable(a.value(QLatin1String("limit"))),
                  nullable(a.value(QLatin1String("verdict"))), nullable(a.value(QLatin1String("csv")))})
                serie.bindValue(k++, v);
            if (!serie.exec())
                return rollback(serie);
        }
        const StepLines& l = lines[size_t(i)];
        line.bindValue(0, uuid);
        line.bindValue(1, index);
        line.bindValue(2, l.count);
        line.bindValue(3, l.file.isEmpty() ? QVariant(l.packed) : QVariant(QMetaType(QMetaType::QByteArray)));
        line.bindValue(4, l.file.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(l.file));
        if (!line.exec())
            return rollback(line);
    }
    if (queueForServer) {
        QSqlQuery q(m_db);
        q.prepare(QStringLiteral("INSERT INTO outbox (uuid) VALUES (?)"));
        q.addBindValue(uuid);
        if (!q.exec())
            return rollback(q);
    }
    QSqlQuery commit(m_db);
    if (!commit.exec(QStringLiteral("COMMIT"))) {
        const Saved r = rollback(commit);
        removeWritten();
        return r;
    }
    return Saved::Stored;
}

bool Store::contains(const QString& uuid)
{
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT 1 FROM runs WHERE uuid = ?"));
    q.addBindValue(uuid);
    return q.exec() && q.next();
}

qint64 Store::runCount()
{
    QSqlQuery q(m_db);
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM runs")) && q.next() ? q.value(0).toLongLong() : -1;
}

std::optional<QJsonObject> Store::record(const QString& uuid, QString* error)
{
    auto fail = [&](const QString& why) -> std::optional<QJsonObject> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT document FROM runs WHERE uuid = ?"));
    q.addBindValue(uuid);
    if (!q.exec())
        return fail(q.lastError().text());
    if (!q.next())
        return fail(QStringLiteral("no run %1 in %2").arg(uuid, m_where.describe()));
    QJsonParseError parse{};
    QJsonObject record = QJsonDocument::fromJson(q.value(0).toString().toUtf8(), &parse).object();
    if (parse.error != QJsonParseError::NoError)
        return fail(QStringLiteral("run %1: %2").arg(uuid, parse.errorString()));

    QJsonArray steps = record.value(QLatin1String("steps")).toArray();
    QSqlQuery l(m_db);
    l.prepare(QStringLiteral("SELECT step_index, line_count, compressed, file FROM lines WHERE run_uuid = ?"));
    l.addBindValue(uuid);
    if (!l.exec())
        return fail(l.lastError().text());
    while (l.next()) {
        const int index = l.value(0).toInt();
        const QString file = l.value(3).toString();
        QByteArray joined;
        if (!file.isEmpty()) {
            QFile in(linesFolder() + QLatin1Char('/') + file);
            if (!in.open(QIODevice::ReadOnly))
                return fail(QStringLiteral("run %1: lines file %2: %3").arg(uuid, in.fileName(), in.errorString()));
            joined = in.readAll();
        } else {
            joined = qUncompress(l.value(2).toByteArray());
        }
        for (qsizetype i = 0; i < steps.size(); ++i) {
            QJsonObject s = steps.at(i).toObject();
            if (s.value(QLatin1String("index")).toInt(int(i)) != index)
                continue;
            s[QLatin1String("lines")] = splitLines(joined, l.value(1).toLongLong());
            steps[i] = s;
        }
    }
    record[QLatin1String("steps")] = steps;
    return record;
}

std::optional<QList<QJsonObject>> Store::history(const HistoryFilter& filter, QString* error)
{
    QString sql = QStringLiteral("SELECT uuid, program, kind, name, section, serial, station, operator_name, version,"
                                 " start_text, end_text, verdict, reason, step_count, measurement_count, failed_count,"
                                 " line_count FROM runs");
    QStringList where;
    QVariantList binds;
    if (!filter.test.isEmpty()) {
        where << QStringLiteral("(name_key = ? OR section_key = ?)");
        binds << filter.test.toLower() << filter.test.toLower();
    }
    if (!filter.serial.isEmpty()) {
        where << QStringLiteral("serial = ?");
        binds << filter.serial;
    }
    if (filter.since.isValid()) {
        where << QStringLiteral("start_ms >= ?");
        binds << filter.since.toMSecsSinceEpoch();
    }
    if (!filter.verdict.isEmpty()) {
        where << QStringLiteral("verdict = ?");
        binds << filter.verdict.toUpper();
    }
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY start_ms DESC, uuid");
    if (filter.limit > 0)
        sql += QStringLiteral(" LIMIT %1").arg(filter.limit);

    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant& b : binds)
        q.addBindValue(b);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return std::nullopt;
    }
    static const char* const keys[] = {"uuid",    "program", "kind",  "name",    "section", "serial",
                                       "station", "operator", "version", "start", "end",   "verdict"};
    QList<QJsonObject> out;
    while (q.next()) {
        QJsonObject o;
        int c = 0;
        for (const char* key : keys)
            o[QLatin1String(key)] = q.value(c++).toString();
        if (!q.isNull(12))
            o[QStringLiteral("reason")] = q.value(12).toString();
        o[QStringLiteral("stepCount")] = q.value(13).toInt();
        o[QStringLiteral("measurementCount")] = q.value(14).toInt();
        o[QStringLiteral("failedCount")] = q.value(15).toInt();
        o[QStringLiteral("lineCount")] = q.value(16).toLongLong();
        out.push_back(o);
    }
    return out;
}

QStringList Store::pending(int max, QString* error)
{
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("SELECT uuid FROM outbox WHERE sent = 0 ORDER BY seq LIMIT ?"));
    q.addBindValue(max);
    QStringList out;
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return out;
    }
    while (q.next())
        out << q.value(0).toString();
    return out;
}

bool Store::markSent(const QString& uuid, QString* error)
{
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("UPDATE outbox SET sent = 1 WHERE uuid = ?"));
    q.addBindValue(uuid);
    if (q.exec())
        return true;
    if (error)
        *error = q.lastError().text();
    return false;
}

} // namespace records
