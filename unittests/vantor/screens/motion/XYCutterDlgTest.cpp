#include <gtest/gtest.h>

#include "ui/ResultList.h"
#include "vantor/res/resource.h"
#include "vantor/settings/CSettingsFile.h"
#include "vantor/screens/motion/CXYCutterDlg.h"
#include "vantor/screens/motion/CXYCutterLifeDlg.h"
#include "unittests/vantor/testing/ScreenFixture.h"

using ui::testing::DialogHarness;
using namespace vantor::motion;

namespace {

class XYCutterDlgTest : public vantor::testing::ScreenFixture {
protected:
    void close(DialogHarness& h)
    {
        h.pressEscape();
        EXPECT_TRUE(advanceUntil([&] { return h.ended(); }));
    }
};

// The ids of each CXYCutterDlg group that enable with their axis.
const int kCrossIds[] = {IDC_XYC_CW_CONSTANT_SPEED, IDC_XYC_CW_PULSES, IDC_XYC_CW_VREF, IDC_XYC_CW_FULL};
const int kDownIds[] = {IDC_XYC_DW_CONSTANT_SPEED, IDC_XYC_DW_PULSES, IDC_XYC_DW_VREF, IDC_XYC_DW_FULL};
const int kPinchIds[] = {IDC_XYC_PERIOD, IDC_XYC_DURATION, IDC_XYC_DUTY, IDC_XYC_LEVEL, IDC_XYC_PINCH_SEQ};

} // namespace

TEST_F(XYCutterDlgTest, AxisRadiosEnableOnlyTheirGroup)
{
    CXYCutterDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "XY CUTTER TEST");
    EXPECT_EQ(h.radioIndex(IDC_XYC_CROSS_WEB), 0);
    // Start values for the program's run.
    EXPECT_EQ(h.sliderPos(IDC_XYC_CW_VREF), 100);
    EXPECT_EQ(h.text(IDC_XYC_CW_VREF_VALUE), "100");
    EXPECT_EQ(h.sliderPos(IDC_XYC_DUTY), 100);
    EXPECT_EQ(h.sliderPos(IDC_XYC_FORCE), 100);
    EXPECT_FALSE(h.enabled(IDC_XYC_CW_RAMP_UP_BROWSE));
    const struct {
        int radio;
        int axis;
    } cases[] = {{IDC_XYC_DOWN_WEB, kXYDownWeb}, {IDC_XYC_PINCH, kXYPinch}, {IDC_XYC_CROSS_WEB, kXYCrossWeb}};
    for (const auto& c : cases) {
        ASSERT_TRUE(h.click(c.radio));
        for (int id : kCrossIds)
            EXPECT_EQ(h.enabled(id), c.axis == kXYCrossWeb) << id;
        for (int id : kDownIds)
            EXPECT_EQ(h.enabled(id), c.axis == kXYDownWeb) << id;
        for (int id : kPinchIds)
            EXPECT_EQ(h.enabled(id), c.axis == kXYPinch) << id;
    }
    EXPECT_TRUE(h.enabled(IDC_XYC_FORCE));
    close(h);
}

TEST_F(XYCutterDlgTest, CrossWebRunOfThreePulsesAgainstTheSimulator)
{
    startSimulator();
    CXYCutterDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_XYC_CW_CONSTANT_SPEED, "1000"));
    ASSERT_TRUE(h.setText(IDC_XYC_CW_PULSES, "3"));
    ASSERT_TRUE(runCycles(h, 1));
    const QStringList l = withoutTimeLines(results(h));
    ASSERT_EQ(l.size(), 8) << l.join('|').toStdString();
    EXPECT_EQ(l[0], "== Start ==");
    EXPECT_EQ(l[2], "1. Run Cross Web motor - OK ");
    for (int i = 1; i <= 3; ++i)
        EXPECT_TRUE(l[2 + i].startsWith(QStringLiteral("1. %1 [").arg(i))) << l[2 + i].toStdString();
    EXPECT_EQ(l[6], "== End ==");
    EXPECT_EQ(l[7], " ");
    EXPECT_TRUE(prompts.texts().isEmpty());
    close(h);
}

TEST_F(XYCutterDlgTest, ClosingKeepsValuesForTheRunButWritesOnlyTheCount)
{
    startSimulator();
    {
        CXYCutterDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.click(IDC_XYC_PINCH));
        ASSERT_TRUE(h.selectComboText(IDC_XYC_LEVEL, "71"));
        ASSERT_TRUE(h.setText(IDC_XYC_PERIOD, "250"));
        ASSERT_TRUE(h.setText(IDC_XYC_DURATION, "20"));
        ASSERT_TRUE(runCycles(h, 2));
        EXPECT_EQ(withoutTimeLines(results(h)).mid(2, 2),
                  (QStringList{"1. Run Pinch motor - OK ", "2. Run Pinch motor - OK "}));
        close(h);
    }
    CSettingsFile file;
    ASSERT_TRUE(file.Load(iniPath));
    const QString section = QStringLiteral("XY Cutter");
    EXPECT_TRUE(file.HasKey(section, "CumulativeCycle"));
    for (const char* key : {"pause", "cycle", "TotalPulses", "DutyCycle", "CurrentLevel", "Force"})
        EXPECT_FALSE(file.HasKey(section, QString::fromLatin1(key))) << key;
    file.SetSection(section);
    EXPECT_EQ(file.GetInt("CumulativeCycle", -1), 2);

    CXYCutterDlg dlg; // the same program run
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.radioIndex(IDC_XYC_CROSS_WEB), kXYPinch);
    EXPECT_EQ(h.text(IDC_XYC_LEVEL), "71");
    EXPECT_EQ(h.text(IDC_XYC_PERIOD), "250");
    close(h);
}

TEST_F(XYCutterDlgTest, LifeTestTypeEnablesItsGroups)
{
    CXYCutterLifeDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "XY CUTTER LIFE TEST");
    CXYCutterSettingDlg* cross = dlg.panel(0);
    CXYCutterSettingDlg* down = dlg.panel(1);
    ASSERT_TRUE(cross && down);
    EXPECT_TRUE(cross->isVisible());
    EXPECT_FALSE(down->isVisible());
    EXPECT_EQ(cross->text(IDC_XYS_TITLE), "Crossweb");
    EXPECT_TRUE(cross->isShown(IDC_XYS_BLOCKED));
    EXPECT_FALSE(cross->isShown(IDC_XYS_ENCODER));
    EXPECT_EQ(down->text(IDC_XYS_TITLE), "Downweb");
    EXPECT_FALSE(down->isShown(IDC_XYS_BLOCKED));
    EXPECT_TRUE(down->isShown(IDC_XYS_ENCODER));

    const struct {
        int radio;
        bool crossPanel, downPanel, cutFile, tapeRewind, pinch, force;
    } cases[] = {
        {IDC_XYL_PINCH_TEST, false, false, false, false, true, false},
        {IDC_XYL_AGING, true, true, true, true, true, true},
        {IDC_XYL_HOMING, true, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(h.click(c.radio));
        EXPECT_EQ(cross->isEnabled(), c.crossPanel) << c.radio;
        EXPECT_EQ(down->isEnabled(), c.downPanel) << c.radio;
        EXPECT_EQ(h.enabled(IDC_XYL_CUT_FILE_BROWSE), c.cutFile) << c.radio;
        EXPECT_EQ(h.enabled(IDC_XYL_TR_VREF), c.tapeRewind) << c.radio;
        EXPECT_EQ(h.enabled(IDC_XYL_PERIOD), c.pinch) << c.radio;
        EXPECT_EQ(h.enabled(IDC_XYL_LEVEL), c.pinch) << c.radio;
        EXPECT_EQ(h.enabled(IDC_XYL_FORCE), c.force) << c.radio;
        EXPECT_TRUE(h.enabled(IDC_XYL_CROSSWEB));
    }
    ASSERT_TRUE(h.click(IDC_XYL_DOWNWEB));
    EXPECT_FALSE(cross->isVisible());
    EXPECT_TRUE(down->isVisible());
    close(h);
}

TEST_F(XYCutterDlgTest, LifeTapeRewindVrefOutOfRangeRefusesTheRun)
{
    startSimulator();
    CXYCutterLifeDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.text(IDC_XYL_TR_VREF), "100");
    ASSERT_TRUE(h.click(IDC_XYL_AGING)); // the tape rewind group can be edited
    for (const char* vref : {"0", "256"}) {
        prompts.clear();
        ASSERT_TRUE(h.setText(IDC_XYL_TR_VREF, QString::fromLatin1(vref)));
        ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, "1"));
        ASSERT_TRUE(h.click(IDC_RUN));
        EXPECT_EQ(prompts.texts(), QStringList{"\"Tape Rewind Vref\" must be between 1 and 255.\n"}) << vref;
        EXPECT_TRUE(results(h).isEmpty()) << vref;
        EXPECT_TRUE(h.enabled(IDC_RUN)) << vref;
    }
    close(h);
}

TEST_F(XYCutterDlgTest, LifeAgingFromTheStarterValuesListsTheSamples)
{
    startSimulator();
    CXYCutterLifeDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_XYL_AGING));
    ASSERT_TRUE(runCycles(h, 1));
    const QStringList l = withoutTimeLines(results(h));
    ASSERT_EQ(l.size(), 1005) << l.mid(0, 4).join('|').toStdString();
    EXPECT_EQ(l[2], "1. Run Aging Test - OK ");
    EXPECT_TRUE(l[3].startsWith("1. Encoder ["));
    EXPECT_TRUE(l[1002].startsWith("1000. Encoder ["));
    close(h);

    // The panels' edits reach the record on closing, the VRef box too.
    const auto* r = GetTestSettings<CXYCutterLifeSettings>();
    EXPECT_EQ(r->tapeRewindVref, 100);
}
