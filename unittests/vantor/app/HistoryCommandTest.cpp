// `vantor --history` and `--record` over a real records file: a headless
// platen run of the built program, turned into a run record, is listed with
// its measurements and comes back whole.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUuid>

#include "records/Store.h"
#include "vantor/app/HistoryCommand.h"

namespace {

// The headless run's --json as the run record the measurements will
// publish: one step, a measurement per "Total encode" line.
QJsonObject recordOf(const QJsonObject& headless)
{
    static const QRegularExpression total(QStringLiteral("^(\\d+)\\. Total encode = (-?\\d+) $"));
    QJsonArray measurements;
    for (const QJsonValue& l : headless.value(QLatin1String("lines")).toArray())
        if (const auto m = total.match(l.toString()); m.hasMatch())
            measurements.append(QJsonObject{{"name", "Total encode"}, {"cycle", m.captured(1).toInt()},
                                            {"value", m.captured(2).toInt()}, {"unit", "counts"},
                                            {"limit", QJsonValue::Null}, {"verdict", QJsonValue::Null}});
    const QJsonObject params = headless.value(QLatin1String("parameters")).toObject();
    const QString verdict = headless.value(QLatin1String("failLines")).toInt() ? QStringLiteral("FAIL") : QStringLiteral("PASS");
    const QString start = QDateTime::fromString(headless.value(QLatin1String("start")).toString(), Qt::ISODateWithMs)
                              .toOffsetFromUtc(0)
                              .toString(Qt::ISODateWithMs);
    const QJsonObject step{{"index", 0},
                           {"test", headless.value(QLatin1String("test"))},
                           {"section", params.value(QLatin1String("section"))},
                           {"settings", QJsonObject{}},
                           {"cycles", QJsonObject{{"requested", params.value(QLatin1String("totalCycles"))},
                                                  {"done", headless.value(QLatin1String("cyclesDone"))}}},
                           {"start", start},
                           {"end", start},
                           {"verdict", verdict},
                           {"lines", headless.value(QLatin1String("lines"))},
                           {"measurements", measurements},
                           {"series", QJsonArray{}}};
    return {{"schema", 1},        {"uuid", QUuid::createUuid().toString(QUuid::WithoutBraces)},
            {"program", "vantor"}, {"kind", "run"},
            {"name", headless.value(QLatin1String("test"))},
            {"serial", "SN-HEADLESS"}, {"station", "test"}, {"operator", "test"}, {"version", "1.0"},
            {"start", start},      {"end", start}, {"verdict", verdict}, {"steps", QJsonArray{step}}};
}

TEST(HistoryCommandTest, AHeadlessPlatenRunIsListedWithItsMeasurementsAndComesBackWhole)
{
    QTemporaryDir dir;
    const QString json = dir.filePath(QStringLiteral("run.json"));
    QProcess vantor;
    vantor.start(QStringLiteral(VANTOR_BIN), {QStringLiteral("--run"), QStringLiteral("Platen Test"),
                                              QStringLiteral("--cycles"), QStringLiteral("2"), QStringLiteral("--pause"),
                                              QStringLiteral("0"), QStringLiteral("--json"), json});
    ASSERT_TRUE(vantor.waitForFinished(120000));
    ASSERT_EQ(vantor.exitCode(), 0) << vantor.readAllStandardError().constData();
    QFile f(json);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonObject run = recordOf(QJsonDocument::fromJson(f.readAll()).object());
    ASSERT_EQ(run.value(QLatin1String("steps")).toArray().at(0).toObject().value(QLatin1String("measurements")).toArray().size(), 2);

    const QString db = dir.filePath(QStringLiteral("Records.db"));
    {
        auto store = records::Store::open(records::sqliteAt(db), nullptr);
        ASSERT_TRUE(store);
        ASSERT_EQ(store->save(run), records::Store::Saved::Stored);
    }
    const QString uuid = run.value(QLatin1String("uuid")).toString();
    auto history = [&](QStringList extra, QString& out) {
        QString err;
        const int code = vantor::historyCommand(QStringList{QStringLiteral("vantor"), QStringLiteral("--history"),
                                                            QStringLiteral("--db"), db} +
                                                    extra,
                                                out, err);
        EXPECT_TRUE(err.isEmpty()) << qPrintable(err);
        return code;
    };
    QString out;
    ASSERT_EQ(history({QStringLiteral("--test"), QStringLiteral("platen"), QStringLiteral("--format"), QStringLiteral("json")}, out), 0);
    const QJsonArray listed = QJsonDocument::fromJson(out.toUtf8()).array();
    ASSERT_EQ(listed.size(), 1);
    EXPECT_EQ(listed.at(0).toObject().value(QLatin1String("uuid")).toString(), uuid);
    EXPECT_EQ(listed.at(0).toObject().value(QLatin1String("measurementCount")).toInt(), 2);

    ASSERT_EQ(history({QStringLiteral("--format"), QStringLiteral("csv")}, out), 0);
    EXPECT_EQ(out.count(QLatin1Char('\n')), 2);
    EXPECT_TRUE(out.contains(uuid + QLatin1Char('\n')));
    ASSERT_EQ(history({QStringLiteral("--verdict"), QStringLiteral("FAIL")}, out), 0);
    EXPECT_FALSE(out.contains(uuid));

    QString err;
    ASSERT_EQ(vantor::historyCommand({QStringLiteral("vantor"), QStringLiteral("--record"), uuid, QStringLiteral("--db"), db}, out, err), 0);
    EXPECT_EQ(QJsonDocument::fromJson(out.toUtf8()).object(), run);
    EXPECT_EQ(vantor::historyCommand({QStringLiteral("vantor"), QStringLiteral("--record"), QStringLiteral("no-such-run"),
                                      QStringLiteral("--db"), db},
                                     out, err),
              1);
}

TEST(HistoryCommandTest, BadArgumentsAreRefusedWithTheirReason)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("Records.db"));
    const char* const cases[][2] = {{"--format", "xml"}, {"--since", "yesterday"}, {"--verdict", "MAYBE"}, {"--limit", "-1"}};
    for (const auto& c : cases) {
        QString out, err;
        EXPECT_EQ(vantor::historyCommand({QStringLiteral("vantor"), QStringLiteral("--history"), QStringLiteral("--db"), db,
                                          QString::fromLatin1(c[0]), QString::fromLatin1(c[1])},
                                         out, err),
                  2)
            << c[0];
        EXPECT_TRUE(err.contains(QString::fromLatin1(c[0]))) << qPrintable(err);
    }
}

} // namespace
