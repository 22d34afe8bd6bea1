// The fiducial dialog, its axis panels and the emitter calibration, driven
// as the operator would, against a recording PRN1: or none.
#include <gtest/gtest.h>

#include <QFile>
#include <atomic>
#include <thread>

#include "unittests/vantor/screens/fiducial/FiducialTestDevice.h"
#include "unittests/vantor/testing/ScreenFixture.h"
#include "vantor/res/resource.h"
#include "vantor/screens/fiducial/CFiducialDlg.h"

using namespace vantor;
using namespace std::chrono_literals;
using fiducial_test::FiducialDevice;
using fiducial_test::wordAt;
using ui::testing::DialogHarness;

namespace {

class FiducialDlgTest : public vantor::testing::ScreenFixture {
protected:
    std::shared_ptr<FiducialDevice> startDevice()
    {
        stopPrinter();
        device = std::make_shared<FiducialDevice>();
        platform::registerDevice(QStringLiteral("PRN1:"), device);
        return device;
    }
    CFiducialSettings& record() { return *dynamic_cast<CFiducialSettings*>(GetTestSettings(kTestFiducial)); }
    bool readingsIn(DialogHarness& h)
    {
        return advanceUntil([&] { return h.enabled(IDC_RUN) && h.enabled(IDC_FID_CALIBRATE); });
    }
    QStringList dacBoxes(DialogHarness& h)
    {
        return {h.text(IDC_FID_DAC_RED), h.text(IDC_FID_DAC_GREEN), h.text(IDC_FID_DAC_BLUE)};
    }
    QStringList detectorBoxes(DialogHarness& h)
    {
        return {h.text(IDC_FID_DET_RED), h.text(IDC_FID_DET_GREEN), h.text(IDC_FID_DET_BLUE)};
    }

    std::shared_ptr<FiducialDevice> device;
};

} // namespace

TEST_F(FiducialDlgTest, OpeningReadsTheEmittersAndTheDetectorThenEnablesRun)
{
    startDevice();
    CFiducialDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_FALSE(h.enabled(IDC_RUN));
    EXPECT_FALSE(h.enabled(IDC_FID_CALIBRATE));
    EXPECT_EQ(h.text(IDC_CYCLE), "0");
    ASSERT_TRUE(readingsIn(h));
    EXPECT_EQ(dacBoxes(h), (QStringList{"110", "120", "130"}));
    EXPECT_EQ(detectorBoxes(h), (QStringList{"200", "190", "180"}));
    const QStringList lines = results(h);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines.mid(1), (QStringList{"Retrieving DAC value...", "Retrieving Detector value...", ""}));
    const auto r = device->requests();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].block.Target, 96u);
    EXPECT_EQ(r[1].block.Target, 12u);
    for (int id : {IDC_FID_MARK_RED, IDC_FID_MARK_GREEN, IDC_FID_MARK_BLUE})
        EXPECT_TRUE(h.text(id).isEmpty());
}

TEST_F(FiducialDlgTest, WithoutADriverTheBoxesShowZeroAndRunIsEnabled)
{
    stopPrinter();
    CFiducialDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(readingsIn(h));
    EXPECT_LE(clock.now(), 3s) << "about two seconds after opening";
    EXPECT_EQ(dacBoxes(h), (QStringList{"0", "0", "0"}));
    EXPECT_EQ(detectorBoxes(h), (QStringList{"0", "0", "0"}));
}

TEST_F(FiducialDlgTest, ColourAndAxisChoices)
{
    startDevice();
    record().colorType = 2;
    ASSERT_TRUE(StoreTestSettings(kTestFiducial));
    CFiducialDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.radioIndex(IDC_FID_RED), 2);
    struct Expect {
        int click;
        std::array<bool, 3> enabled;
    };
    const Expect cases[] = {{IDC_FID_BLUE, {false, false, true}},
                            {IDC_FID_RED, {true, false, false}},
                            {IDC_FID_GREEN, {false, true, false}}};
    for (const Expect& c : cases) {
        ASSERT_TRUE(h.click(c.click));
        for (int color = 0; color < 3; ++color) {
            EXPECT_EQ(h.enabled(CFiducialDlg::crossOffsetId(color)), c.enabled[size_t(color)]) << c.click;
            EXPECT_EQ(h.enabled(CFiducialDlg::downOffsetId(color)), c.enabled[size_t(color)]) << c.click;
        }
    }
    CFiducialSettingDlg* cross = dlg.panel(0);
    CFiducialSettingDlg* down = dlg.panel(1);
    ASSERT_TRUE(cross && down);
    EXPECT_EQ(cross->pos(), CFiducialDlg::kPanelPos);
    EXPECT_EQ(down->pos(), CFiducialDlg::kPanelPos);
    EXPECT_TRUE(cross->isVisibleTo(&dlg));
    EXPECT_FALSE(down->isVisibleTo(&dlg));
    ASSERT_TRUE(h.click(IDC_FID_DOWNWEB));
    EXPECT_FALSE(cross->isVisibleTo(&dlg));
    EXPECT_TRUE(down->isVisibleTo(&dlg));
    // What each axis panel shows of its own.
    for (int id : {IDC_FS_HOME_LABEL, IDC_FS_HOME}) {
        EXPECT_TRUE(cross->isShown(id));
        EXPECT_FALSE(down->isShown(id));
    }
    for (int id : {IDC_FS_RUN_FRAME, IDC_FS_ENCODER, IDC_FS_STEP, IDC_FS_MARK_LABEL, IDC_FS_MARK}) {
        EXPECT_FALSE(cross->isShown(id));
        EXPECT_TRUE(down->isShown(id));
    }
    // The speed choice enables its fields.
    DialogHarness p(*down);
    ASSERT_TRUE(p.click(IDC_FS_RAMP_UP));
    EXPECT_FALSE(p.enabled(IDC_FS_CONSTANT_SPEED));
    EXPECT_TRUE(p.enabled(IDC_FS_RAMP_UP_BROWSE));
    ASSERT_TRUE(p.click(IDC_FS_CONSTANT));
    EXPECT_TRUE(p.enabled(IDC_FS_CONSTANT_SPEED));
    EXPECT_FALSE(p.enabled(IDC_FS_RAMP_UP_BROWSE));
}

TEST_F(FiducialDlgTest, OneCycleGivesOneLineThenTheEnd)
{
    startDevice();
    CFiducialDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(readingsIn(h));
    ASSERT_TRUE(h.click(IDC_CLEAR));
    ASSERT_TRUE(runCycles(h, 1));
    const QStringList lines = withoutTimeLines(results(h));
    EXPECT_EQ(lines, (QStringList{"== Start ==", "<time>", "1. Run fiducial test - OK ", "== End ==", " "}));
    EXPECT_EQ(h.text(IDC_CYCLE), "1");
    // The record carries the chosen colour's DAC value as its box shows it (the starter colour is red).
    const auto r = device->requests();
    ASSERT_EQ(r.back().param.size(), 296u);
    EXPECT_EQ(r.back().param[236], 110);
    // Both buttons come back once the worker is idle.
    EXPECT_TRUE(advanceUntil([&] { return h.enabled(IDC_RUN) && h.enabled(IDC_FID_CALIBRATE); }));

    // A failed cycle gives its FAIL line and the run goes on to the total.
    device->failTarget(35);
    ASSERT_TRUE(h.click(IDC_CLEAR));
    ASSERT_TRUE(runCycles(h, 2));
    EXPECT_EQ(withoutTimeLines(results(h)),
              (QStringList{"== Start ==", "<time>", "1. Run fiducial test - FAIL ", "2. Run fiducial test - FAIL ",
                           "== End ==", " "}));
}

TEST_F(FiducialDlgTest, RefusedRunsNameTheFieldAndChangeNothing)
{
    startDevice();
    CFiducialDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(readingsIn(h));
    ASSERT_TRUE(h.click(IDC_CLEAR));
    DialogHarness cross(*dlg.panel(0));
    ASSERT_TRUE(cross.setText(IDC_FS_PULSES, QStringLiteral("2000000")));
    ASSERT_TRUE(cross.click(IDC_FS_RAMP_UP));
    const QString missing = QStringLiteral("\\Hard Disk\\Profiles\\Missing.txt");
    prompts.answerFile(missing);
    ASSERT_TRUE(cross.click(IDC_FS_RAMP_UP_BROWSE));
    const size_t before = device->count();
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_EQ(prompts.texts().value(0), "\"Total No. of Pulses\" of Crossweb must be between 0 and 1000000.\n"
                                        "File in \"Ramp Up Profile\" of Crossweb not exist\n");
    EXPECT_TRUE(results(h).isEmpty());
    EXPECT_TRUE(h.enabled(IDC_RUN));
    EXPECT_EQ(device->count(), before);
}

TEST_F(FiducialDlgTest, ManualCalibrateWithOkWritesTheSliderValuesBack)
{
    startDevice();
    CFiducialDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(readingsIn(h));
    const size_t opening = device->count();

    dlg.setCalibrationRunner([&](CFiducialCalibrationDlg& cal) {
        DialogHarness c(cal);
        EXPECT_TRUE(c.open());
        EXPECT_EQ(cal.windowTitle(), "FIDUCIAL CALIBRATION");
        EXPECT_EQ(c.radioIndex(IDC_FC_RED), 0) << "ColorType";
        EXPECT_EQ(c.sliderPos(IDC_FC_SLIDER_GREEN), 120);
        EXPECT_EQ(c.text(IDC_FC_VALUE_GREEN), "120");
        EXPECT_EQ(c.text(IDC_FC_DET_GREEN), "190");
        EXPECT_TRUE(c.enabled(IDC_FC_SLIDER_RED));
        EXPECT_FALSE(c.enabled(IDC_FC_SLIDER_GREEN));
        EXPECT_TRUE(c.click(IDC_FC_GREEN));
        EXPECT_FALSE(c.enabled(IDC_FC_SLIDER_RED));
        EXPECT_TRUE(c.enabled(IDC_FC_SLIDER_GREEN));
        EXPECT_TRUE(c.setSliderPos(IDC_FC_SLIDER_GREEN, 7));
        EXPECT_EQ(c.text(IDC_FC_VALUE_GREEN), "  7");
        EXPECT_EQ(c.text(IDC_FC_MARK_GREEN), "*");
        device->detectorAnswer = {11, 22, 33};
        EXPECT_TRUE(c.click(IDC_FC_READ));
        EXPECT_FALSE(c.enabled(IDC_FC_READ));
        EXPECT_TRUE(c.text(IDC_FC_MARK_GREEN).isEmpty());
        EXPECT_TRUE(advanceUntil([&] { return c.enabled(IDC_FC_READ); }));
        EXPECT_EQ(c.text(IDC_FC_DET_RED), "200");
        EXPECT_EQ(c.text(IDC_FC_DET_GREEN), "22") << "only the chosen colour's reading changes";
        EXPECT_EQ(c.text(IDC_FC_DET_BLUE), "180");
        EXPECT_TRUE(c.setSliderPos(IDC_FC_SLIDER_GREEN, 9)); // moved again, not read
        c.dialog().command(ui::IDOK);
        return cal.endCode();
    });
    ASSERT_TRUE(h.click(IDC_FID_CALIBRATE));
    EXPECT_FALSE(h.enabled(IDC_RUN));
    EXPECT_FALSE(h.enabled(IDC_FID_CALIBRATE));
    EXPECT_EQ(record().colorType, 1) << "OK stores the colour";

    // The calibration's requests: 0 to red and blue, the slider to green, then the detector.
    auto r = device->requests();
    ASSERT_EQ(r.size(), opening + 4);
    EXPECT_EQ(r[opening + 0].param, std::vector<uint8_t>{0});
    EXPECT_EQ(r[opening + 1].param, std::vector<uint8_t>{7});
    EXPECT_EQ(r[opening + 2].param, std::vector<uint8_t>{0});

    ASSERT_TRUE(h.click(IDC_CLEAR));
    ASSERT_TRUE(readingsIn(h));
    r = device->requests();
    ASSERT_EQ(r.size(), opening + 4 + 5);
    const uint32_t targets[] = {81, 80, 82, 96, 12};
    const uint8_t written[] = {110, 9, 130};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(r[opening + 4 + i].block.Target, targets[i]);
        if (i < 3) {
            EXPECT_EQ(r[opening + 4 + i].param, std::vector<uint8_t>{written[i]});
        }
    }
    const QStringList lines = results(h);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[1], "Update DAC value...");
    EXPECT_EQ(lines[2], "Write To EEPROM - SUCCESS ");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[5], "Retrieving DAC value...");
    EXPECT_EQ(lines.mid(6), (QStringList{"Retrieving Detector value...", ""}));
}

TEST_F(FiducialDlgTest, CancelledCalibrationStillWritesTheShownValues)
{
    startDevice();
    CFiducialDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(readingsIn(h));
    const size_t opening = device->count();
    device->failTarget(80);
    dlg.setCalibrationRunner([&](CFiducialCalibrationDlg& cal) {
        DialogHarness c(cal);
        EXPECT_TRUE(c.open());
        EXPECT_TRUE(c.setSliderPos(IDC_FC_SLIDER_RED, 3));
        c.pressEscape();
        return cal.endCode();
    });
    ASSERT_TRUE(h.click(IDC_FID_CALIBRATE));
    ASSERT_TRUE(readingsIn(h));
    const auto r = device->requests();
    ASSERT_EQ(r.size(), opening + 5);
    EXPECT_EQ(r[opening].param, std::vector<uint8_t>{110}) << "the values as they were";
    EXPECT_EQ(record().colorType, 0);
    EXPECT_TRUE(results(h).contains("Write To EEPROM - FAIL "));
    EXPECT_EQ(dacBoxes(h), (QStringList{"110", "120", "130"}));
}

TEST_F(FiducialDlgTest, ClosingStoresTheValues)
{
    startDevice();
    {
        CFiducialDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.click(IDC_FID_GREEN));
        ASSERT_TRUE(h.setText(IDC_FID_CROSS_GREEN, QStringLiteral("-33")));
        ASSERT_TRUE(h.setText(IDC_FID_DOWN_GREEN, QStringLiteral("44")));
        DialogHarness down(*dlg.panel(1));
        ASSERT_TRUE(down.setText(IDC_FS_MARK, QStringLiteral("321")));
        ASSERT_TRUE(down.click(IDC_FS_STEP));
        ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("8")));
        h.pressEscape();
    }
    // Read back from the file as written.
    ScopedSettingsContext reread(iniPath);
    ASSERT_TRUE(LoadSettingsFile(iniPath));
    auto* r = dynamic_cast<CFiducialSettings*>(FetchTestSettings(kTestFiducial));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->colorType, 1);
    EXPECT_EQ(r->crosswebOffset[1], -33);
    EXPECT_EQ(r->downwebOffset[1], 44);
    EXPECT_EQ(r->downwebMarkDistance, 321);
    EXPECT_EQ(r->downwebRunType, 1);
    EXPECT_EQ(r->cycle, 8);
    EXPECT_EQ(r->totalPulses, 3000) << "the starter value, untouched";
}

// The dialog goes while its worker is inside a step's request: the worker
// finishes the step on what it owns, and its reports find no dialog.
TEST_F(FiducialDlgTest, DestroyedInsideAStep)
{
    startDevice();
    device->gated = true;
    auto dlg = std::make_unique<CFiducialDlg>();
    std::optional<DialogHarness> h(std::in_place, *dlg);
    ASSERT_TRUE(h->open());
    ASSERT_TRUE(advanceUntil([&] { return device->count() > 0; }));
    destroyWhileHeld(h, std::move(dlg), [&] { device->open(); });
    EXPECT_EQ(device->count(), 1u) << "no step after the dialog went";
}

// The calibration stores "ColorType" into the record the open dialog holds:
// the cycles counted since the dialog opened (not yet in the file) stay.
TEST_F(FiducialDlgTest, CalibrationKeepsTheCyclesCountedSinceOpening)
{
    startDevice();
    const int starter = record().cumulativeCycle;
    {
        CFiducialDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(readingsIn(h));
        ASSERT_TRUE(runCycles(h, 2));
        ASSERT_TRUE(readingsIn(h));
        dlg.setCalibrationRunner([&](CFiducialCalibrationDlg& cal) {
            DialogHarness c(cal);
            EXPECT_TRUE(c.open());
            EXPECT_TRUE(c.click(IDC_FC_BLUE));
            c.dialog().command(ui::IDOK);
            return cal.endCode();
        });
        ASSERT_TRUE(h.click(IDC_FID_CALIBRATE));
        EXPECT_EQ(record().colorType, 2);
        EXPECT_EQ(record().cumulativeCycle, starter + 2);
        ASSERT_TRUE(readingsIn(h));
        ASSERT_TRUE(runCycles(h, 1));
        EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), QString::number(starter + 3));
        h.pressEscape();
    }
    ScopedSettingsContext reread(iniPath);
    ASSERT_TRUE(LoadSettingsFile(iniPath));
    auto* r = dynamic_cast<CFiducialSettings*>(FetchTestSettings(kTestFiducial));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->cumulativeCycle, starter + 3);
}
