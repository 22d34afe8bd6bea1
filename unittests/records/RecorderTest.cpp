// The writer thread on the station's SQLite file: runs arrive in order, a
// store that cannot be written is said once and its runs are kept until it
// can. Virtual time: the back-off passes when the test moves the clock.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include "TestRecords.h"
#include "platform/Clock.h"
#include "records/Recorder.h"
#include "records/Store.h"

using namespace records;
using platform::Millis;

namespace {

TEST(RecorderTest, EveryRunSubmittedIsStoredInOrder)
{
    platform::ManualClock clock;
    platform::ScopedClock scoped(clock);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("Records.db"));
    QStringList uuids;
    int notices = 0;
    {
        Recorder recorder({sqliteAt(db), std::nullopt}, [&](const QString&) { ++notices; });
        for (int i = 0; i < 25; ++i) {
            fixture::RunShape s;
            // Starts a second apart, so the history's order is the submission order.
            s.start = QDateTime(QDate(2026, 12, 9), QTime(10, 0, i), QTimeZone::utc()).toString(Qt::ISODateWithMs);
            const QJsonObject run = fixture::makeRecord(s);
            uuids.prepend(run.value(QLatin1String("uuid")).toString());
            recorder.submit(run);
        }
        ASSERT_TRUE(recorder.waitIdle(Millis(60000)));
    }
    EXPECT_EQ(notices, 0);
    auto store = Store::open(sqliteAt(db), nullptr);
    ASSERT_TRUE(store);
    const auto history = store->history({});
    ASSERT_TRUE(history);
    QStringList got;
    for (const QJsonObject& o : *history)
        got << o.value(QLatin1String("uuid")).toString();
    EXPECT_EQ(got, uuids);
    EXPECT_TRUE(store->pending(100).isEmpty()); // no server: nothing waits to be sent
}

// Without a server there is nothing to send at the start: the database is
// not opened (nor made) until a run is to be kept.
TEST(RecorderTest, WithoutAServerTheStoreIsOpenedForTheFirstRunOnly)
{
    platform::ManualClock clock;
    platform::ScopedClock scoped(clock);
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("Records.db"));
    Recorder recorder({sqliteAt(db), std::nullopt}, nullptr);
    ASSERT_TRUE(recorder.waitIdle(Millis(60000)));
    EXPECT_FALSE(QFile::exists(db));
    recorder.submit(fixture::makeRecord());
    ASSERT_TRUE(recorder.waitSpooled(Millis(60000)));
    recorder.close(Millis(60000));
    auto store = Store::open(sqliteAt(db), nullptr);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->runCount(), 1);
}

TEST(RecorderTest, AStoreThatCannotBeWrittenIsSaidOnceAndItsRunsAreKeptUntilItCan)
{
    platform::ManualClock clock;
    platform::ScopedClock scoped(clock);
    QTemporaryDir dir;
    // A file where the database's folder should be: nothing can be created
    // there, not even by root.
    const QString folder = dir.filePath(QStringLiteral("Store"));
    {
        QFile blocker(folder);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    const QString db = folder + QStringLiteral("/Records.db");
    std::vector<QString> messages;
    std::mutex lock;
    Recorder recorder({sqliteAt(db), std::nullopt}, [&](const QString& m) {
        std::lock_guard g(lock);
        messages.push_back(m);
    });
    for (int i = 0; i < 3; ++i)
        recorder.submit(fixture::makeRecord());
    ASSERT_EQ(platform::waitOne(recorder.noticed(), Millis(60000)).status, platform::WaitStatus::Signalled);
    EXPECT_FALSE(recorder.waitIdle(Millis(0)));

    ASSERT_TRUE(QFile::remove(folder));
    ASSERT_TRUE(QDir().mkpath(folder));
    // Past any back-off: the writer tries again and stores all three.
    clock.advance(Millis(60000));
    ASSERT_TRUE(recorder.waitIdle(Millis(60000)));
    recorder.close(Millis(60000));
    {
        std::lock_guard g(lock);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_TRUE(messages[0].contains(db)) << qPrintable(messages[0]);
    }
    auto store = Store::open(sqliteAt(db), nullptr);
    ASSERT_TRUE(store);
    EXPECT_EQ(store->runCount(), 3);
}

} // namespace
