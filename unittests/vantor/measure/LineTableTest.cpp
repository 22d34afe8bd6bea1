// The tables classify every line the tests write, with the values the line
// holds; a near miss is not taken for a measurement.
#include <gtest/gtest.h>

#include <cmath>

#include "vantor/measure/LineTable.h"
#include "vantor/measure/Measurements.h"

using namespace vantor::measure;

namespace {

struct LineCase {
    const char* section;
    const char* line;
    LineKind kind;
    const char* name = "";    // the first measurement or series
    double value = 0;         // its value (pass/fail: 1 OK, 0 FAIL)
    int cycle = 0;
};

class Lines : public ::testing::TestWithParam<LineCase> {};

TEST_P(Lines, ClassifyWithTheirValues)
{
    const LineCase& c = GetParam();
    const LineTable* table = tableFor(QString::fromUtf8(c.section));
    ASSERT_NE(table, nullptr) << c.section;
    Collector col(table);
    ASSERT_EQ(col.add(QString::fromUtf8(c.line)), c.kind) << c.line;
    const Measurements& m = col.result();
    if (c.kind == LineKind::Measurement) {
        ASSERT_FALSE(m.values.empty());
        EXPECT_EQ(m.values.front().name, QString::fromUtf8(c.name));
        EXPECT_EQ(m.values.front().cycle, c.cycle);
        const double v = m.values.front().passFail ? (m.values.front().ok ? 1 : 0) : m.values.front().value;
        EXPECT_EQ(v, c.value);
    } else if (c.kind == LineKind::Sample) {
        ASSERT_FALSE(m.series.empty());
        EXPECT_EQ(m.series.front().name, QString::fromUtf8(c.name));
        EXPECT_EQ(m.series.front().cycle, c.cycle);
        ASSERT_EQ(m.series.front().size(), 1u);
        EXPECT_EQ(m.series.front().values[0], float(c.value));
    } else {
        EXPECT_TRUE(m.values.empty());
        EXPECT_TRUE(m.series.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, Lines,
    ::testing::Values(
        LineCase{"Platen", "3. Total encode = 1789 ", LineKind::Measurement, "Total encode", 1789, 3},
        LineCase{"Platen", "3. Total encode = 1789", LineKind::Measurement, "Total encode", 1789, 3},
        LineCase{"Platen", "2. Total encode = -12 ", LineKind::Measurement, "Total encode", -12, 2},
        LineCase{"Platen", "2. Run Platen - FAIL", LineKind::Measurement, "Run Platen", 0, 2},
        LineCase{"Platen", "1. in detail 0 [3733]", LineKind::Sample, "in detail", 3733, 1},
        LineCase{"Platen", "1. Total encode = ", LineKind::Unknown},
        LineCase{"Platen", "1. Total encode = 12x", LineKind::Unknown},
        LineCase{"Platen", "Total encode = 12", LineKind::Unknown},
        LineCase{"Platen", "== Start ==", LineKind::Framing},
        LineCase{"Platen", "09/12/2026 17:02:03", LineKind::Framing},
        LineCase{"Platen", " ", LineKind::Framing},
        LineCase{"Platen", "4. Cycle failed: no reply - FAIL", LineKind::Measurement, "Cycle", 0, 4},
        LineCase{"Platen Sensor", "2. 7 - 1,1700", LineKind::Sample, "Sensor", 1, 2},
        LineCase{"Platen Sensor", "cycle. index - sensor,encoder", LineKind::Framing},
        LineCase{"Platen Sensor", "1. Total Count (Motor Step) = 3000 ", LineKind::Measurement,
                 "Total Count (Motor Step)", 3000, 1},
        LineCase{"Platen Life", "1. F 2 [1677]", LineKind::Sample, "Forward Encode", 1677, 1},
        LineCase{"Platen Life", "1. Reverse Encode (1 pass)", LineKind::Framing},
        LineCase{"XY Cutter", "1. Run Cross Web motor - OK ", LineKind::Measurement, "Run Cross Web motor", 1, 1},
        LineCase{"XY Cutter", "1. Run Sideways motor - OK ", LineKind::Unknown},
        LineCase{"Tape Rewind", "5. Tape Rewind - OK (Encoder -40)", LineKind::Measurement, "Tape Rewind", 1, 5},
        LineCase{"Ribbon Tension", "1,Ribbon Tension and Slip Clutch,OK,512", LineKind::Measurement,
                 "Ribbon Tension and Slip Clutch", 1, 1},
        LineCase{"Ribbon Advance", "3,Rocker Arm (cc),FAIL,-", LineKind::Measurement, "Rocker Arm (cc)", 0, 3},
        LineCase{"Ribbon Drive", "2,Ribbon Advance ,480, OK,-", LineKind::Measurement, "Ribbon Advance", 1, 2},
        LineCase{"Ribbon To Platen", "1,Ribbon Advance w/ Platen, 77, OK,-", LineKind::Measurement,
                 "Ribbon Advance w/ Platen", 1, 1},
        LineCase{"ejector", "2. Run 3 rev (actual run 2 rev) - FAIL", LineKind::Measurement, "Run", 0, 2},
        LineCase{"End Cutter", "1. Moving duration 120ms", LineKind::Measurement, "Moving duration", 120, 1},
        LineCase{"Print Head Lift", "1. Run motor - OK - 35 ms ", LineKind::Measurement, "Run motor", 1, 1},
        LineCase{"Fiducial", "Write To EEPROM - SUCCESS ", LineKind::Measurement, "Write To EEPROM", 1, 0},
        LineCase{"Fiducial", "Retrieving DAC value...", LineKind::Text},
        LineCase{"Ribbon Color", "2. log file is save.", LineKind::Text},
        LineCase{"Ribbon Color", "SensorRead:10,20,30", LineKind::Measurement, "SensorRead Red", 10, 0},
        LineCase{"MEdiaJam", "1. Run media jam test - OK", LineKind::Measurement, "Run media jam test", 1, 1},
        LineCase{"PrintToCut", "1. Run print to cut test - FAIL", LineKind::Measurement, "Run print to cut test", 0,
                 1}));

TEST(LineTables, EverySectionHasATableAndSectionsAreCaseInsensitive)
{
    for (const char* s : {"Platen", "Platen Life", "Platen Sensor", "XY Cutter", "XY Cutter Life", "Tape Rewind",
                          "Tape Roll Tightness", "Tape Overshoot", "Ribbon Tension", "Ribbon Advance",
                          "Ribbon Drive", "Ribbon To Platen", "ejector", "End Cutter", "Print Head Lift",
                          "Fiducial", "MEdiaJam", "Ribbon Color", "Print", "PrintToCut"})
        EXPECT_NE(tableFor(QString::fromUtf8(s)), nullptr) << s;
    EXPECT_EQ(tableFor(QStringLiteral("platen")), tableFor(QStringLiteral("Platen")));
    EXPECT_EQ(tableFor(QStringLiteral("No Such")), nullptr);
}

TEST(LineTables, ALineCanGiveAPassFailAndAValue)
{
    Collector c(tableFor(QStringLiteral("Tape Rewind")));
    c.add(QStringLiteral("4. Tape Rewind - OK (Encoder 1234)"));
    const Measurements& m = c.result();
    ASSERT_EQ(m.values.size(), 2u);
    EXPECT_TRUE(m.values[0].passFail);
    EXPECT_TRUE(m.values[0].ok);
    EXPECT_EQ(m.values[1].name, QStringLiteral("Encoder"));
    EXPECT_EQ(m.values[1].unit, QStringLiteral("counts"));
    EXPECT_EQ(m.values[1].value, 1234);
    EXPECT_EQ(m.values[1].cycle, 4);
}

TEST(Collector, SamplesGroupByNameAndCycleAndTakeTheCycleOfTheirRun)
{
    Collector c(tableFor(QStringLiteral("XY Cutter Life")));
    // The aging samples are numbered 1..n, not by cycle: they belong to the
    // cycle of the line before them.
    const QStringList lines = {QStringLiteral("1. Run Aging Test - OK "), QStringLiteral("1. Encoder [10]"),
                               QStringLiteral("2. Encoder [30]"),        QStringLiteral("2. Run Aging Test - OK "),
                               QStringLiteral("1. Encoder [5]"),         QStringLiteral("2. Encoder [7]"),
                               QStringLiteral("3. Encoder [9]")};
    for (const QString& l : lines)
        c.add(l);
    Measurements m = c.take();
    ASSERT_EQ(m.series.size(), 2u);
    EXPECT_EQ(m.series[0].cycle, 1);
    EXPECT_EQ(m.series[0].indices, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(m.series[0].values, (std::vector<float>{10, 30}));
    EXPECT_EQ(m.series[1].cycle, 2);
    EXPECT_EQ(m.series[1].indices, (std::vector<int32_t>{1, 2, 3}));
    ASSERT_NE(m.findSeries(QStringLiteral("Encoder"), 2), nullptr);
    EXPECT_EQ(m.findSeries(QStringLiteral("Encoder"), 2)->values.back(), 9.f);
    EXPECT_EQ(m.findSeries(QStringLiteral("Encoder"), 3), nullptr);
}

TEST(Collector, TwoSeriesFromOneLineAndUnknownLinesAreKept)
{
    Measurements m = collect(QStringLiteral("Platen Sensor"),
                             {QStringLiteral("cycle. index - sensor,encoder"), QStringLiteral("1. 1 - 0,10"),
                              QStringLiteral("1. 2 - 1,20"), QStringLiteral("1. Total Count (Encoder Count) = 20 "),
                              QStringLiteral("something else"), QStringLiteral("1. Run Platen Sensor - FAIL")});
    ASSERT_EQ(m.series.size(), 2u);
    EXPECT_EQ(m.series[0].name, QStringLiteral("Sensor"));
    EXPECT_EQ(m.series[1].name, QStringLiteral("Encoder"));
    EXPECT_EQ(m.series[1].values, (std::vector<float>{10, 20}));
    EXPECT_EQ(m.unknown, QStringList{QStringLiteral("something else")});
    EXPECT_EQ(m.failLines, 1);
}

TEST(Collector, ASampleTakesEightBytesOnceTaken)
{
    Collector c(tableFor(QStringLiteral("Platen")));
    for (int i = 0; i < 5000; ++i)
        c.add(QStringLiteral("1. in detail %1 [%2]").arg(i).arg(i * 2));
    Measurements m = c.take();
    ASSERT_EQ(m.series.size(), 1u);
    EXPECT_EQ(m.series[0].size(), 5000u);
    EXPECT_LE(m.series[0].values.capacity() * sizeof(float) + m.series[0].indices.capacity() * sizeof(int32_t),
              5000u * 8u);
}

TEST(LineTables, NamesListEachNameOnceWithItsKindAndUnit)
{
    const std::vector<NameInfo> names = namesOf(QStringLiteral("Print Head Lift"));
    // "Run motor" is a pass/fail and, with its duration, a number in ms;
    // the framework's own failure lines follow every test's names.
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0].name, QStringLiteral("Run motor"));
    EXPECT_EQ(names[1].name, QStringLiteral("Run motor"));
    EXPECT_EQ(names[2].name, QStringLiteral("Cycle"));
    EXPECT_EQ(names[0].kind, NameInfo::PassFail);
    EXPECT_EQ(names[1].kind, NameInfo::Numeric);
    EXPECT_EQ(names[1].unit, QStringLiteral("ms"));
    const std::vector<NameInfo> life = namesOf(QStringLiteral("Platen Life"));
    ASSERT_GE(life.size(), 2u);
    EXPECT_EQ(life[0].name, QStringLiteral("Forward Encode"));
    EXPECT_EQ(life[0].kind, NameInfo::SeriesName);
}

TEST(LineTables, FailLinesEndInFail)
{
    EXPECT_TRUE(isFailLine(u"1. Run fiducial test - FAIL "));
    EXPECT_TRUE(isFailLine(u"1,Slip Clutch,FAIL,-"));
    EXPECT_FALSE(isFailLine(u"FAIL is not the end"));
    EXPECT_FALSE(isFailLine(u"1. Run Platen Life - OK"));
}

TEST(LineTable, BadPatternsAreRefused)
{
    EXPECT_THROW(LineTable(QStringLiteral("x"), {{LineKind::Measurement, "{cycle}. {bogus}", "n"}}),
                 LineTable::BadPattern);
    // a value without a name
    EXPECT_THROW(LineTable(QStringLiteral("x"), {{LineKind::Measurement, "{cycle}. = {v}"}}), LineTable::BadPattern);
    // a sample row without an index
    EXPECT_THROW(LineTable(QStringLiteral("x"), {{LineKind::Sample, "{cycle}. [{v}]", "", {{{"s", ""}}}}}),
                 LineTable::BadPattern);
    // ignored text must be followed by words to find its end
    EXPECT_THROW(LineTable(QStringLiteral("x"), {{LineKind::Text, "{text}{int}"}}), LineTable::BadPattern);
}

} // namespace

// A plot of a run draws each numeric measurement as one curve over the
// cycles, after the per-pulse series; pass/fail results draw nothing.
TEST(Plottable, NumericValuesBecomeOneCurvePerNameAcrossCycles)
{
    const QStringList lines = {QStringLiteral("1. Tape Rewind - OK (Encoder 1234)"),
                               QStringLiteral("2. Tape Rewind - OK (Encoder 1240)"),
                               QStringLiteral("3. Tape Rewind - FAIL")};
    const std::vector<Series> curves = plottable(collect(QStringLiteral("Tape Rewind"), lines));
    ASSERT_EQ(curves.size(), 1u);
    EXPECT_EQ(curves[0].name, QStringLiteral("Encoder"));
    EXPECT_EQ(curves[0].unit, QStringLiteral("counts"));
    EXPECT_EQ(curves[0].indices, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(curves[0].values, (std::vector<float>{1234.f, 1240.f}));
}
