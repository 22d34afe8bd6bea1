// The station window's own behaviour, over a runner scripted by the test:
// the scanner's keystrokes, the serial rule, a bad file, keyboard order,
// names for assistive clients, history and closing in the middle of a run.
#include <QAccessible>
#include <QJsonArray>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <map>

#include "ui/ResultList.h"
#include "unittests/vantor/testing/ScreenFixture.h"
#include "vantor/station/RecordView.h"
#include "vantor/station/StationWindow.h"

namespace vantor::station {
namespace {

class ScriptedEngine final : public SequenceEngine {
public:
    LoadResult load(const QString& path) override
    {
        auto it = files.find(path);
        if (it == files.end())
            return {std::nullopt, path + QStringLiteral(":1:1: cannot open the file")};
        return it->second;
    }
    QString start(const SequencePlan& plan, const QString& serial, RunEvents& e) override
    {
        if (!refusal.isEmpty())
            return refusal;
        started << serial;
        startedPlan = plan.name;
        events = &e;
        return {};
    }
    void stop() override { ++stops; }
    void close() override { ++closes; }

    std::map<QString, LoadResult> files;
    QString refusal;
    QStringList started;
    QString startedPlan;
    RunEvents* events = nullptr;
    int stops = 0;
    int closes = 0;
};

class ScriptedHistory final : public StationHistory {
public:
    QList<QJsonObject> runs(const QString& serial, const QString& station, int limit, QString*) override
    {
        QList<QJsonObject> out;
        for (const QJsonObject& r : stored)
            if ((serial.isEmpty() ? r.value("station").toString() == station : r.value("serial").toString() == serial) &&
                out.size() < limit)
                out << r;
        return out;
    }
    std::optional<QJsonObject> record(const QString& uuid) override
    {
        for (const QJsonObject& r : stored)
            if (r.value("uuid").toString() == uuid)
                return r;
        return std::nullopt;
    }
    QList<QJsonObject> stored;
};

SequencePlan plan(const QString& name, int steps, bool serialRequired = false)
{
    SequencePlan p;
    p.name = name;
    p.serialRequired = serialRequired;
    for (int i = 0; i < steps; ++i)
        p.steps.push_back({QStringLiteral("Platen Test"), 2, {{QStringLiteral("Total encode"), QStringLiteral("1700..1900")}}, QStringLiteral("Platen")});
    return p;
}

class StationWindowTest : public vantor::testing::ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        good = dir.filePath(QStringLiteral("good.json"));
        other = dir.filePath(QStringLiteral("other.json"));
        engine.files[good] = {plan(QStringLiteral("Final test"), 2), {}};
        engine.files[other] = {plan(QStringLiteral("Quick test"), 1, true), {}};
        engine.files[dir.filePath(QStringLiteral("bad.json"))] = {
            std::nullopt, dir.filePath(QStringLiteral("bad.json")) + QStringLiteral(":3:14: expected ',' or '}'")};
        window = std::make_unique<StationWindow>(engine, &history,
                                                 RecentSequences(dir.filePath(QStringLiteral("Station.recent"))));
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override
    {
        window.reset();
        ScreenFixture::TearDown();
    }

    void scan(const QString& serial)
    {
        window->serialEdit()->setFocus();
        window->serialEdit()->clear();
        QTest::keyClicks(window->serialEdit(), serial);
        QTest::keyClick(window->serialEdit(), Qt::Key_Return);
    }
    QString stepCell(int row, int column) const { return window->stepList()->topLevelItem(row)->text(column); }
    // A whole passing run of the two-step sequence, as the runner reports it.
    void reportPassingRun(const QString& serial, const QString& uuid)
    {
        QJsonArray steps;
        for (int s = 0; s < 2; ++s) {
            engine.events->stepStarted(s);
            engine.events->lines(s, {QStringLiteral("== Start =="), QStringLiteral("1. Total encode = 1800 ")});
            engine.events->cycleDone(s, 1, 2);
            engine.events->cycleDone(s, 2, 2);
            engine.events->lines(s, {QStringLiteral("== End =="), QStringLiteral(" ")});
            QJsonObject step{{"index", s}, {"test", "Platen Test"}, {"verdict", "PASS"},
                             {"cycles", QJsonObject{{"requested", 2}, {"done", 2}}},
                             {"lines", QJsonArray{"== Start ==", "1. Total encode = 1800 ", "== End ==", " "}}};
            engine.events->stepEnded(s, step);
            steps << step;
        }
        engine.events->finished({{"uuid", uuid}, {"name", "Final test"}, {"serial", serial},
                                 {"station", window->stationName()}, {"start", "2026-12-09T17:02:03.123+00:00"},
                                 {"verdict", "PASS"}, {"steps", steps}});
    }

    ScriptedEngine engine;
    ScriptedHistory history;
    std::unique_ptr<StationWindow> window;
    QString good, other;
};

TEST_F(StationWindowTest, EveryControlHasItsAccessibleName)
{
    const std::vector<std::pair<QWidget*, const char*>> named = {
        {window->sequenceChooser(), "Sequence"}, {window->serialEdit(), "Serial number"},
        {window->startButton(), "Start"},        {window->stopButton(), "Stop"},
        {window->stepList(), "Steps"},           {window->verdictLabel(), "Verdict"},
        {window->historyList(), "History"},      {window->resultList(), "Results"},
        {window->sequenceProgress(), "Sequence progress"}, {window->elapsedLabel(), "Elapsed time"},
    };
    for (const auto& [widget, name] : named) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->text(QAccessible::Name), QString::fromLatin1(name));
    }
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vantor Station"));
}

TEST_F(StationWindowTest, ScannerKeystrokesEndingInEnterStartTheRun)
{
    // Nothing to run yet: the scan is refused with a word, not silently.
    scan(QStringLiteral("SN0041"));
    EXPECT_TRUE(engine.started.isEmpty());
    ASSERT_EQ(prompts.texts(), QStringList{QStringLiteral("Choose a sequence first.")});

    ASSERT_TRUE(window->openSequence(good));
    EXPECT_TRUE(window->startButton()->isEnabled());
    scan(QStringLiteral("SN0042"));
    ASSERT_EQ(engine.started, QStringList{QStringLiteral("SN0042")});
    EXPECT_EQ(window->verdictLabel()->text(), QStringLiteral("RUNNING"));
    EXPECT_FALSE(window->startButton()->isEnabled());
    EXPECT_TRUE(window->stopButton()->isEnabled());
    EXPECT_FALSE(window->sequenceChooser()->isEnabled());
    // Another Enter during the run starts nothing.
    QTest::keyClick(window->serialEdit(), Qt::Key_Return);
    EXPECT_EQ(engine.started.size(), 1);
    // The elapsed time is the clock's, shown as reports arrive.
    clock.advance(std::chrono::milliseconds(2500));
    engine.events->stepStarted(0);
    ASSERT_TRUE(ui::testing::processUntil([&] { return stepCell(0, 3) == QStringLiteral("running"); }));
    EXPECT_EQ(window->elapsedLabel()->text(), QStringLiteral("Elapsed 0:00:02.5"));

    reportPassingRun(QStringLiteral("SN0042"), QStringLiteral("uuid-1"));
    ASSERT_TRUE(ui::testing::processUntil([&] { return !window->model().running(); }));
    EXPECT_EQ(window->verdictLabel()->text(), QStringLiteral("PASS"));
    EXPECT_TRUE(window->verdictLabel()->styleSheet().contains(QStringLiteral("#1b7a2e")));
    EXPECT_EQ(window->verdictLabel()->accessibleDescription(), QStringLiteral("Verdict: PASS"));
    EXPECT_EQ(stepCell(0, 3), QStringLiteral("PASS"));
    EXPECT_EQ(stepCell(1, 5), QStringLiteral("2 of 2"));
    EXPECT_EQ(window->sequenceProgress()->value(), 4);
    // The list shows the last step's lines only.
    EXPECT_EQ(window->resultList()->lines(),
              (QStringList{"== Start ==", "1. Total encode = 1800 ", "== End ==", " "}));
    EXPECT_TRUE(window->startButton()->isEnabled());
    EXPECT_FALSE(window->stopButton()->isEnabled());
    // Ready for the next unit: the next scan replaces the serial.
    EXPECT_EQ(window->serialEdit()->selectedText(), QStringLiteral("SN0042"));
    QTest::keyClicks(window->serialEdit(), QStringLiteral("SN0043"));
    QTest::keyClick(window->serialEdit(), Qt::Key_Enter);
    EXPECT_EQ(engine.started, (QStringList{"SN0042", "SN0043"}));
}

TEST_F(StationWindowTest, RefusesAnEmptySerialWhenTheSequenceRequiresOne)
{
    ASSERT_TRUE(window->openSequence(other));
    for (const QString& serial : {QString(), QStringLiteral("   ")}) {
        prompts.clear();
        window->serialEdit()->setText(serial);
        QTest::mouseClick(window->startButton(), Qt::LeftButton);
        EXPECT_TRUE(engine.started.isEmpty());
        ASSERT_EQ(prompts.count(), 1u);
        EXPECT_EQ(prompts.texts()[0], QStringLiteral("\"Quick test\" needs a serial number: scan or type it, then Start."));
        EXPECT_EQ(window->verdictLabel()->text(), QStringLiteral("READY"));
    }
    // Without the requirement an empty serial runs.
    ASSERT_TRUE(window->openSequence(good));
    window->serialEdit()->clear();
    QTest::mouseClick(window->startButton(), Qt::LeftButton);
    EXPECT_EQ(engine.started, QStringList{QString()});
}

TEST_F(StationWindowTest, ARunTheRunnerRefusesSaysWhyAndLeavesTheWindowReady)
{
    ASSERT_TRUE(window->openSequence(good));
    engine.refusal = QStringLiteral("Unknown test \"Platen Tset\"");
    QTest::mouseClick(window->startButton(), Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList{engine.refusal});
    EXPECT_FALSE(window->model().running());
    EXPECT_TRUE(window->startButton()->isEnabled());
    EXPECT_EQ(window->verdictLabel()->text(), QStringLiteral("READY"));
}

TEST_F(StationWindowTest, ABadFileShowsWhereItIsWrongAndKeepsThePreviousSequence)
{
    ASSERT_TRUE(window->openSequence(good));
    const QString bad = dir.filePath(QStringLiteral("bad.json"));
    prompts.answerFile(bad);
    QTest::mouseClick(window->openButton(), Qt::LeftButton);
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_EQ(prompts.texts()[0], bad + QStringLiteral(":3:14: expected ',' or '}'"));
    EXPECT_EQ(window->model().sequence()->name, QStringLiteral("Final test"));
    EXPECT_EQ(window->stepList()->topLevelItemCount(), 2);
    EXPECT_EQ(window->recent().paths(), QStringList{good});
    EXPECT_EQ(window->sequenceChooser()->currentData().toString(), good);
    EXPECT_TRUE(window->startButton()->isEnabled());
}

TEST_F(StationWindowTest, ShowsTheStepsWithTheirLimitsAndOffersTheLastUsed)
{
    ASSERT_TRUE(window->openSequence(other));
    ASSERT_TRUE(window->openSequence(good));
    EXPECT_EQ(window->stepList()->topLevelItemCount(), 2);
    EXPECT_EQ(stepCell(0, 1), QStringLiteral("Platen Test"));
    EXPECT_EQ(stepCell(0, 2), QStringLiteral("Total encode 1700..1900"));
    EXPECT_EQ(stepCell(0, 3), QStringLiteral("waiting"));
    EXPECT_EQ(stepCell(0, 5), QStringLiteral("0 of 2"));
    ASSERT_EQ(window->sequenceChooser()->count(), 2);
    EXPECT_EQ(window->sequenceChooser()->itemData(0).toString(), good);
    // Choosing the other from the list loads it.
    window->sequenceChooser()->setFocus();
    QTest::keyClick(window->sequenceChooser(), Qt::Key_Down);
    EXPECT_EQ(window->model().sequence()->name, QStringLiteral("Quick test"));
    EXPECT_EQ(window->stepList()->topLevelItemCount(), 1);
    // The list survives the window.
    window.reset();
    RecentSequences again(dir.filePath(QStringLiteral("Station.recent")));
    EXPECT_EQ(again.paths(), (QStringList{other, good}));
}

TEST_F(StationWindowTest, TabGoesSerialStartStepsHistory)
{
    ASSERT_TRUE(window->openSequence(good));
    window->serialEdit()->setFocus();
    auto tabbed = [&] {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget();
    };
    EXPECT_EQ(tabbed(), window->startButton());
    EXPECT_EQ(tabbed(), window->stepList());
    EXPECT_EQ(tabbed(), window->historyList());
    // While a run is on, Start sleeps and Stop takes its place.
    scan(QStringLiteral("SN1"));
    window->serialEdit()->setFocus();
    EXPECT_EQ(tabbed(), window->stopButton());
    EXPECT_EQ(tabbed(), window->stepList());
}

TEST_F(StationWindowTest, HistoryListsTheSerialsAndTheStationsRunsAndOpensARecord)
{
    QJsonObject measured{{"name", "Total encode"}, {"cycle", 1}, {"value", 1789}, {"unit", "counts"},
                         {"limit", "1700..1750"}, {"verdict", "FAIL"}};
    QJsonObject step{{"index", 0}, {"test", "Platen Test"}, {"verdict", "FAIL"},
                     {"cycles", QJsonObject{{"requested", 1}, {"done", 1}}},
                     {"measurements", QJsonArray{measured}},
                     {"lines", QJsonArray{"== Start ==", "1. Total encode = 1789 ", "== End ==", " "}}};
    history.stored = {
        {{"uuid", "u-old"}, {"name", "Final test"}, {"serial", "SN7"}, {"station", window->stationName()},
         {"start", "2026-12-08T10:00:00.000+00:00"}, {"verdict", "FAIL"}, {"steps", QJsonArray{step}}},
        {{"uuid", "u-else"}, {"name", "Final test"}, {"serial", "SN8"}, {"station", "elsewhere"},
         {"start", "2026-12-08T11:00:00.000+00:00"}, {"verdict", "PASS"}},
    };
    window->serialEdit()->setText(QStringLiteral("SN7"));
    window->refreshHistory();
    QTreeWidget* list = window->historyList();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("Serial SN7"));
    ASSERT_EQ(list->topLevelItem(0)->childCount(), 1);
    QTreeWidgetItem* run = list->topLevelItem(0)->child(0);
    EXPECT_EQ(run->text(3), QStringLiteral("FAIL"));
    // The station's runs: not the one of the other station.
    ASSERT_EQ(list->topLevelItem(1)->childCount(), 1);
    EXPECT_EQ(list->topLevelItem(1)->child(0)->data(0, Qt::UserRole).toString(), QStringLiteral("u-old"));

    const QRect at = list->visualItemRect(run);
    ASSERT_TRUE(at.isValid());
    // The press that a double click begins with, then the double click.
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at.center());
    ui::testing::processEvents();
    RecordView* view = window->findChild<RecordView*>();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(view->summary()->text().contains(QStringLiteral("Verdict: FAIL")));
    QTreeWidgetItem* shown = view->steps()->topLevelItem(0);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->text(0), QStringLiteral("1. Platen Test"));
    ASSERT_EQ(shown->childCount(), 1);
    EXPECT_EQ(shown->child(0)->text(2), QStringLiteral("1789 counts"));
    EXPECT_EQ(shown->child(0)->text(3), QStringLiteral("1700..1750"));
    EXPECT_EQ(shown->child(0)->text(4), QStringLiteral("FAIL"));
    EXPECT_EQ(view->lines()->lines(), (QStringList{"== Start ==", "1. Total encode = 1789 ", "== End ==", " "}));
}

TEST_F(StationWindowTest, ARunOfThisWindowIsInTheHistoryBeforeTheStoreHasIt)
{
    ASSERT_TRUE(window->openSequence(good));
    scan(QStringLiteral("SN5"));
    reportPassingRun(QStringLiteral("SN5"), QStringLiteral("u-new"));
    ASSERT_TRUE(ui::testing::processUntil([&] { return !window->model().running(); }));
    QTreeWidget* list = window->historyList();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    ASSERT_EQ(list->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->child(0)->data(0, Qt::UserRole).toString(), QStringLiteral("u-new"));
    EXPECT_EQ(list->topLevelItem(0)->child(0)->text(3), QStringLiteral("PASS"));
    // Once the store has it, it is listed once.
    history.stored = {window->model().lastRecord()};
    window->refreshHistory();
    EXPECT_EQ(list->topLevelItem(0)->childCount(), 1);
}

TEST_F(StationWindowTest, ClosingInTheMiddleOfARunStopsTheRunnerAndDropsLateReports)
{
    ASSERT_TRUE(window->openSequence(good));
    scan(QStringLiteral("SN9"));
    engine.events->stepStarted(0);
    ASSERT_TRUE(ui::testing::processUntil([&] { return stepCell(0, 3) == QStringLiteral("running"); }));
    QTest::mouseClick(window->stopButton(), Qt::LeftButton);
    EXPECT_EQ(engine.stops, 1);
    window->close();
    EXPECT_EQ(engine.closes, 1);
    // A report the worker makes after the close reaches no one.
    engine.events->finished({{"verdict", "ABORTED"}});
    ui::testing::processEvents();
    EXPECT_TRUE(window->model().running());
    window.reset();
    EXPECT_EQ(engine.closes, 1);
}

} // namespace
} // namespace vantor::station
