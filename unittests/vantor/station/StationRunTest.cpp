// The station window over the program's sequence runner, against the
// simulated printer (or a held recording device, or no driver at all):
// passing and failing sequences, Stop in the middle, a bad file, the serial
// rule, and the records the runs leave.
#include <QFile>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTreeWidget>
#include <mutex>

#include "ui/ResultList.h"
#include "unittests/vantor/testing/ScreenFixture.h"
#include "vantor/measure/RecordSink.h"
#include "vantor/station/StationEngine.h"
#include "platform/ProgramOptions.h"
#include "vantor/app/CommandLine.h"
#include "vantor/station/StationMain.h"
#include "vantor/station/StationWindow.h"

namespace vantor::station {
namespace {

class StationRunTest : public vantor::testing::ScreenFixture {
protected:
    void SetUp() override
    {
        ScreenFixture::SetUp();
        measure::setRecordListener([this](const QJsonObject& r) {
            std::lock_guard l(m_lock);
            m_records << r;
        });
        window = std::make_unique<StationWindow>(engine, nullptr,
                                                 RecentSequences(dir.filePath(QStringLiteral("Station.recent"))));
        window->show();
    }
    void TearDown() override
    {
        window.reset();
        measure::setRecordListener({});
        ScreenFixture::TearDown();
    }

    QString sequenceFile(const QString& name, const QByteArray& json)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(json);
        return path;
    }
    // Platen runs, then an ejector step; `encode` limits the platen's count.
    QString platenThenEjector(const char* encode, bool serialRequired = false)
    {
        return sequenceFile(QStringLiteral("line.json"),
                            QByteArray("{ \"name\": \"Line test\", \"serialRequired\": ") +
                                (serialRequired ? "true" : "false") +
                                ", \"steps\": ["
                                "{ \"test\": \"Platen Test\", \"cycles\": 3, \"pause\": 0,"
                                "  \"limits\": { \"Total encode\": \"" +
                                encode +
                                "\" } },"
                                "{ \"test\": \"Ejector Test\", \"cycles\": 2, \"pause\": 0 } ] }");
    }
    void scan(const QString& serial)
    {
        window->serialEdit()->setFocus();
        window->serialEdit()->clear();
        QTest::keyClicks(window->serialEdit(), serial);
        QTest::keyClick(window->serialEdit(), Qt::Key_Return);
    }
    bool runEnds()
    {
        return advanceUntil([&] { return !window->model().running(); });
    }
    QString cell(int row, int column) const { return window->stepList()->topLevelItem(row)->text(column); }
    QList<QJsonObject> records()
    {
        std::lock_guard l(m_lock);
        return m_records;
    }

    StationEngine engine;
    std::unique_ptr<StationWindow> window;

private:
    std::mutex m_lock;
    QList<QJsonObject> m_records;
};

TEST_F(StationRunTest, APassingSequenceFromAScannedSerialEndsInPassAndIsRecorded)
{
    startSimulator();
    ASSERT_TRUE(window->openSequence(platenThenEjector("1..1000000")));
    EXPECT_EQ(cell(0, 2), QStringLiteral("Total encode 1..1000000"));
    EXPECT_EQ(cell(1, 5), QStringLiteral("0 of 2"));
    scan(QStringLiteral("SN-PASS-1"));
    ASSERT_TRUE(window->model().running());
    ASSERT_TRUE(runEnds());
    EXPECT_TRUE(prompts.texts().isEmpty()) << prompts.texts().join(u'|').toStdString();
    EXPECT_EQ(window->verdictLabel()->text(), QStringLiteral("PASS"));
    EXPECT_TRUE(window->verdictLabel()->styleSheet().contains(QStringLiteral("#1b7a2e")));
    for (int row : {0, 1})
        EXPECT_EQ(cell(row, 3), QStringLiteral("PASS")) << "step " << row;
    EXPECT_EQ(cell(0, 5), QStringLiteral("3 of 3"));
    EXPECT_EQ(cell(1, 5), QStringLiteral("2 of 2"));
    EXPECT_EQ(window->sequenceProgress()->value(), 5);
    EXPECT_EQ(window->sequenceProgress()->maximum(), 5);
    // The list holds the running (last) step's lines: the ejector's run.
    const QStringList lines = window->resultList()->lines();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.front(), QStringLiteral("== Start =="));
    EXPECT_EQ(lines.back(), QStringLiteral(" "));
    // Their "Plot" reads them with the ejector's table, not the platen's.
    EXPECT_EQ(window->resultsStep(), 1);
    EXPECT_EQ(sectionOfLines(*window->resultList()), QStringLiteral("ejector"));

    ASSERT_EQ(records().size(), 1);
    const QJsonObject r = records().front();
    EXPECT_EQ(r.value("serial").toString(), QStringLiteral("SN-PASS-1"));
    EXPECT_EQ(r.value("kind").toString(), QStringLiteral("sequence"));
    EXPECT_EQ(r.value("verdict").toString(), QStringLiteral("PASS"));
    EXPECT_EQ(r.value("steps").toArray().size(), 2);
    // The run is in the history at once, under its serial.
    ASSERT_GE(window->historyList()->topLevelItemCount(), 1);
    ASSERT_EQ(window->historyList()->topLevelItem(0)->childCount(), 1);
    EXPECT_EQ(window->historyList()->topLevelItem(0)->child(0)->data(0, Qt::UserRole).toString(),
              r.value("uuid").toString());
}

TEST_F(StationRunTest, ALimitTheSimulatorMissesEndsInFailNamingTheMeasurement)
{
    startSimulator();
    ASSERT_TRUE(window->openSequence(platenThenEjector("0..1")));
    scan(QStringLiteral("SN-FAIL-1"));
    ASSERT_TRUE(runEnds());
    EXPECT_EQ(window->verdictLabel()->text(), QStringLiteral("FAIL"));
    EXPECT_TRUE(window->verdictLabel()->styleSheet().contains(QStringLiteral("#c62828")));
    EXPECT_TRUE(window->verdictLabel()->accessibleDescription().startsWith(QStringLiteral("Verdict: FAIL")));
    EXPECT_EQ(cell(0, 3), QStringLiteral("FAIL"));
    EXPECT_TRUE(cell(0, 4).contains(QStringLiteral("Total encode"))) << cell(0, 4).toStdString();
    EXPECT_TRUE(window->reasonLabel()->text().contains(QStringLiteral("Total encode")));
    EXPECT_EQ(cell(1, 3), QStringLiteral("PASS"));
    ASSERT_EQ(records().size(), 1);
    EXPECT_EQ(records().front().value("verdict").toString(), QStringLiteral("FAIL"));
}

TEST_F(StationRunTest, StopInTheMiddleEndsTheCycleAndRecordsAborted)
{
    auto printer = startRecordingPrinter();
    printer->holdRequest(2); // inside the platen's first cycles
    ASSERT_TRUE(window->openSequence(platenThenEjector("1..1000000")));
    scan(QStringLiteral("SN-STOP-1"));
    ASSERT_TRUE(advanceUntil([&] { return printer->count() >= 2 && cell(0, 3) == QStringLiteral("running"); }));
    ASSERT_TRUE(window->stopButton()->isEnabled());
    QTest::mouseClick(window->stopButton(), Qt::LeftButton);
    printer->release();
    ASSERT_TRUE(runEnds());
    EXPECT_EQ(window->verdictLabel()->text(), QStringLiteral("ABORTED"));
    EXPECT_EQ(cell(0, 3), QStringLiteral("ABORTED"));
    EXPECT_NE(cell(0, 5), QStringLiteral("3 of 3"));
    EXPECT_NE(cell(1, 3), QStringLiteral("PASS"));
    ASSERT_EQ(records().size(), 1);
    const QJsonObject r = records().front();
    EXPECT_EQ(r.value("verdict").toString(), QStringLiteral("ABORTED"));
    // The cycle in progress finished; the ejector never ran.
    const QJsonArray steps = r.value("steps").toArray();
    ASSERT_GE(steps.size(), 1);
    const int done = steps[0].toObject().value("cycles").toObject().value("done").toInt();
    EXPECT_GE(done, 1);
    EXPECT_LT(done, 3);
    if (steps.size() > 1) {
        EXPECT_EQ(steps[1].toObject().value("verdict").toString(), QStringLiteral("SKIPPED"));
    }
    EXPECT_TRUE(window->startButton()->isEnabled());
}

TEST_F(StationRunTest, WithoutADriverTheFirstStepIsAnErrorWithItsReason)
{
    stopPrinter();
    ASSERT_TRUE(window->openSequence(platenThenEjector("1..1000000")));
    scan(QStringLiteral("SN-NODRV"));
    ASSERT_TRUE(runEnds());
    EXPECT_EQ(window->verdictLabel()->text(), QStringLiteral("ERROR"));
    EXPECT_EQ(cell(0, 3), QStringLiteral("ERROR"));
    EXPECT_EQ(cell(0, 4), StationEngine::noDriverReason());
    EXPECT_EQ(window->reasonLabel()->text(), StationEngine::noDriverReason());
    EXPECT_EQ(cell(1, 3), QStringLiteral("SKIPPED"));
    ASSERT_EQ(records().size(), 1);
    EXPECT_EQ(records().front().value("verdict").toString(), QStringLiteral("ERROR"));
    EXPECT_EQ(records().front().value("serial").toString(), QStringLiteral("SN-NODRV"));
}

TEST_F(StationRunTest, ABadFileSaysFileLineAndColumnAndThePreviousSequenceStays)
{
    startSimulator();
    ASSERT_TRUE(window->openSequence(platenThenEjector("1..1000000")));
    const QString bad = sequenceFile(QStringLiteral("bad.json"), "{ \"name\": \"Broken\",\n  \"steps\": [ }\n");
    EXPECT_FALSE(window->openSequence(bad));
    ASSERT_EQ(prompts.count(), 1u);
    const QString text = prompts.texts().front();
    EXPECT_TRUE(QRegularExpression(QRegularExpression::escape(bad) + QStringLiteral(":2:\\d+:")).match(text).hasMatch())
        << text.toStdString();
    EXPECT_EQ(window->model().sequence()->name, QStringLiteral("Line test"));
    EXPECT_EQ(window->stepList()->topLevelItemCount(), 2);
    // And it still runs.
    scan(QStringLiteral("SN-AFTER-BAD"));
    ASSERT_TRUE(runEnds());
    EXPECT_EQ(window->verdictLabel()->text(), QStringLiteral("PASS"));
}

TEST_F(StationRunTest, AnEmptySerialIsRefusedWhenTheSequenceRequiresOne)
{
    startSimulator();
    ASSERT_TRUE(window->openSequence(platenThenEjector("1..1000000", true)));
    scan(QString());
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_TRUE(prompts.texts().front().contains(QStringLiteral("needs a serial number")));
    EXPECT_FALSE(window->model().running());
    ui::testing::processEvents();
    EXPECT_TRUE(records().isEmpty());
    scan(QStringLiteral("SN-REQ"));
    ASSERT_TRUE(runEnds());
    EXPECT_EQ(records().size(), 1);
}

TEST(StationArguments, TheWindowOptionTakesOneFileAndNoRun)
{
    using Outcome = platform::CommandLine::Outcome;
    struct Case {
        QStringList args;
        Outcome outcome;
        QString file;
    };
    const std::vector<Case> cases = {
        {{"vantor", "--station"}, Outcome::Window, ""},
        {{"vantor", "--station", "line.json"}, Outcome::Window, "line.json"},
        {{"vantor", "line.json", "--station"}, Outcome::Window, "line.json"},
        {{"vantor", "--station", "a.json", "b.json"}, Outcome::Error, ""},
        {{"vantor", "--station", "--run", "Platen Test"}, Outcome::Error, ""},
        {{"vantor", "line.json"}, Outcome::Error, ""},
    };
    for (const Case& c : cases) {
        const platform::CommandLine cl = platform::parseCommandLine(commandLineInfo(), c.args);
        EXPECT_EQ(cl.outcome, c.outcome) << c.args.join(u' ').toStdString();
        EXPECT_EQ(cl.file, c.file) << c.args.join(u' ').toStdString();
    }
}

} // namespace
} // namespace vantor::station
