#include <QFile>
#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "platform/DevicePath.h"
#include "vantor/app/TestMenu.h"
#include "vantor/framework/CTestDlg.h"
#include "vantor/res/resource.h"
#include "unittests/vantor/testing/ScreenFixture.h"

using namespace vantor;
using namespace std::chrono_literals;
using ui::testing::DialogHarness;

namespace {

std::vector<size_t> cyclingRows()
{
    std::vector<size_t> rows;
    for (size_t i = 0; i < testScreens().size(); ++i)
        if (testScreens()[i].headless)
            rows.push_back(i);
    return rows;
}

std::string rowName(const ::testing::TestParamInfo<size_t>& info)
{
    const TestScreen& s = testScreens()[info.param];
    std::string name = TestSettingsSection(s.headless->settingsIndex);
    std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
    return name + "_" + std::to_string(s.commandId);
}

// Screens whose start values leave nothing to run until the operator makes
// a choice the section does not keep (the ribbon drive test starts with no
// move checked): what the operator does first.
const std::map<int, std::function<void(DialogHarness&)>> kOperatorChoice = {
    {IDC_RIBBON_DRIVE_TEST, [](DialogHarness& h) { h.click(IDC_RD_ADVANCE); }},
};

// Screens that read the printer at opening and enable RUN only once the
// readings are in (the fiducial and ribbon colour tests): the operator waits for them; the
// list is then cleared of the readings' lines, so that the run's lines
// compare with the headless run's.
const std::set<int> kReadsAtOpening = {IDC_FIDUCIAL_TEST, IDC_RIBBON_COLOR_TEST};

class CyclingScreen : public vantor::testing::ScreenFixture, public ::testing::WithParamInterface<size_t> {
protected:
    const TestScreen& row() const { return testScreens()[GetParam()]; }
    bool readsAtOpening() const { return kReadsAtOpening.count(row().commandId) > 0; }
    bool waitForReadings(DialogHarness& h)
    {
        if (!readsAtOpening())
            return true;
        return advanceUntil([&] { return h.enabled(IDC_RUN); }) && h.click(IDC_CLEAR);
    }
    void chooseAsTheOperator(DialogHarness& h) const
    {
        if (auto it = kOperatorChoice.find(row().commandId); it != kOperatorChoice.end())
            it->second(h);
    }
};

} // namespace

// The dialog goes while its worker is inside a request: the worker finishes
// the cycle on what its run owns, and nothing touches the dialog after it
// is gone (the sanitizer builds check the "nothing").
TEST_P(CyclingScreen, DestroyedMidRunLeavesTheWorkerNothingOfItsOwn)
{
    // The readings at opening pass; the run's first request is held.
    auto printer = startRecordingPrinter(/*gated=*/!readsAtOpening());
    std::unique_ptr<ui::Dialog> dlg = row().open();
    std::optional<DialogHarness> h(std::in_place, *dlg);
    ASSERT_TRUE(h->open());
    chooseAsTheOperator(*h);
    ASSERT_TRUE(waitForReadings(*h));
    printer->gated = true;
    const int before = printer->count();
    ASSERT_TRUE(h->setText(IDC_TOTAL_CYCLE, QStringLiteral("3")));
    ASSERT_TRUE(h->click(runButtonOf(*h)));
    ASSERT_EQ(prompts.count(), 0u) << "the starter values were refused: " << qPrintable(prompts.texts().join(' '));
    ASSERT_TRUE(advanceUntil([&] { return printer->count() > before; }));

    // Let the request end only after the close waits have run out.
    destroyWhileHeld(h, std::move(dlg), [&] { printer->open(); });
    EXPECT_GE(printer->count(), before + 1);
}

// `vantor --run` builds the same run from the record and prints the same
// lines as the dialog (the time line aside), against a fresh simulator.
TEST_P(CyclingScreen, HeadlessRunPrintsTheDialogsLines)
{
    if (kOperatorChoice.count(row().commandId)) {
        // Nothing to run from the start values: the dialog writes nothing
        // and the headless run is refused with its reason.
        startSimulator();
        std::unique_ptr<ui::Dialog> dlg = row().open();
        DialogHarness h(*dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.click(runButtonOf(h)));
        ui::testing::processEvents();
        EXPECT_TRUE(results(h).isEmpty());
        CTestSettings* record = GetTestSettings(row().headless->settingsIndex);
        const PreparedRun refused = row().headless->prepare(*record, openDriver());
        EXPECT_FALSE(refused);
        EXPECT_FALSE(refused.refusal.isEmpty());
        h.pressEscape();
        return;
    }
    const QString state = platform::hostPath(QStringLiteral("\\Simulator\\printer-state.ini"));
    QFile::remove(state);
    startSimulator();
    QStringList dialogLines;
    {
        std::unique_ptr<ui::Dialog> dlg = row().open();
        DialogHarness h(*dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(waitForReadings(h));
        ASSERT_TRUE(runCycles(h, 2));
        ASSERT_EQ(prompts.count(), 0u) << qPrintable(prompts.texts().join(' '));
        dialogLines = results(h);
        h.pressEscape();
    }
    stopPrinter();
    QFile::remove(state);
    startSimulator();

    CTestSettings* record = GetTestSettings(row().headless->settingsIndex);
    ASSERT_NE(record, nullptr);
    record->cycle = 2;
    ASSERT_EQ(row().headless->validate(*record), QString());
    const QStringList headless = runHeadless(row().headless->prepare(*record, openDriver()), 2, record->pause);
    EXPECT_EQ(withoutTimeLines(headless), withoutTimeLines(dialogLines));
    EXPECT_EQ(headless.mid(headless.size() - 2), (QStringList{"== End ==", " "}));
}

INSTANTIATE_TEST_SUITE_P(EveryRow, CyclingScreen, ::testing::ValuesIn(cyclingRows()), rowName);
