// The station's widget-free state: verdicts and step states from the run's
// reports, progress, elapsed time on the manual clock, the recent list and
// the hand-over from the worker.
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QFile>
#include <gtest/gtest.h>

#include "vantor/station/RecentSequences.h"
#include "vantor/station/StationInbox.h"
#include "vantor/station/StationModel.h"

namespace vantor::station {
namespace {

using namespace std::chrono_literals;

SequencePlan threeSteps()
{
    SequencePlan p;
    p.name = QStringLiteral("Final test");
    p.steps = {{QStringLiteral("Platen Test"), 5, {{QStringLiteral("Total encode"), QStringLiteral("1700..1900")}},
                QStringLiteral("Platen")},
               {QStringLiteral("Ejector Test"), 3, {}, QStringLiteral("ejector")},
               {QStringLiteral("Platen Life Test"), 2, {}, QStringLiteral("PlatenLife")}};
    return p;
}

QJsonObject step(int index, const char* verdict, QJsonArray measurements = {}, const char* reason = nullptr)
{
    QJsonObject s{{"index", index}, {"verdict", verdict}, {"measurements", measurements}};
    if (reason)
        s.insert(QStringLiteral("reason"), reason);
    return s;
}

QJsonObject numeric(const char* name, double value, const char* limit, const char* verdict, int cycle = 1)
{
    return {{"name", name}, {"cycle", cycle}, {"value", value}, {"unit", "counts"}, {"limit", limit}, {"verdict", verdict}};
}

TEST(StationModel, TakesEachStepsStateAndTheVerdictFromTheRecord)
{
    struct Case {
        const char* what;
        QJsonArray steps;
        const char* verdict;
        std::vector<StepState> states;
    };
    const std::vector<Case> cases = {
        {"all pass", {step(0, "PASS"), step(1, "PASS"), step(2, "PASS")}, "PASS",
         {StepState::Pass, StepState::Pass, StepState::Pass}},
        {"a failed middle step, the rest skipped", {step(0, "PASS"), step(1, "FAIL"), step(2, "SKIPPED")}, "FAIL",
         {StepState::Pass, StepState::Fail, StepState::Skipped}},
        {"stopped in the second step, the third never ran", {step(0, "PASS"), step(1, "ABORTED")}, "ABORTED",
         {StepState::Pass, StepState::Aborted, StepState::Waiting}},
        {"refused first step", {step(0, "ERROR", {}, "no driver")}, "ERROR",
         {StepState::Error, StepState::Waiting, StepState::Waiting}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StationModel m;
        ASSERT_TRUE(m.setSequence(threeSteps()));
        m.begin(QStringLiteral("SN1"));
        EXPECT_EQ(m.verdict(), QStringLiteral("RUNNING"));
        m.finished({{"verdict", c.verdict}, {"steps", c.steps}});
        EXPECT_FALSE(m.running());
        EXPECT_EQ(m.verdict(), QString::fromLatin1(c.verdict));
        ASSERT_EQ(m.steps().size(), c.states.size());
        for (size_t i = 0; i < c.states.size(); ++i)
            EXPECT_EQ(stateText(m.steps()[i].state), stateText(c.states[i])) << "step " << i;
    }
}

TEST(StationModel, AStepStillRunningWhenTheRunEndsTakesTheRunsVerdict)
{
    StationModel m;
    m.setSequence(threeSteps());
    m.begin({});
    m.stepStarted(0);
    EXPECT_EQ(m.currentStep(), 0);
    m.finished({{"verdict", "ABORTED"}});
    EXPECT_EQ(m.steps()[0].state, StepState::Aborted);
    EXPECT_EQ(m.currentStep(), -1);
}

TEST(StationModel, NamesTheFailingMeasurementsOrTheReason)
{
    const QJsonObject runMotor{{"name", "Run motor"}, {"cycle", 2}, {"ok", false}, {"unit", ""},
                               {"limit", "OK"}, {"verdict", "FAIL"}};
    struct Case {
        QJsonObject step;
        QString text;
    };
    const std::vector<Case> cases = {
        {step(0, "FAIL", {numeric("Total encode", 1800, "1700..1900", "PASS"),
                          numeric("Total encode", 1789, "1700..1750", "FAIL", 3)}),
         QStringLiteral("Total encode = 1789 counts (limit 1700..1750), cycle 3")},
        {step(0, "FAIL", {runMotor}), QStringLiteral("Run motor FAIL (limit OK), cycle 2")},
        {step(0, "FAIL",
              {numeric("A", 1, "2..3", "FAIL"), numeric("B", 1, "2..3", "FAIL"), numeric("C", 1, "2..3", "FAIL"),
               numeric("D", 1, "2..3", "FAIL")}),
         QStringLiteral("A = 1 counts (limit 2..3), cycle 1; B = 1 counts (limit 2..3), cycle 1; 2 more")},
        {step(0, "FAIL", {numeric("Total encode", 1800, "1700..1900", "PASS")}, "2. Run Platen - FAIL"),
         QStringLiteral("2. Run Platen - FAIL")},
        {step(0, "ERROR", {}, "The printer driver PRN1: does not answer"),
         QStringLiteral("The printer driver PRN1: does not answer")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StationModel::failingText(c.step), c.text);

    StationModel m;
    m.setSequence(threeSteps());
    m.begin({});
    m.stepEnded(0, step(0, "PASS", {}, "ignored for a pass"));
    m.stepEnded(1, cases[0].step);
    EXPECT_EQ(m.steps()[0].failing, QString());
    EXPECT_EQ(m.steps()[1].failing, cases[0].text);
}

TEST(StationModel, CountsProgressPerStepAndForTheWholeSequence)
{
    StationModel m;
    m.setSequence(threeSteps());
    EXPECT_EQ(m.cyclesTotal(), 10);
    m.begin({});
    m.stepStarted(0);
    m.cycleDone(0, 1, 5);
    m.cycleDone(0, 2, 5);
    EXPECT_EQ(m.steps()[0].done, 2);
    EXPECT_EQ(m.cyclesDone(), 2);
    // A test made of several runs counts more cycles than the plan gave.
    m.stepStarted(1);
    m.cycleDone(1, 1, 9);
    EXPECT_EQ(m.cyclesTotal(), 16);
    EXPECT_EQ(m.cyclesDone(), 3);
    // Reports about steps that do not exist change nothing.
    m.cycleDone(7, 1, 100);
    m.stepStarted(-1);
    EXPECT_EQ(m.cyclesTotal(), 16);
    EXPECT_EQ(m.currentStep(), 1);
    // The next run starts from nothing.
    m.finished({{"verdict", "PASS"}});
    m.begin({});
    EXPECT_EQ(m.cyclesDone(), 0);
    EXPECT_EQ(m.cyclesTotal(), 10);
}

TEST(StationModel, ElapsedRunsOnTheClockInForceAndStopsAtTheEnd)
{
    platform::ManualClock clock;
    platform::ScopedClock use(clock);
    StationModel m;
    m.setSequence(threeSteps());
    EXPECT_EQ(m.elapsed(), 0ms);
    clock.advance(5s);
    m.begin({});
    clock.advance(7350ms);
    EXPECT_EQ(m.elapsed(), 7350ms);
    EXPECT_EQ(StationModel::formatElapsed(m.elapsed()), QStringLiteral("0:00:07.3"));
    m.finished({{"verdict", "PASS"}});
    clock.advance(1h);
    EXPECT_EQ(m.elapsed(), 7350ms);
    EXPECT_EQ(StationModel::formatElapsed(3723400ms), QStringLiteral("1:02:03.4"));
}

TEST(StationModel, KeepsItsSequenceWhileARunIsInProgress)
{
    StationModel m;
    m.setSequence(threeSteps());
    m.begin({});
    SequencePlan other;
    other.name = QStringLiteral("Other");
    EXPECT_FALSE(m.setSequence(other));
    EXPECT_EQ(m.sequence()->name, QStringLiteral("Final test"));
    m.refused();
    EXPECT_FALSE(m.running());
    EXPECT_EQ(m.verdict(), QString());
    EXPECT_TRUE(m.setSequence(other));
}

TEST(RecentSequences, KeepsTheFiveLastUsedNewestFirstAcrossRestarts)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Station.recent"));
    auto path = [&](int i) { return dir.filePath(QStringLiteral("s%1.json").arg(i)); };
    {
        RecentSequences r(file);
        EXPECT_TRUE(r.paths().isEmpty());
        for (int i = 1; i <= 7; ++i)
            ASSERT_TRUE(r.add(path(i)));
        // Used again: to the front, not twice.
        ASSERT_TRUE(r.add(dir.path() + QStringLiteral("/./s4.json")));
        EXPECT_EQ(r.paths(), (QStringList{path(4), path(7), path(6), path(5), path(3)}));
    }
    RecentSequences again(file);
    EXPECT_EQ(again.paths(), (QStringList{path(4), path(7), path(6), path(5), path(3)}));
}

TEST(RecentSequences, ReadsAFileWithBlankAndRepeatedLines)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Station.recent"));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("/a/one.json\n\n  /a/two.json  \r\n/a/one.json\n/a/3\n/a/4\n/a/5\n/a/6\n");
    f.close();
    RecentSequences r(file);
    EXPECT_EQ(r.paths(), (QStringList{"/a/one.json", "/a/two.json", "/a/3", "/a/4", "/a/5"}));
}

TEST(RecentSequences, SaysWhenTheFileCannotBeWritten)
{
    QTemporaryDir dir;
    RecentSequences r(dir.filePath(QStringLiteral("missing/folder/Station.recent")));
    EXPECT_FALSE(r.add(QStringLiteral("/a/one.json")));
    EXPECT_EQ(r.paths(), QStringList{QStringLiteral("/a/one.json")});
}

TEST(StationInbox, HandsOverInOrderWakesOnceAndDropsAfterClose)
{
    int wakes = 0;
    StationInbox inbox([&] { ++wakes; });
    inbox.stepStarted(0);
    inbox.lines(0, {QStringLiteral("a")});
    inbox.lines(0, {QStringLiteral("b"), QStringLiteral("c")});
    inbox.cycleDone(0, 1, 2);
    inbox.lines(0, {QStringLiteral("d")});
    inbox.stepEnded(0, {{"verdict", "PASS"}});
    EXPECT_EQ(wakes, 1);
    std::vector<RunReport> got = inbox.take();
    ASSERT_EQ(got.size(), 5u);
    EXPECT_EQ(got[0].kind, RunReport::StepStarted);
    EXPECT_EQ(got[1].lines, (QStringList{"a", "b", "c"}));
    EXPECT_EQ(got[2].kind, RunReport::CycleDone);
    EXPECT_EQ(got[2].done, 1);
    EXPECT_EQ(got[2].total, 2);
    EXPECT_EQ(got[3].lines, QStringList{"d"});
    EXPECT_EQ(got[4].record.value(QStringLiteral("verdict")).toString(), QStringLiteral("PASS"));

    inbox.finished({});
    EXPECT_EQ(wakes, 2);
    inbox.close();
    inbox.lines(1, {QStringLiteral("late")});
    inbox.finished({});
    EXPECT_TRUE(inbox.take().empty());
    EXPECT_EQ(wakes, 2);
}

} // namespace
} // namespace vantor::station
