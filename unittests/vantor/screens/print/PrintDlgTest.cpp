#include <gtest/gtest.h>

#include <QDir>

#include "ui/testing/DialogHarness.h"
#include "vantor/res/resource.h"
#include "vantor/screens/print/CPrintDlg.h"
#include "vantor/settings/TestSettingsRecords.h"
#include "vantor/settings/TestSettingsStore.h"
#include "unittests/vantor/testing/ScreenFixture.h"

using ui::testing::DialogHarness;

namespace {

struct PrintDlgTest : vantor::testing::ScreenFixture {
    QStringList spooled() const
    {
        return QDir(dir.filePath(QStringLiteral("device/Simulator/Spool")))
            .entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    }
};

constexpr int kCustomOnly[] = {IDC_PR_BROWSE, IDC_PR_DELAY_START, IDC_PR_COMPLIANCE};
constexpr int kDefaultOnly[] = {IDC_PR_SINGLE_PASS, IDC_PR_MULTI_PASS, IDC_PR_SIZE_2,
                                IDC_PR_SIZE_4,      IDC_PR_OFFSET,     IDC_PR_PREFIX};

void expectPatternRule(DialogHarness& h, bool custom)
{
    for (int id : kCustomOnly)
        EXPECT_EQ(h.enabled(id), custom) << id;
    for (int id : kDefaultOnly)
        EXPECT_EQ(h.enabled(id), !custom) << id;
}

} // namespace

TEST_F(PrintDlgTest, PatternChoiceEnablesItsControls)
{
    startRecordingPrinter();
    CPrintDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.text(IDC_PR_START), QStringLiteral("PRINT"));
    EXPECT_EQ(dlg.runButton(), IDC_PR_START);
    EXPECT_EQ(dlg.control(IDC_RUN), nullptr);
    EXPECT_EQ(h.sliderPos(IDC_PR_BURN), 100);
    EXPECT_EQ(h.text(IDC_PR_BURN_VALUE), QStringLiteral("100"));
    expectPatternRule(h, false);
    ASSERT_TRUE(h.click(IDC_PR_CUSTOM_PATTERN));
    expectPatternRule(h, true);
    ASSERT_TRUE(h.click(IDC_PR_DEFAULT_PATTERN));
    expectPatternRule(h, false);
}

TEST_F(PrintDlgTest, AgingPrintShowsWhatThePrintTestStored)
{
    startRecordingPrinter();
    {
        CPrintDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_TRUE(h.click(IDC_PR_CUSTOM_PATTERN));
        ASSERT_TRUE(h.setText(IDC_PR_DELAY_START, QStringLiteral("7")));
        h.closeBox(); // closing stores "Print"
    }
    CAgingPrintDlg aging;
    DialogHarness h(aging);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(aging.windowTitle(), QStringLiteral("AGING PRINT TEST"));
    EXPECT_EQ(h.radioIndex(IDC_PR_DEFAULT_PATTERN), 1);
    EXPECT_EQ(h.text(IDC_PR_DELAY_START), QStringLiteral("7"));
    expectPatternRule(h, true);
}

TEST_F(PrintDlgTest, CustomisedPrintFromTheDialogReachesTheSpool)
{
    startSimulator();
    CPrintDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_PR_CUSTOM_PATTERN));
    ASSERT_TRUE(runCycles(h, 2));
    EXPECT_EQ(withoutTimeLines(results(h)), (QStringList{"== Start ==", "<time>", "== End ==", " "}));
    EXPECT_EQ(spooled().size(), 2);
    EXPECT_EQ(h.text(IDC_CYCLE), QStringLiteral("2"));
}

TEST_F(PrintDlgTest, PrintToCutRunsFromTheStarterValues)
{
    startSimulator();
    CPrintToCutDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(h.text(IDC_PC_VREF_VALUE), QStringLiteral("200"));
    ASSERT_TRUE(runCycles(h, 2));
    EXPECT_EQ(withoutTimeLines(results(h)),
              (QStringList{"== Start ==", "<time>", "1. Run print to cut test - OK", "2. Run print to cut test - OK",
                           "== End ==", " "}));
}

// "End Cut" has no key in "PrintToCut": the tick lasts one opening, while
// the values that have one are taken at close.
TEST_F(PrintDlgTest, PrintToCutEndCutTickLastsOneOpening)
{
    startRecordingPrinter();
    {
        CPrintToCutDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_FALSE(h.checked(IDC_PC_END_CUT));
        ASSERT_TRUE(h.click(IDC_PC_END_CUT));
        ASSERT_TRUE(h.checked(IDC_PC_END_CUT));
        ASSERT_TRUE(h.setText(IDC_PC_TOTAL_BOXES, QStringLiteral("7")));
        h.closeBox();
    }
    EXPECT_EQ(FetchTestSettings<CPrintToCutSettings>()->endCut, 0);
    CPrintToCutDlg again;
    DialogHarness h(again);
    ASSERT_TRUE(h.open());
    EXPECT_FALSE(h.checked(IDC_PC_END_CUT));
    EXPECT_EQ(h.text(IDC_PC_TOTAL_BOXES), QStringLiteral("7"));
}
