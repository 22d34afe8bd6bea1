// The station's history over a real records database: a serial's runs, a
// station's runs among others, and a run read back whole.
#include <QJsonArray>
#include <QTemporaryDir>
#include <QUuid>
#include <gtest/gtest.h>

#include "records/Store.h"
#include "vantor/station/RecordsHistory.h"

namespace vantor::station {
namespace {

QJsonObject run(const QString& serial, const QString& station, int minute, const char* verdict)
{
    const QJsonObject step{{"index", 0}, {"test", "Platen Test"}, {"section", "Platen"},
                           {"settings", QJsonObject{}}, {"cycles", QJsonObject{{"requested", 1}, {"done", 1}}},
                           {"start", "2026-12-09T17:00:00.000+00:00"}, {"end", "2026-12-09T17:00:01.000+00:00"},
                           {"verdict", verdict}, {"lines", QJsonArray{"== Start ==", "1. Total encode = 1789 "}},
                           {"measurements", QJsonArray{}}, {"series", QJsonArray{}}};
    return {{"schema", 1},
            {"uuid", QUuid::createUuid().toString(QUuid::WithoutBraces)},
            {"program", "vantor"},
            {"kind", "sequence"},
            {"name", "Final test"},
            {"serial", serial},
            {"station", station},
            {"operator", "op"},
            {"version", "1.02"},
            {"start", QStringLiteral("2026-12-09T17:%1:00.000+00:00").arg(minute, 2, 10, QLatin1Char('0'))},
            {"end", QStringLiteral("2026-12-09T17:%1:30.000+00:00").arg(minute, 2, 10, QLatin1Char('0'))},
            {"verdict", verdict},
            {"steps", QJsonArray{step}}};
}

TEST(RecordsHistory, AnswersTheSerialsAndTheStationsNewestRuns)
{
    QTemporaryDir dir;
    const records::Location where = records::sqliteAt(dir.filePath(QStringLiteral("Records.db")));
    std::vector<QJsonObject> runs = {run("SN1", "line-1", 1, "PASS"), run("SN2", "line-2", 2, "FAIL"),
                                     run("SN1", "line-2", 3, "FAIL"), run("SN3", "line-1", 4, "PASS"),
                                     run("SN1", "line-1", 5, "ABORTED")};
    {
        QString error;
        auto store = records::Store::open(where, &error);
        ASSERT_TRUE(store) << error.toStdString();
        for (const QJsonObject& r : runs)
            ASSERT_EQ(store->save(r, &error), records::Store::Saved::Stored) << error.toStdString();
    }
    RecordsHistory history(where);
    QString error;
    auto uuids = [](const QList<QJsonObject>& list) {
        QStringList out;
        for (const QJsonObject& r : list)
            out << r.value("uuid").toString();
        return out;
    };
    auto uuid = [&](size_t i) { return runs[i].value("uuid").toString(); };
    EXPECT_EQ(uuids(history.runs(QStringLiteral("SN1"), {}, 10, &error)), (QStringList{uuid(4), uuid(2), uuid(0)}));
    EXPECT_EQ(uuids(history.runs(QStringLiteral("SN1"), {}, 2, &error)), (QStringList{uuid(4), uuid(2)}));
    EXPECT_EQ(uuids(history.runs({}, QStringLiteral("line-1"), 10, &error)), (QStringList{uuid(4), uuid(3), uuid(0)}));
    EXPECT_EQ(uuids(history.runs({}, QStringLiteral("line-1"), 1, &error)), QStringList{uuid(4)});
    EXPECT_TRUE(history.runs(QStringLiteral("SN-none"), {}, 10, &error).isEmpty());
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();

    const std::optional<QJsonObject> whole = history.record(uuid(1));
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->value("serial").toString(), QStringLiteral("SN2"));
    EXPECT_EQ(whole->value("steps").toArray()[0].toObject().value("lines").toArray().size(), 2);
    EXPECT_FALSE(history.record(QStringLiteral("no-such-uuid")));
}

TEST(RecordsHistory, SaysWhyWhenTheStoreCannotBeOpened)
{
    QTemporaryDir dir;
    // A folder where the database file should be.
    RecordsHistory history(records::sqliteAt(dir.path()));
    QString error;
    EXPECT_TRUE(history.runs(QStringLiteral("SN1"), {}, 10, &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace vantor::station
