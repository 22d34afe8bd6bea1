// Every line of every test that runs without a window, against the
// simulated printer, is classified by its test's table: a new line format
// fails here until its table has a row for it.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <mutex>

#include "SchemaCheck.h"
#include "ui/testing/DialogHarness.h"
#include "unittests/vantor/testing/ScreenFixture.h"
#include "vantor/app/SequenceRunner.h"
#include "vantor/measure/Measurements.h"
#include "vantor/measure/RecordSink.h"
#include "vantor/screens/motion/CPlatenDlg.h"

namespace {

using namespace vantor;

// The records published, kept for the test.
class Published {
public:
    Published()
    {
        measure::setRecordListener([this](const QJsonObject& r) {
            std::lock_guard lock(m_lock);
            m_records.push_back(r);
        });
    }
    ~Published() { measure::setRecordListener({}); }
    std::vector<QJsonObject> records()
    {
        std::lock_guard lock(m_lock);
        return m_records;
    }

private:
    std::mutex m_lock;
    std::vector<QJsonObject> m_records;
};

class EveryLine : public vantor::testing::ScreenFixture {
protected:
    // Runs `test` for two cycles with the overrides; returns its step.
    measure::StepRecord run(const QString& test, std::vector<std::pair<QString, QString>> settings = {})
    {
        measure::SequenceDefinition definition;
        definition.name = test;
        measure::SequenceStep step;
        step.test = test;
        step.cycles = 2;
        step.pause = 0;
        step.settings = std::move(settings);
        definition.steps.push_back(step);
        QString error;
        std::unique_ptr<SequenceRunner> runner = SequenceRunner::fromDefinition(definition, QStringLiteral("t"), &error);
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
    QStringList refused;
    for (const RunnableTest& t : runnableTests()) {
        std::vector<std::vector<std::pair<QString, QString>>> runs = {{}};
        for (const auto& [name, settings] : variants)
            if (name == t.name())
                runs.push_back(settings);
        for (const auto& settings : runs) {
            const measure::StepRecord step = run(t.name(), settings);
            if (step.verdict == measure::Verdict::Error) {
                // Refused before its first request, so it wrote no line.
                EXPECT_TRUE(step.lines.isEmpty()) << qPrintable(t.name());
                refused << t.name();
                continue;
            }
            ++tests;
            EXPECT_GT(step.lines.size(), 2) << qPrintable(t.name());
            EXPECT_EQ(step.measurements.unknown, QStringList()) << qPrintable(t.name());
            measured += !step.measurements.values.empty() || !step.measurements.series.empty();
        }
    }
    // The ribbon drive section keeps no moves: it runs from its dialog only.
    EXPECT_EQ(refused, QStringList{QStringLiteral("Ribbon Drive Test")});
    EXPECT_GE(tests, 20);
    // Only the plain print tests write no measurement.
    EXPECT_GE(measured, tests - 2);
}

TEST_F(EveryLine, OverridesReachTheRunButNotTheStoredRecord)
{
    startSimulator();
    Published published;
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
    // The sequence's record went to the records store too.
    const std::vector<QJsonObject> got = published.records();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0][QStringLiteral("kind")].toString(), QStringLiteral("sequence"));
    EXPECT_EQ(got[0][QStringLiteral("steps")].toArray()[0].toObject()[QStringLiteral("series")].toArray().size(), 2);
}

TEST_F(EveryLine, UnknownKeysTestsAndLimitNamesAreRefusedWithTheChoices)
{
    measure::SequenceDefinition definition;
    definition.name = QStringLiteral("x");
    measure::SequenceStep a;
    a.test = QStringLiteral("Platen Tset");
    measure::SequenceStep b;
    b.test = QStringLiteral("Platen Test");
    b.settings = {{QStringLiteral("TotalPulse"), QStringLiteral("1")}};
    b.limits = {*measure::parseLimit(QStringLiteral("Total encoded=1..2"), nullptr)};
    measure::SequenceStep c;
    c.test = QStringLiteral("Ejector Test");
    c.cycles = 0;
    definition.steps = {a, b, c};
    QString error;
    EXPECT_FALSE(SequenceRunner::fromDefinition(definition, QStringLiteral("f.json"), &error));
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

TEST_F(EveryLine, ADialogRunPublishesItsRecordWithTheListsLines)
{
    startSimulator();
    Published published;
    CPlatenDlg dlg;
    ui::testing::DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(runCycles(h, 2));
    const std::vector<QJsonObject> got = published.records();
    ASSERT_EQ(got.size(), 1u);
    const QJsonObject& rec = got.front();
    EXPECT_EQ(vantor::testing::schemaViolations(vantor::testing::recordSchema(), rec), QStringList());
    EXPECT_EQ(rec[QStringLiteral("verdict")].toString(), QStringLiteral("PASS"));
    const QJsonObject step = rec[QStringLiteral("steps")].toArray()[0].toObject();
    EXPECT_EQ(step[QStringLiteral("section")].toString(), QStringLiteral("Platen"));
    EXPECT_EQ(step[QStringLiteral("cycles")].toObject()[QStringLiteral("done")].toInt(), 2);
    QStringList lines;
    for (const QJsonValue& l : step[QStringLiteral("lines")].toArray())
        lines << l.toString();
    EXPECT_EQ(lines, results(h)); // the list itself is unchanged
    const QJsonArray ms = step[QStringLiteral("measurements")].toArray();
    ASSERT_EQ(ms.size(), 2);
    EXPECT_EQ(ms[1].toObject()[QStringLiteral("name")].toString(), QStringLiteral("Total encode"));
    EXPECT_EQ(ms[1].toObject()[QStringLiteral("cycle")].toInt(), 2);
    EXPECT_TRUE(step[QStringLiteral("settings")].toObject().contains(QStringLiteral("TotalPulses")));
    h.pressEscape();
    EXPECT_EQ(published.records().size(), 1u); // closing an idle dialog publishes nothing more
}

TEST_F(EveryLine, AStoppedDialogRunIsPublishedAbortedOnceTheWorkerIsIdle)
{
    startSimulator();
    Published published;
    CPlatenDlg dlg;
    ui::testing::DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("100000")));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_TRUE(advanceUntil([&] { return results(h).size() > 3; }));
    ASSERT_TRUE(h.click(IDC_STOP));
    ASSERT_TRUE(advanceUntil([&] { return h.enabled(IDC_RUN); }));
    const std::vector<QJsonObject> got = published.records();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0][QStringLiteral("verdict")].toString(), QStringLiteral("ABORTED"));
    const QJsonObject step = got[0][QStringLiteral("steps")].toArray()[0].toObject();
    // Every line the list took, the stopped cycle's included.
    EXPECT_EQ(step[QStringLiteral("lines")].toArray().size(), results(h).size());
    h.pressEscape();
    EXPECT_EQ(published.records().size(), 1u);
}

} // namespace
