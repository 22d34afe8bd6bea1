// Every line of every test that runs without a window, against the
// simulated printer, is classified by its test's table: a new line format
// fails here until its table has a row for it.
#include <gtest/gtest.h>

#include "unittests/vantor/testing/ScreenFixture.h"
#include "vantor/app/SequenceRunner.h"
#include "vantor/measure/Measurements.h"

namespace {

using namespace vantor;

class EveryLine : public vantor::testing::ScreenFixture {
protected:
    // Runs `test` for two cycles with the overrides; returns its step.
    measure::StepRecord run(const QString& test, std::vector<std::pair<QString, QString>> settings = {})
    {
        measure::SequenceSpec spec;
        spec.name = test;
        measure::SequenceStep step;
        step.test = test;
        step.cycles = 2;
        step.pause = 0;
        step.settings = std::move(settings);
        spec.steps.push_back(step);
        QString error;
        std::unique_ptr<SequenceRunner> runner = SequenceRunner::fromSpec(spec, QStringLiteral("t"), &error);
        if (!runner) {
            ADD_FAILURE() << qPrintable(test) << ": " << qPrintable(error);
            return {};
        }
        EXPECT_TRUE(runner->start({}, {}, &error)) << qPrintable(error);
        EXPECT_TRUE(advanceUntil([&] { return runner->finished(); })) << qPrintable(test);
        return runner->steps().front();
    }
};

TEST_F(EveryLine, OfEveryTestIsClassified)
{
    startSimulator();
    // Besides the starter settings, the variants that write other lines.
    const std::vector<std::pair<QString, std::vector<std::pair<QString, QString>>>> variants = {
        {QStringLiteral("Platen Test"), {{QStringLiteral("EncoderInDeail"), QStringLiteral("1")},
                                         {QStringLiteral("TotalPulses"), QStringLiteral("400")}}},
        {QStringLiteral("Platen Life Test"), {{QStringLiteral("MultiPass"), QStringLiteral("2")},
                                              {QStringLiteral("UseReversePlaten"), QStringLiteral("1")}}},
    };
    int tests = 0, measured = 0;
    for (const RunnableTest& t : runnableTests()) {
        std::vector<std::vector<std::pair<QString, QString>>> runs = {{}};
        for (const auto& [name, settings] : variants)
            if (name == t.name())
                runs.push_back(settings);
        for (const auto& settings : runs) {
            const measure::StepRecord step = run(t.name(), settings);
            ++tests;
            EXPECT_NE(step.verdict, measure::Verdict::Error) << qPrintable(t.name()) << ": " << qPrintable(step.reason);
            EXPECT_GT(step.lines.size(), 2) << qPrintable(t.name());
            EXPECT_EQ(step.measurements.unknown, QStringList()) << qPrintable(t.name());
            measured += !step.measurements.values.empty() || !step.measurements.series.empty();
        }
    }
    EXPECT_GE(tests, 20);
    // Only the plain print tests write no measurement.
    EXPECT_GE(measured, tests - 2);
}

TEST_F(EveryLine, OverridesReachTheRunButNotTheStoredRecord)
{
    startSimulator();
    const CTestSettings* stored = FetchTestSettings(kTestPlaten);
    ASSERT_NE(stored, nullptr);
    const int cyclesBefore = stored->cycle;
    const measure::StepRecord step =
        run(QStringLiteral("Platen Test"), {{QStringLiteral("encoderindeail"), QStringLiteral("1")},
                                            {QStringLiteral("TotalPulses"), QStringLiteral("250")}});
    const measure::Series* detail = step.measurements.findSeries(QStringLiteral("in detail"), 2);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->size(), 250u);
    // The record of the step shows the effective values under the file's spelling.
    auto value = [&](const char* key) {
        for (const auto& [k, v] : step.settings)
            if (k == QLatin1String(key))
                return v;
        return QStringLiteral("<none>");
    };
    EXPECT_EQ(value("TotalPulses"), QStringLiteral("250"));
    EXPECT_EQ(value("EncoderInDeail"), QStringLiteral("1"));
    EXPECT_EQ(value("cycle"), QStringLiteral("2"));
    EXPECT_EQ(FetchTestSettings(kTestPlaten)->cycle, cyclesBefore);
    EXPECT_NE(dynamic_cast<const CPlatenSettings*>(FetchTestSettings(kTestPlaten))->totalPulses, 250);
}

TEST_F(EveryLine, UnknownKeysTestsAndLimitNamesAreRefusedWithTheChoices)
{
    measure::SequenceSpec spec;
    spec.name = QStringLiteral("x");
    measure::SequenceStep a;
    a.test = QStringLiteral("Platen Tset");
    measure::SequenceStep b;
    b.test = QStringLiteral("Platen Test");
    b.settings = {{QStringLiteral("TotalPulse"), QStringLiteral("1")}};
    b.limits = {*measure::parseLimit(QStringLiteral("Total encoded=1..2"), nullptr)};
    measure::SequenceStep c;
    c.test = QStringLiteral("Ejector Test");
    c.cycles = 0;
    spec.steps = {a, b, c};
    QString error;
    EXPECT_FALSE(SequenceRunner::fromSpec(spec, QStringLiteral("f.json"), &error));
    const QStringList lines = error.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << qPrintable(error);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("f.json: step 1 (Platen Tset): no test"))) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[0].contains(QStringLiteral("did you mean Platen Test"))) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[1].contains(QStringLiteral("\"TotalPulse\""))) << qPrintable(lines[1]);
    EXPECT_TRUE(lines[1].contains(QStringLiteral("TotalPulses,"))) << qPrintable(lines[1]);
    EXPECT_TRUE(lines[2].contains(QStringLiteral("Total encoded"))) << qPrintable(lines[2]);
    EXPECT_TRUE(lines[2].contains(QStringLiteral("Total encode,"))) << qPrintable(lines[2]);
    EXPECT_TRUE(lines[3].contains(QStringLiteral("\"Total Cycle\" must greater than 0."))) << qPrintable(lines[3]);
}

} // namespace
