// The fleet server: a real PostgreSQL 15 started by the fixture. Runs reach
// it once each through an outage, a refused login, two stations at once and
// a station killed with runs still in its spool.
#include <gtest/gtest.h>

#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <csignal>

#include "PgServer.h"
#include "TestRecords.h"
#include "platform/Clock.h"
#include "records/Recorder.h"
#include "records/Schema.h"
#include "records/Store.h"

using namespace records;
using platform::Millis;
using records::fixture::PgServer;

namespace {

qint64 scalar(Store& store, const QString& sql)
{
    QSqlQuery q(store.database());
    return q.exec(sql) && q.next() ? q.value(0).toLongLong() : -1;
}

// Every run on the server once, and exactly these.
void expectOnceEach(PgServer& pg, const QStringList& uuids)
{
    QString why;
    auto server = Store::open(pg.location(), &why);
    ASSERT_TRUE(server) << qPrintable(why);
    EXPECT_EQ(server->runCount(), uuids.size());
    for (const QString& u : uuids)
        EXPECT_TRUE(server->contains(u)) << qPrintable(u);
    // Each measurement row once too: a retried run adds none.
    EXPECT_EQ(scalar(*server, QStringLiteral("SELECT COUNT(*) FROM measurements")), 6 * uuids.size());
}

class PostgresTest : public ::testing::Test {
protected:
    void SetUp() override { DIAG_START_PG(m_pg); }
    Recorder::Options spoolTo(const Location& server)
    {
        Recorder::Options o;
        o.local = sqliteAt(m_dir.filePath(QStringLiteral("Spool.db")));
        o.server = server;
        return o;
    }
    PgServer m_pg;
    QTemporaryDir m_dir;
};

TEST_F(PostgresTest, TheServerKeepsARunWholeOnceAndRefusesANewerSchemaUntouched)
{
    QString why;
    auto server = Store::open(m_pg.location(), &why);
    ASSERT_TRUE(server) << qPrintable(why);
    fixture::RunShape shape;
    shape.cycles = 2;
    shape.extraLines = int(kLinesInFileAbove) + 2; // long runs go inline to a server
    const QJsonObject run = fixture::makeRecord(shape);
    ASSERT_EQ(server->save(run, &why), Store::Saved::Stored) << qPrintable(why);
    EXPECT_EQ(server->save(run), Store::Saved::AlreadyThere);
    const auto back = server->record(run.value(QLatin1String("uuid")).toString(), &why);
    ASSERT_TRUE(back) << qPrintable(why);
    EXPECT_EQ(*back, run);
    HistoryFilter f;
    f.test = QStringLiteral("platen");
    ASSERT_EQ(server->history(f)->size(), 1);

    QSqlQuery q(server->database());
    ASSERT_TRUE(q.exec(QStringLiteral("UPDATE schema_version SET version = %1").arg(kSchemaVersion + 1)));
    server.reset();
    EXPECT_FALSE(Store::open(m_pg.location(), &why));
    EXPECT_TRUE(why.contains(QLatin1String("newer schema"))) << qPrintable(why);
    // Reading it with a program of today's schema changed nothing.
    QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("raw"));
    {
        raw.setHostName(m_pg.socketFolder());
        raw.setPort(m_pg.port());
        raw.setUserName(QStringLiteral("diag"));
        raw.setDatabaseName(QStringLiteral("records"));
        ASSERT_TRUE(raw.open());
        QSqlQuery check(raw);
        ASSERT_TRUE(check.exec(QStringLiteral("SELECT (SELECT MAX(version) FROM schema_version), COUNT(*) FROM runs")) &&
                    check.next());
        EXPECT_EQ(check.value(0).toInt(), kSchemaVersion + 1);
        EXPECT_EQ(check.value(1).toInt(), 1);
        raw.close();
    }
    raw = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("raw"));
}

TEST_F(PostgresTest, AServerStoppedMidRunAndStartedAgainGetsEveryRunOnce)
{
    platform::ManualClock clock;
    platform::ScopedClock scoped(clock);
    QStringList uuids;
    auto submit = [&](Recorder& r, int n) {
        for (int i = 0; i < n; ++i) {
            const QJsonObject run = fixture::makeRecord();
            uuids << run.value(QLatin1String("uuid")).toString();
            r.submit(run);
        }
    };
    // A run the server committed but whose acknowledgement never came back:
    // it is in the spool's outbox and on the server both.
    {
        auto spool = Store::open(spoolTo(m_pg.location()).local, nullptr);
        auto server = Store::open(m_pg.location(), nullptr);
        ASSERT_TRUE(spool && server);
        const QJsonObject run = fixture::makeRecord();
        uuids << run.value(QLatin1String("uuid")).toString();
        ASSERT_EQ(spool->save(run, nullptr, true), Store::Saved::Stored);
        ASSERT_EQ(server->save(run), Store::Saved::Stored);
    }
    int notices = 0;
    Recorder recorder(spoolTo(m_pg.location()), [&](const QString&) { ++notices; });
    submit(recorder, 4);
    ASSERT_TRUE(recorder.waitIdle(Millis(60000)));

    ASSERT_TRUE(m_pg.stopImmediate());
    submit(recorder, 5);
    ASSERT_EQ(platform::waitOne(recorder.noticed(), Millis(60000)).status, platform::WaitStatus::Signalled);
    EXPECT_FALSE(recorder.waitIdle(Millis(0)));

    ASSERT_TRUE(m_pg.startAgain());
    clock.advance(Millis(60000));
    ASSERT_TRUE(recorder.waitIdle(Millis(60000)));
    recorder.close(Millis(60000));
    EXPECT_EQ(notices, 1);
    expectOnceEach(m_pg, uuids);
    auto spool = Store::open(spoolTo(m_pg.location()).local, nullptr);
    ASSERT_TRUE(spool);
    EXPECT_TRUE(spool->pending(100).isEmpty());
    EXPECT_EQ(spool->runCount(), uuids.size()); // the station keeps its own history
}

TEST_F(PostgresTest, ARefusedLoginIsSaidOnceAndTheRunsWaitInTheSpool)
{
    platform::ManualClock clock;
    platform::ScopedClock scoped(clock);
    QStringList uuids, messages;
    {
        Recorder recorder(spoolTo(m_pg.location(QStringLiteral("intruder"))),
                          [&](const QString& m) { messages << m; });
        for (int i = 0; i < 3; ++i) {
            const QJsonObject run = fixture::makeRecord();
            uuids << run.value(QLatin1String("uuid")).toString();
            recorder.submit(run);
        }
        recorder.close(Millis(60000)); // stores what is queued in the spool, then ends
    }
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QLatin1String("intruder"))) << qPrintable(messages[0]);
    {
        auto spool = Store::open(spoolTo(m_pg.location()).local, nullptr);
        ASSERT_TRUE(spool);
        EXPECT_EQ(spool->pending(100), uuids);
    }
    // With the right login the next start sends them.
    Recorder recorder(spoolTo(m_pg.location()), {});
    ASSERT_TRUE(recorder.waitIdle(Millis(60000)));
    recorder.close(Millis(60000));
    expectOnceEach(m_pg, uuids);
}

TEST_F(PostgresTest, TwoStationsWriteToOneServer)
{
    QProcess a, b;
    QTemporaryDir spools;
    for (QProcess* p : {&a, &b}) {
        const QString name = p == &a ? QStringLiteral("A") : QStringLiteral("B");
        p->start(QStringLiteral(RECORDS_WRITER),
                 {QStringLiteral("--db"), spools.filePath(name + QStringLiteral(".db")), QStringLiteral("--server"),
                  m_pg.url(), QStringLiteral("--count"), QStringLiteral("30"), QStringLiteral("--serial"),
                  QStringLiteral("SN-") + name});
    }
    for (QProcess* p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().constData();
        EXPECT_EQ(p->readAllStandardOutput().trimmed(), QByteArray("done"));
    }
    auto server = Store::open(m_pg.location(), nullptr);
    ASSERT_TRUE(server);
    EXPECT_EQ(server->runCount(), 60);
    for (const char* serial : {"SN-A", "SN-B"}) {
        HistoryFilter f;
        f.serial = QString::fromLatin1(serial);
        EXPECT_EQ(server->history(f)->size(), 30) << serial;
    }
}

TEST_F(PostgresTest, AStationKilledWithRunsInItsSpoolSendsThemAtItsNextStart)
{
    const QString spool = m_dir.filePath(QStringLiteral("Spool.db"));
    QProcess writer;
    // A server that does not answer (no socket on this port).
    const QString away = QStringLiteral("postgresql://diag@:%1/records?host=%2").arg(m_pg.port() + 1).arg(m_pg.socketFolder());
    writer.start(QStringLiteral(RECORDS_WRITER), {QStringLiteral("--db"), spool, QStringLiteral("--server"), away,
                                                  QStringLiteral("--count"), QStringLiteral("6"), QStringLiteral("--hold")});
    ASSERT_TRUE(writer.waitForStarted());
    QByteArray out;
    while (!out.contains("spooled") && writer.waitForReadyRead(60000))
        out += writer.readAllStandardOutput();
    ASSERT_TRUE(out.contains("spooled"));
    ::kill(pid_t(writer.processId()), SIGKILL);
    writer.waitForFinished();

    QStringList uuids;
    {
        auto s = Store::open(sqliteAt(spool), nullptr);
        ASSERT_TRUE(s);
        uuids = s->pending(100);
    }
    ASSERT_EQ(uuids.size(), 6);
    platform::ManualClock clock;
    platform::ScopedClock scoped(clock);
    Recorder recorder(spoolTo(m_pg.location()), {});
    ASSERT_TRUE(recorder.waitIdle(Millis(60000)));
    recorder.close(Millis(60000));
    expectOnceEach(m_pg, uuids);
}

} // namespace
