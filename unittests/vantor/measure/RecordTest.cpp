// Verdicts from limits and FAIL lines, and the record's shape against the
// schema in docs/.
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "SchemaCheck.h"
#include "vantor/measure/Record.h"

using namespace vantor::measure;

namespace {

StepRecord platenStep(const QStringList& cycleLines, std::initializer_list<const char*> limits = {})
{
    StepRecord s;
    s.test = QStringLiteral("Platen Test");
    s.section = QStringLiteral("Platen");
    s.settings = {{QStringLiteral("TotalPulses"), QStringLiteral("3000")}, {QStringLiteral("cycle"), QStringLiteral("2")}};
    s.requested = 2;
    s.done = 2;
    s.start = s.end = QDateTime::currentDateTime();
    s.lines << QStringLiteral("== Start ==") << QStringLiteral("09/12/2026 17:02:03") << cycleLines
            << QStringLiteral("== End ==") << QStringLiteral(" ");
    s.measurements = collect(s.section, s.lines);
    for (const char* l : limits)
        s.limits.push_back(*parseLimit(QString::fromUtf8(l), nullptr));
    return s;
}

const QStringList kTwoCycles = {QStringLiteral("1. Total encode = 1789 "), QStringLiteral("2. Total encode = 1950 ")};

TEST(Judge, PassesWithinLimitsAndNamesTheFailingMeasurement)
{
    StepRecord ok = platenStep(kTwoCycles, {"Total encode=1700..1950"});
    judge(ok);
    EXPECT_EQ(ok.verdict, Verdict::Pass);
    EXPECT_TRUE(ok.reason.isEmpty());

    StepRecord bad = platenStep(kTwoCycles, {"Total encode=1700..1900"});
    judge(bad);
    EXPECT_EQ(bad.verdict, Verdict::Fail);
    EXPECT_TRUE(bad.reason.contains(QStringLiteral("Total encode (cycle 2) = 1950 counts"))) << qPrintable(bad.reason);
    EXPECT_FALSE(bad.reason.contains(QStringLiteral("cycle 1"))) << qPrintable(bad.reason);
}

TEST(Judge, AFailLineFailsWithoutAnyLimitAndAMissingValueFailsItsLimit)
{
    StepRecord s = platenStep({QStringLiteral("1. Total encode = 1789 "), QStringLiteral("2. Run Platen - FAIL")});
    judge(s);
    EXPECT_EQ(s.verdict, Verdict::Fail);
    EXPECT_TRUE(s.reason.contains(QStringLiteral("2. Run Platen - FAIL")));

    StepRecord none = platenStep({}, {"Total encode=1..2"});
    judge(none);
    EXPECT_EQ(none.verdict, Verdict::Fail);
    EXPECT_TRUE(none.reason.contains(QStringLiteral("no value"))) << qPrintable(none.reason);
    // The platen test writes "Run Platen" only when it fails.
    StepRecord quiet = platenStep(kTwoCycles, {"Run Platen=OK"});
    judge(quiet);
    EXPECT_EQ(quiet.verdict, Verdict::Pass) << qPrintable(quiet.reason);

    StepRecord aborted = platenStep(kTwoCycles, {"Total encode=1..2"});
    aborted.verdict = Verdict::Aborted;
    judge(aborted);
    EXPECT_EQ(aborted.verdict, Verdict::Aborted);
}

TEST(Judge, SeriesLimitsApplyToTheirAggregate)
{
    QStringList lines;
    for (int i = 0; i < 10; ++i)
        lines << QStringLiteral("1. in detail %1 [%2]").arg(i).arg(100 * i);
    lines << QStringLiteral("1. Total encode = 900 ");
    StepRecord s = platenStep(lines, {"in detail.max<=900", "in detail.count=10"});
    judge(s);
    EXPECT_EQ(s.verdict, Verdict::Pass) << qPrintable(s.reason);
    StepRecord t = platenStep(lines, {"in detail.mean>=500"});
    judge(t);
    EXPECT_EQ(t.verdict, Verdict::Fail);
    EXPECT_TRUE(t.reason.contains(QStringLiteral("in detail (cycle 1) = 450"))) << qPrintable(t.reason);
}

TEST(Verdicts, TheWorstWins)
{
    EXPECT_EQ(worse(Verdict::Pass, Verdict::Fail), Verdict::Fail);
    EXPECT_EQ(worse(Verdict::Error, Verdict::Fail), Verdict::Error);
    EXPECT_EQ(worse(Verdict::Error, Verdict::Aborted), Verdict::Aborted);
    EXPECT_EQ(worse(Verdict::Aborted, Verdict::Pass), Verdict::Aborted);
}

TEST(Record, MatchesTheSchemaAndCarriesLimitsAndVerdicts)
{
    StepRecord s = platenStep(kTwoCycles, {"Total encode=1700..1900"});
    judge(s);
    RunHeader h;
    h.name = QStringLiteral("Platen Test");
    h.serial = QStringLiteral("SN1");
    h.start = h.end = QDateTime::currentDateTime();
    const QJsonObject step = stepJson(s);
    const QJsonObject rec = runRecord(h, {step}, s.verdict, s.reason);
    const QJsonObject schema = vantor::testing::recordSchema();
    ASSERT_FALSE(schema.isEmpty());
    EXPECT_EQ(vantor::testing::schemaViolations(schema, rec), QStringList());
    EXPECT_EQ(rec[QStringLiteral("verdict")].toString(), QStringLiteral("FAIL"));
    const QJsonArray ms = step[QStringLiteral("measurements")].toArray();
    ASSERT_EQ(ms.size(), 2);
    EXPECT_EQ(ms[0].toObject()[QStringLiteral("verdict")].toString(), QStringLiteral("PASS"));
    EXPECT_EQ(ms[1].toObject()[QStringLiteral("verdict")].toString(), QStringLiteral("FAIL"));
    EXPECT_EQ(ms[1].toObject()[QStringLiteral("limit")].toString(), QStringLiteral("1700..1900"));
    EXPECT_EQ(step[QStringLiteral("settings")].toObject()[QStringLiteral("TotalPulses")].toString(),
              QStringLiteral("3000"));
    EXPECT_TRUE(rec[QStringLiteral("start")].toString().contains(QLatin1Char('T')));

    // The checker does catch a record that breaks the contract.
    QJsonObject broken = rec;
    broken.remove(QStringLiteral("uuid"));
    broken[QStringLiteral("verdict")] = QStringLiteral("MAYBE");
    EXPECT_EQ(vantor::testing::schemaViolations(schema, broken).size(), 2);
}

TEST(Record, LongSeriesGoToACsvBesideTheRecord)
{
    QTemporaryDir dir;
    QStringList lines;
    for (int i = 0; i < 10001; ++i)
        lines << QStringLiteral("1. in detail %1 [%2]").arg(i).arg(i % 7);
    StepRecord s = platenStep(lines);
    const QString csv = dir.filePath(QStringLiteral("record.step0.csv"));
    const QJsonObject step = stepJson(s, csv);
    const QJsonObject series = step[QStringLiteral("series")].toArray()[0].toObject();
    EXPECT_EQ(series[QStringLiteral("csv")].toString(), QStringLiteral("record.step0.csv"));
    EXPECT_FALSE(series.contains(QStringLiteral("values")));
    EXPECT_EQ(series[QStringLiteral("count")].toInt(), 10001);
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = f.readAll().split('\n');
    EXPECT_EQ(rows[0], QByteArray("name,cycle,index,value"));
    EXPECT_EQ(rows[10], QByteArray("in detail,1,9,2"));
    EXPECT_EQ(rows.size(), 10003); // header, samples, and the last line's end

    // Short series travel inline.
    const QJsonObject small = stepJson(platenStep({QStringLiteral("1. in detail 0 [5]")}), csv);
    EXPECT_EQ(small[QStringLiteral("series")].toArray()[0].toObject()[QStringLiteral("values")].toArray(),
              QJsonArray{5});
}

TEST(Record, TimesCarryTheirZoneOffset)
{
    const QDateTime t(QDate(2026, 12, 9), QTime(17, 2, 3, 123), Qt::OffsetFromUTC, 3600);
    EXPECT_EQ(isoTime(t), QStringLiteral("2026-12-09T17:02:03.123+01:00"));
    const QDateTime u(QDate(2026, 12, 9), QTime(17, 2, 3, 4), Qt::UTC);
    EXPECT_EQ(isoTime(u), QStringLiteral("2026-12-09T17:02:03.004+00:00"));
}

} // namespace
