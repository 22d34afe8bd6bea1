// Faults that take a process of their own (records_writer): killed with
// SIGKILL in the middle of a write, out of file size, without permission to
// write, and two programs on one SQLite file at once.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <csignal>
#include <sys/stat.h>

#include "TestRecords.h"
#include "records/Store.h"

using namespace records;

namespace {

QStringList noticesIn(const QByteArray& err)
{
    QStringList out;
    for (const QByteArray& line : err.split('\n'))
        if (line.startsWith("notice: "))
            out << QString::fromUtf8(line.mid(8));
    return out;
}

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

// Opens the file as the next start would, and checks it whole: SQLite's
// own check, and every run's lines and measurements present.
void expectIntact(const QString& db, qint64 atLeast)
{
    QString why;
    auto store = Store::open(sqliteAt(db), &why);
    ASSERT_TRUE(store) << qPrintable(why);
    QSqlQuery q(store->database());
    ASSERT_TRUE(q.exec(QStringLiteral("PRAGMA integrity_check")) && q.next());
    EXPECT_EQ(q.value(0).toString(), QStringLiteral("ok"));
    EXPECT_GE(store->runCount(), atLeast);
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM runs r WHERE r.measurement_count <> "
                                      "(SELECT COUNT(*) FROM measurements m WHERE m.run_uuid = r.uuid) OR NOT EXISTS "
                                      "(SELECT 1 FROM lines l WHERE l.run_uuid = r.uuid AND l.line_count = r.line_count)")) &&
                q.next());
    EXPECT_EQ(q.value(0).toInt(), 0) << "a run was stored in part";
}

void seed(const QString& db, int runs)
{
    auto store = Store::open(sqliteAt(db), nullptr);
    ASSERT_TRUE(store);
    for (int i = 0; i < runs; ++i)
        ASSERT_EQ(store->save(fixture::makeRecord()), Store::Saved::Stored);
}

TEST(ProcessFaultsTest, KilledDuringAWriteTheNextStartOpensAWholeDatabase)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("Records.db"));
    QProcess writer;
    writer.start(QStringLiteral(RECORDS_WRITER),
                 {QStringLiteral("--db"), db, QStringLiteral("--direct"), QStringLiteral("--count"), QStringLiteral("0"),
                  QStringLiteral("--lines"), QStringLiteral("40000")});
    ASSERT_TRUE(writer.waitForStarted());
    // Two runs in, the third is being written: long runs keep it busy there.
    int saved = 0;
    while (saved < 2 && writer.waitForReadyRead(60000))
        while (writer.canReadLine())
            saved += writer.readLine().startsWith("saved ") ? 1 : 0;
    ASSERT_GE(saved, 2);
    ::kill(pid_t(writer.processId()), SIGKILL);
    writer.waitForFinished();
    EXPECT_EQ(writer.exitStatus(), QProcess::CrashExit);
    expectIntact(db, saved);
}

TEST(ProcessFaultsTest, TwoProgramsWritingOneFileLoseNothing)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("Records.db"));
    QProcess a, b;
    for (QProcess* p : {&a, &b})
        p->start(QStringLiteral(RECORDS_WRITER), {QStringLiteral("--db"), db, QStringLiteral("--count"),
                                                  QStringLiteral("40"), QStringLiteral("--serial"),
                                                  p == &a ? QStringLiteral("SN-A") : QStringLiteral("SN-B")});
    for (QProcess* p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0);
        EXPECT_EQ(p->readAllStandardOutput().trimmed(), QByteArray("done"));
        EXPECT_TRUE(noticesIn(p->readAllStandardError()).isEmpty());
    }
    expectIntact(db, 80);
    auto store = Store::open(sqliteAt(db), nullptr);
    ASSERT_TRUE(store);
    for (const char* serial : {"SN-A", "SN-B"}) {
        HistoryFilter f;
        f.serial = QString::fromLatin1(serial);
        EXPECT_EQ(store->history(f)->size(), 40) << serial;
    }
}

struct Fault {
    const char* what;
    QStringList args;
    bool readOnly;
};

class StoreFaultTest : public ::testing::TestWithParam<Fault> {};

TEST_P(StoreFaultTest, IsSaidOnceTheRunCompletesAndTheFileStaysWhole)
{
    const Fault& fault = GetParam();
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("Records.db"));
    seed(db, 2);
    if (fault.readOnly) {
        // Without write permission on the file and its folder (the writer
        // drops root, which would write anything).
        ASSERT_EQ(::chmod(QFile::encodeName(db).constData(), 0444), 0);
        ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0555), 0);
    }
    const QByteArray before = fileHash(db);
    QProcess writer;
    writer.start(QStringLiteral(RECORDS_WRITER), QStringList{QStringLiteral("--db"), db, QStringLiteral("--count"),
                                                             QStringLiteral("4"), QStringLiteral("--expect-notice")} +
                                                     fault.args);
    ASSERT_TRUE(writer.waitForFinished(120000));
    EXPECT_EQ(writer.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(writer.exitCode(), 0);
    EXPECT_EQ(writer.readAllStandardOutput().trimmed(), QByteArray("done"));
    const QStringList notices = noticesIn(writer.readAllStandardError());
    EXPECT_EQ(notices.size(), 1) << qPrintable(notices.join(QLatin1Char('\n')));
    if (fault.readOnly) {
        EXPECT_EQ(fileHash(db), before);
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        ::chmod(QFile::encodeName(db).constData(), 0644);
    }
    expectIntact(db, 2);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, StoreFaultTest,
    ::testing::Values(Fault{"ReadOnly", {QStringLiteral("--drop-root")}, true},
                      // Long runs against a 256 KiB limit: the write-ahead log outgrows it.
                      Fault{"FullFileSystem",
                            {QStringLiteral("--fsize"), QStringLiteral("262144"), QStringLiteral("--lines"),
                             QStringLiteral("60000")},
                            false}),
    [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.what); });

} // namespace
