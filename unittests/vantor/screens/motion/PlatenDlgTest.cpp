// The three platen dialogs and the platen panel, driven by control id against
// the simulated printer (time scale 0, manual clock).
#include "ui/testing/TestApp.h"
#include "PlatenTestSupport.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QRegularExpression>

#include "ui/ResultList.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"
#include "vantor/res/VantorResources.h"
#include "vantor/settings/TestSettingsStore.h"
#include "vantor/screens/motion/CPlatenDlg.h"
#include "vantor/screens/motion/CPlatenLifeDlg.h"
#include "vantor/screens/motion/CPlatenSensorDlg.h"
#include "vantor/screens/motion/CPlatenSettingDlg.h"

using namespace std::chrono_literals;
using namespace platentest;
using ui::testing::DialogHarness;
using ui::testing::processUntil;

namespace {

QApplication& app() { return ui::testing::testApp(); }

QByteArray utf16(const QString& text)
{
    QByteArray out;
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

QString fromUtf16(const QByteArray& bytes)
{
    QString out;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        out.append(QChar(char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8))));
    return out;
}

// The keys of one section of a settings file text, "key = value" each.
QStringList sectionOf(const QString& text, const QString& section)
{
    QStringList out;
    bool in = false;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            in = line == QLatin1Char('[') + section + QLatin1Char(']');
            continue;
        }
        if (in && !line.isEmpty())
            out << line.remove(QLatin1Char(' '));
    }
    out.sort();
    return out;
}

class PlatenDlgTest : public PlatenFixture {
protected:
    QString iniPath;
    std::unique_ptr<ScopedSettingsContext> settings;
    ui::testing::ScopedPromptRecorder prompts;

    void SetUp() override
    {
        PlatenFixture::SetUp();
        app();
        vantor::installBuiltinResources();
        startPrinter();
        iniPath = hostFile(QStringLiteral("Vantor.ini"));
    }
    void TearDown() override
    {
        settings.reset();
        PlatenFixture::TearDown();
    }
    // A settings file holding `text` (UTF-16LE), loaded as the program does.
    void useSettings(const QString& text)
    {
        QFile f(iniPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(utf16(QChar(0xFEFF) + text)); // the store skips its first character
        f.close();
        settings = std::make_unique<ScopedSettingsContext>(iniPath);
        ASSERT_TRUE(LoadSettingsFile(iniPath));
    }
    QStringList savedSection(const QString& section) { return sectionOf(fromUtf16(readFile(iniPath)), section); }

    static QStringList lines(DialogHarness& h) { return h.listItems(IDC_RESULT_LIST); }
    static bool ended(DialogHarness& h) { return lines(h).contains(QStringLiteral(" ")); }
    bool runToEnd(DialogHarness& h)
    {
        return h.click(IDC_RUN) && processUntil([&] { return ended(h); });
    }
    bool waitIdle(DialogHarness& h)
    {
        return processUntil([&] {
            if (h.enabled(IDC_RUN))
                return true;
            clock.advance(50ms);
            return false;
        });
    }
};

// Pulses without number: "[n]".
QStringList shapes(const QStringList& lines)
{
    static const QRegularExpression number(QStringLiteral("(= |\\[)-?\\d+"));
    QStringList out;
    for (const QString& l : lines)
        out << QString(l).replace(number, QStringLiteral("\\1n"));
    return out;
}

} // namespace

// --- platen test ----------------------------------------------------------------

TEST_F(PlatenDlgTest, PlatenRunsASavedSetSavesItsLinesAndStoresTheSectionOnClose)
{
    profile(QStringLiteral("PlatenRampUp.txt"), "200\n400\n800\n");
    profile(QStringLiteral("PlatenRampDown.txt"), "800\n400\n");
    useSettings(QStringLiteral("[platen]\r\n"
                               "initialspeedtype = 1\r\nconstantspeed = 1000\r\n"
                               "rampupprofile = \\Hard Disk\\Profiles\\PlatenRampUp.txt\r\n"
                               "userampdown = 1\r\nrampdownprofile = \\Hard Disk\\Profiles\\PlatenRampDown.txt\r\n"
                               "direction = 1\r\ntotalpulses = 400\r\nvref = 200\r\nstepmode = 2\r\n"
                               "prehold = 20\r\nposthold = 50\r\nclutch = 1\r\nencoderindeail = 0\r\n"
                               "taperewindinitialspeedtype = 0\r\ntaperewindconstantspeed = 800\r\n"
                               "taperewindstepmode = 2\r\npause = 500\r\ncycle = 3\r\ncumulativecycle = 7\r\n"));
    {
        CPlatenDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("PLATEN TEST"));
        // The record in the controls, with the enabling rules applied.
        EXPECT_EQ(h.radioIndex(IDC_PL_CONSTANT), 1);
        EXPECT_FALSE(h.enabled(IDC_PL_CONSTANT_SPEED));
        EXPECT_TRUE(h.enabled(IDC_PL_RAMP_UP_BROWSE));
        EXPECT_TRUE(h.enabled(IDC_PL_RAMP_DOWN_BROWSE));
        EXPECT_TRUE(h.enabled(IDC_PL_TR_CONSTANT_SPEED));
        EXPECT_FALSE(h.enabled(IDC_PL_TR_RAMP_UP_BROWSE));
        EXPECT_FALSE(h.enabled(IDC_PL_TR_RAMP_DOWN_BROWSE));
        EXPECT_EQ(h.sliderPos(IDC_PL_VREF), 200);
        EXPECT_EQ(h.text(IDC_PL_VREF_VALUE), QStringLiteral("200"));
        EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), QStringLiteral("7"));
        EXPECT_EQ(h.text(IDC_TOTAL_CYCLE), QStringLiteral("3"));

        ASSERT_TRUE(runToEnd(h));
        const QStringList l = lines(h);
        EXPECT_EQ(shapes(l), (QStringList{"== Start ==", "02/01/2026 03:04:05", "1. Total encode = n ",
                                          "2. Total encode = n ", "3. Total encode = n ", "== End ==", " "}));
        EXPECT_EQ(h.text(IDC_CYCLE), QStringLiteral("3"));
        EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), QStringLiteral("10"));
        // A forward move at a quarter step: the sample unit's counts are positive.
        EXPECT_FALSE(l[2].contains(QLatin1Char('-'))) << qPrintable(l[2]);
        EXPECT_NE(l[2], QStringLiteral("1. Total encode = 0 "));

        const QString result = hostFile(QStringLiteral("result.txt"));
        prompts.answerFile(result);
        ASSERT_TRUE(h.click(IDC_SAVE_TO_FILE));
        EXPECT_EQ(readFile(result), (l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1());

        // Edited but never run: not stored.
        ASSERT_TRUE(waitIdle(h));
        ASSERT_TRUE(h.setText(IDC_PL_PULSES, QStringLiteral("999")));
        h.pressEscape();
        EXPECT_TRUE(h.ended());
    }
    const QStringList saved = savedSection(QStringLiteral("platen"));
    EXPECT_TRUE(saved.contains(QStringLiteral("cumulativecycle=10"))) << qPrintable(saved.join(' '));
    EXPECT_TRUE(saved.contains(QStringLiteral("totalpulses=400")));
    EXPECT_TRUE(saved.contains(QStringLiteral("vref=200")));
    EXPECT_TRUE(saved.contains(QStringLiteral("rampupprofile=\\HardDisk\\Profiles\\PlatenRampUp.txt")));
    EXPECT_EQ(saved.size(), 22);
}

TEST_F(PlatenDlgTest, PlatenValidationShowsEveryMessageInOneBoxAndDoesNotRun)
{
    useSettings(QString());
    CPlatenDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_PL_CONSTANT_SPEED, QStringLiteral("0")));
    ASSERT_TRUE(h.setText(IDC_PL_PULSES, QString()));
    ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("2")));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_EQ(prompts.boxes()[0].ask.text, QStringLiteral("\"Constant (pps)\" of Platen must greater than 0.\n"
                                                           "\"Total No. of Pulses\" of Platen can not be empty.\n"));
    EXPECT_EQ(prompts.boxes()[0].ask.caption, QStringLiteral("Vantor"));
    EXPECT_TRUE(lines(h).isEmpty());
    EXPECT_TRUE(h.enabled(IDC_RUN));
    // Nothing reached the record.
    EXPECT_EQ(GetTestSettings<CPlatenSettings>()->cycle, 0);

    // A ramp-up profile chosen with Browse that is gone by RUN.
    prompts.clear();
    const QString path = profile(QStringLiteral("Gone.txt"), "100\n");
    ASSERT_TRUE(h.click(IDC_PL_RAMP_UP));
    EXPECT_FALSE(h.enabled(IDC_PL_CONSTANT_SPEED));
    prompts.answerFile(path);
    ASSERT_TRUE(h.click(IDC_PL_RAMP_UP_BROWSE));
    EXPECT_EQ(h.text(IDC_PL_RAMP_UP_PATH), path);
    EXPECT_EQ(prompts.fileDialogs().at(0).ask.filter, QStringLiteral("All Files (*.*)|*.*||"));
    ASSERT_TRUE(QFile::remove(root.path() + QStringLiteral("/Hard Disk/Profiles/Gone.txt")));
    ASSERT_TRUE(h.setText(IDC_PL_PULSES, QStringLiteral("10")));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_EQ(prompts.texts()[0], QStringLiteral("File in \"Ramp Up Profile\" of Platen not exist\n"));
    EXPECT_TRUE(lines(h).isEmpty());
}

TEST_F(PlatenDlgTest, PlatenDetailRunListsEveryPulseBeforeEachTotal)
{
    useSettings(QStringLiteral("[platen]\r\nconstantspeed = 2000\r\ntotalpulses = 1000\r\ndirection = 1\r\n"
                               "encoderindeail = 1\r\nvref = 255\r\ntaperewindconstantspeed = 800\r\ncycle = 2\r\n"));
    CPlatenDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_TRUE(h.checked(IDC_PL_TRACK_ENCODER));
    ASSERT_TRUE(runToEnd(h));
    const QStringList l = lines(h);
    ASSERT_EQ(l.size(), 2 + 2 * 1001 + 2);
    for (int c = 0; c < 2; ++c) {
        for (int i = 0; i < 1000; ++i)
            ASSERT_TRUE(l[2 + c * 1001 + i].startsWith(QStringLiteral("%1. in detail %2 [").arg(c + 1).arg(i)));
        EXPECT_TRUE(l[2 + c * 1001 + 1000].startsWith(QStringLiteral("%1. Total encode = ").arg(c + 1)));
    }
    // The list keeps its last line selected.
    EXPECT_EQ(dlg.listCurrent(IDC_RESULT_LIST), l.size() - 1);
    h.pressEscape();
}

TEST_F(PlatenDlgTest, PlatenClosingInTheMiddleOfADetailRunReleasesTheWaitingWorker)
{
    useSettings(QStringLiteral("[platen]\r\nconstantspeed = 4000\r\ntotalpulses = 20000\r\nencoderindeail = 1\r\n"
                               "taperewindconstantspeed = 800\r\ncycle = 50\r\n"));
    CPlatenDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_RUN));
    // The worker hands its batches over one at a time; close while it waits
    // for the list to take one.
    ASSERT_TRUE(processUntil([&] { return lines(h).size() > 3; }));
    h.pressEscape();
    EXPECT_TRUE(h.ended());
    EXPECT_TRUE(dlg.runner().workerEnded());
    EXPECT_LT(lines(h).size(), 50 * 20001);
    // Cycles finished while closing still count.
    EXPECT_GE(GetTestSettings<CPlatenSettings>()->cumulativeCycle, 1);
}

TEST_F(PlatenDlgTest, PlatenAgainstAnAbsentDriverFailsEveryCycleAndEnds)
{
    stopPrinter();
    useSettings(QStringLiteral("[platen]\r\nconstantspeed = 500\r\ntotalpulses = 10\r\ncycle = 3\r\npause = 100\r\n"));
    CPlatenDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(runToEnd(h));
    EXPECT_EQ(lines(h).mid(2), (QStringList{"1. Run Platen - FAIL", "2. Run Platen - FAIL", "3. Run Platen - FAIL",
                                            "== End ==", " "}));
    EXPECT_EQ(h.text(IDC_CYCLE), QStringLiteral("3"));
    EXPECT_TRUE(waitIdle(h));
    h.pressEscape();
}

TEST_F(PlatenDlgTest, PlatenRunIsReadThroughTheAccessibilityInterfaces)
{
    useSettings(QStringLiteral("[platen]\r\nconstantspeed = 500\r\ntotalpulses = 10\r\ncycle = 2\r\n"
                               "taperewindconstantspeed = 800\r\n"));
    CPlatenDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(runToEnd(h));
    QCoreApplication::processEvents(); // a client is answered when the loop turns: the lines are in view
    const QStringList l = lines(h);

    // A client finds the list among the dialog's children, as a screen reader walks it.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(&dlg);
    ASSERT_NE(window, nullptr);
    QAccessibleInterface* list = nullptr;
    for (int i = 0; i < window->childCount() && !list; ++i)
        if (window->child(i)->role() == QAccessible::List)
            list = window->child(i);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->object(), dlg.control(IDC_RESULT_LIST));
    ASSERT_EQ(list->childCount(), l.size());
    for (int row = 0; row < l.size(); ++row)
        EXPECT_EQ(list->child(row)->text(QAccessible::Name), l[row]) << row;
    EXPECT_EQ(list->child(2)->text(QAccessible::Name).left(17), QStringLiteral("1. Total encode ="));
    ASSERT_NE(list->tableInterface(), nullptr);
    EXPECT_EQ(list->tableInterface()->selectedRows(), QList<int>{int(l.size()) - 1});
    EXPECT_TRUE(list->child(l.size() - 1)->state().selected);

    // Inputs named by the choice that labels them.
    auto nameOf = [](QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); };
    EXPECT_EQ(nameOf(dlg.control(IDC_PL_CONSTANT_SPEED)), QStringLiteral("Constant (pps):"));
    EXPECT_EQ(nameOf(dlg.control(IDC_PL_RAMP_UP_PATH)), QStringLiteral("Ramp Up Profile:"));
    EXPECT_EQ(nameOf(dlg.control(IDC_PL_RAMP_DOWN_PATH)), QStringLiteral("Ramp Down Profile:"));
    EXPECT_EQ(nameOf(dlg.control(IDC_PL_TR_CONSTANT_SPEED)), QStringLiteral("Constant (pps):"));
    EXPECT_EQ(nameOf(dlg.control(IDC_PL_PULSES)), QStringLiteral("Total No. of Pulses:"));
    ASSERT_TRUE(waitIdle(h));
    h.pressEscape();
}

// --- platen sensor test ---------------------------------------------------------

TEST_F(PlatenDlgTest, SensorStartsFromItsDefaultsAtEveryOpeningAndKeepsOnlyTheCount)
{
    useSettings(QStringLiteral("[platen sensor]\r\ncumulativecycle = 4\r\ncycle = 9\r\npause = 9\r\n"));
    auto checkDefaults = [](DialogHarness& h) {
        EXPECT_EQ(h.radioIndex(IDC_PL_SIDE_NOTCH), 0);
        EXPECT_EQ(h.radioIndex(IDC_PL_CONSTANT), 0);
        EXPECT_EQ(h.radioIndex(IDC_PL_REVERSE), 0);
        EXPECT_EQ(h.radioIndex(IDC_PL_FULL), 2);
        EXPECT_TRUE(h.checked(IDC_PL_TRACK_ENCODER));
        EXPECT_EQ(h.radioIndex(IDC_PL_TR_CONSTANT), 0);
        EXPECT_EQ(h.radioIndex(IDC_PL_TR_FULL), 2);
        EXPECT_EQ(h.text(IDC_CYCLE), QStringLiteral("0"));
        EXPECT_EQ(h.text(IDC_TOTAL_CYCLE), QStringLiteral("1"));
        EXPECT_EQ(h.text(IDC_PAUSE), QStringLiteral("500"));
        EXPECT_FALSE(h.enabled(IDC_PL_RAMP_UP_BROWSE));
        EXPECT_FALSE(h.enabled(IDC_PL_RAMP_DOWN_BROWSE));
    };
    {
        CPlatenSensorDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("PLATEN SENSOR TEST"));
        checkDefaults(h);
        EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), QStringLiteral("4"));
        EXPECT_FALSE(dlg.control(IDC_PL_VREF));

        ASSERT_TRUE(h.click(IDC_PL_GAP_NOTCH));
        ASSERT_TRUE(h.click(IDC_PL_FORWARD));
        ASSERT_TRUE(h.click(IDC_PL_HALF));
        ASSERT_TRUE(h.click(IDC_PL_TRACK_ENCODER)); // off
        ASSERT_TRUE(h.setText(IDC_PL_CONSTANT_SPEED, QStringLiteral("1500")));
        ASSERT_TRUE(h.setText(IDC_PL_PULSES, QStringLiteral("30")));
        ASSERT_TRUE(h.setText(IDC_PL_TR_CONSTANT_SPEED, QStringLiteral("700")));
        ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("2")));
        ASSERT_TRUE(h.setText(IDC_PAUSE, QStringLiteral("0")));
        ASSERT_TRUE(runToEnd(h));
        // No validation box, the column header after the time line, and no
        // per-pulse lines without detail tracking.
        EXPECT_EQ(prompts.count(), 0u);
        EXPECT_EQ(lines(h), (QStringList{"== Start ==", "02/01/2026 03:04:05", "cycle. index - sensor,encoder",
                                         "1. Total Count (Motor Step) = 30 ", "2. Total Count (Motor Step) = 30 ",
                                         "== End ==", " "}));
        h.pressEscape();
    }
    {
        CPlatenSensorDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        checkDefaults(h);
        EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), QStringLiteral("6"));
        EXPECT_TRUE(h.text(IDC_PL_PULSES).isEmpty());
        h.pressEscape();
    }
    // Only the count is written; keys the section held before stay as they were.
    EXPECT_EQ(savedSection(QStringLiteral("platen sensor")), (QStringList{"cumulativecycle=6", "cycle=9", "pause=9"}));
}

TEST_F(PlatenDlgTest, SensorWithDetailListsOnePulsePerLineInOneBatchAndRefusesAnEmptyProfile)
{
    useSettings(QString());
    CPlatenSensorDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.setText(IDC_PL_CONSTANT_SPEED, QStringLiteral("1000")));
    ASSERT_TRUE(h.setText(IDC_PL_PULSES, QStringLiteral("25")));
    ASSERT_TRUE(h.setText(IDC_PL_TR_CONSTANT_SPEED, QStringLiteral("700")));
    ASSERT_TRUE(runToEnd(h));
    const QStringList l = lines(h);
    ASSERT_EQ(l.size(), 3 + 25 + 1 + 2);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^1\\. 1 - [01],-?\\d+$")).match(l[3]).hasMatch()) << qPrintable(l[3]);
    EXPECT_TRUE(l[27].startsWith(QStringLiteral("1. 25 - ")));
    EXPECT_TRUE(l[28].startsWith(QStringLiteral("1. Total Count (Encoder Count) = ")));
    ASSERT_TRUE(waitIdle(h));

    // A ramp-up choice whose file holds no value: refused with a message.
    const QString path = profile(QStringLiteral("Empty.txt"), "\n\n");
    ASSERT_TRUE(h.click(IDC_PL_RAMP_UP));
    prompts.answerFile(path);
    ASSERT_TRUE(h.click(IDC_PL_RAMP_UP_BROWSE));
    ASSERT_TRUE(h.click(IDC_CLEAR));
    ASSERT_TRUE(h.click(IDC_RUN));
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_EQ(prompts.texts()[0],
              QStringLiteral("File in \"Ramp Up Profile\" of Platen not exist or holds no value\n"));
    EXPECT_TRUE(lines(h).isEmpty());
    EXPECT_TRUE(h.enabled(IDC_RUN));
    h.pressEscape();
}

// --- platen life test -----------------------------------------------------------

TEST_F(PlatenDlgTest, LifePanelsSwitchAndTheReverseRadioFollowsEnableReverse)
{
    useSettings(QStringLiteral("[platen life]\r\nconstantspeed = 900\r\ntotalpulses = 3\r\nclutch = 1\r\n"
                               "reverseconstantspeed = 700\r\nreversetotalpulses = 2\r\nreverseinitialspeedtype = 1\r\n"
                               "multipass = 3\r\ncycle = 1\r\n"));
    CPlatenLifeDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("PLATEN LIFE TEST"));
    CPlatenSettingDlg* fwd = dlg.forwardPanel();
    CPlatenSettingDlg* rev = dlg.reversePanel();
    ASSERT_TRUE(fwd && rev);
    EXPECT_TRUE(fwd->isVisible());
    EXPECT_FALSE(rev->isVisible());
    EXPECT_EQ(fwd->text(IDC_PL_PANEL_TITLE), QStringLiteral("Platen (FORWARD)"));
    EXPECT_EQ(rev->text(IDC_PL_PANEL_TITLE), QStringLiteral("Platen (REVERSE)"));
    EXPECT_TRUE(fwd->isShown(IDC_PL_ENABLE_REVERSE));
    EXPECT_FALSE(rev->isShown(IDC_PL_ENABLE_REVERSE));
    EXPECT_EQ(fwd->intValue(IDC_PL_CONSTANT_SPEED), 900);
    EXPECT_TRUE(fwd->isChecked(IDC_PL_CLUTCH));
    EXPECT_EQ(rev->radioIndex(IDC_PL_CONSTANT), 1);
    EXPECT_FALSE(rev->isEnabled(IDC_PL_CONSTANT_SPEED));
    EXPECT_EQ(h.comboItems(IDC_PL_MULTI_PASS), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(h.comboIndex(IDC_PL_MULTI_PASS), 2);
    EXPECT_FALSE(h.visible(IDC_PL_LIFE_REVERSE)); // reverse move off

    // " Enable Reverse Platen" tells the dialog (1129), which offers the radio.
    fwd->controlAs<QAbstractButton>(IDC_PL_ENABLE_REVERSE)->click();
    processUntil([&] { return h.visible(IDC_PL_LIFE_REVERSE); });
    EXPECT_TRUE(h.visible(IDC_PL_LIFE_REVERSE));
    ASSERT_TRUE(h.click(IDC_PL_LIFE_REVERSE));
    EXPECT_FALSE(fwd->isVisible());
    EXPECT_TRUE(rev->isVisible());
    // The panel's own rules: ramp-down Browse follows its box.
    rev->controlAs<QAbstractButton>(IDC_PL_USE_RAMP_DOWN)->click();
    EXPECT_TRUE(rev->isEnabled(IDC_PL_RAMP_DOWN_BROWSE));
    rev->controlAs<QAbstractButton>(IDC_PL_USE_RAMP_DOWN)->click();
    EXPECT_FALSE(rev->isEnabled(IDC_PL_RAMP_DOWN_BROWSE));

    // Turning the reverse move off again takes the radio and the panel away.
    fwd->controlAs<QAbstractButton>(IDC_PL_ENABLE_REVERSE)->click();
    processUntil([&] { return !h.visible(IDC_PL_LIFE_REVERSE); });
    EXPECT_FALSE(h.visible(IDC_PL_LIFE_REVERSE));
    EXPECT_TRUE(fwd->isVisible());
    EXPECT_FALSE(rev->isVisible());
    h.pressEscape();
}

TEST_F(PlatenDlgTest, LifeRunsThreePassesAndKeepsOnlyTheNonPanelValuesOnClose)
{
    useSettings(QStringLiteral("[platen life]\r\nconstantspeed = 900\r\ntotalpulses = 2\r\nusereverseplaten = 1\r\n"
                               "reverseconstantspeed = 700\r\nreversetotalpulses = 1\r\n"
                               "taperewindconstantspeed = 800\r\nmultipass = 2\r\ncycle = 1\r\ncumulativecycle = 1\r\n"));
    {
        CPlatenLifeDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        EXPECT_TRUE(h.visible(IDC_PL_LIFE_REVERSE));
        ASSERT_TRUE(h.selectCombo(IDC_PL_MULTI_PASS, 2));
        // A panel edit is used by RUN but not kept.
        dlg.forwardPanel()->setText(IDC_PL_PULSES, QStringLiteral("3"));
        ASSERT_TRUE(h.setText(IDC_PL_TR_REVERSE_PULSES, QStringLiteral("44")));
        ASSERT_TRUE(h.setText(IDC_TOTAL_CYCLE, QStringLiteral("0"))); // no validation: one cycle still runs
        ASSERT_TRUE(runToEnd(h));
        EXPECT_EQ(prompts.count(), 0u);
        EXPECT_EQ(shapes(lines(h)),
                  (QStringList{"== Start ==", "02/01/2026 03:04:05", "1. Run Platen Life - OK",
                               "1. Forward Encode (1 pass)", "1. F 1 [n]", "1. F 2 [n]", "1. F 3 [n]", "",
                               "1. Reverse Encode (1 pass)", "1. R 1 [n]", "",
                               "1. Forward Encode (2 pass)", "1. F 1 [n]", "1. F 2 [n]", "1. F 3 [n]", "",
                               "1. Reverse Encode (2 pass)", "1. R 1 [n]", "",
                               "1. Forward Encode (3 pass)", "1. F 1 [n]", "1. F 2 [n]", "1. F 3 [n]", "", "",
                               "== End ==", " "}));
        h.pressEscape();
    }
    const QStringList saved = savedSection(QStringLiteral("platen life"));
    EXPECT_TRUE(saved.contains(QStringLiteral("multipass=3"))) << qPrintable(saved.join(' '));
    EXPECT_TRUE(saved.contains(QStringLiteral("taperewindreversetotalpulses=44")));
    EXPECT_TRUE(saved.contains(QStringLiteral("cycle=0")));
    EXPECT_TRUE(saved.contains(QStringLiteral("cumulativecycle=2")));
    EXPECT_TRUE(saved.contains(QStringLiteral("totalpulses=2"))); // not the panel's 3
    EXPECT_EQ(saved.size(), 32);
}

// --- the panel ------------------------------------------------------------------

TEST_F(PlatenDlgTest, PanelRibbonFormHidesTitleClutchAndHoldsAndMovesFifteenControlsUp)
{
    ui::Dialog owner(IDD_PLATEN_LIFE);
    ASSERT_TRUE(owner.create());
    CPlatenSettingDlg reverse(CPlatenSettingDlg::kReverse, &owner);
    CPlatenSettingDlg ribbon(CPlatenSettingDlg::kRibbon, &owner);
    ASSERT_TRUE(reverse.Create(QPoint(30, 40)));
    ASSERT_TRUE(ribbon.Create());
    EXPECT_EQ(reverse.pos(), QPoint(30, 40));
    EXPECT_EQ(ribbon.pos(), QPoint(0, 0));
    EXPECT_EQ(ribbon.size(), QSize(388, 120));
    const int hidden[] = {IDC_PL_PANEL_TITLE, IDC_PL_CLUTCH, IDC_PL_PRE_HOLD_LABEL, IDC_PL_PRE_HOLD,
                          IDC_PL_POST_HOLD_LABEL, IDC_PL_POST_HOLD, IDC_PL_ENABLE_REVERSE};
    for (int id : hidden) {
        EXPECT_FALSE(ribbon.isShown(id)) << id;
        EXPECT_EQ(reverse.isShown(id), id != IDC_PL_ENABLE_REVERSE) << id;
    }
    int moved = 0;
    for (int id : ribbon.controlIds()) {
        if (!ribbon.isShown(id))
            continue;
        EXPECT_EQ(ribbon.controlRect(id).translated(0, 24), reverse.controlRect(id)) << id;
        ++moved;
    }
    EXPECT_EQ(moved, 15);

    // What the ribbon tests read from it.
    ribbon.setText(IDC_PL_CONSTANT_SPEED, QStringLiteral("1200"));
    ribbon.setText(IDC_PL_PULSES, QStringLiteral("300"));
    ribbon.setRadioIndex(IDC_PL_FULL, 3);
    const vantor::driver::MotorGroupParams g = ribbon.moveParams();
    EXPECT_EQ(g.speedChoice, vantor::driver::speedChoice::Constant);
    EXPECT_EQ(g.constantSpeed, 1200);
    EXPECT_EQ(g.totalPulses, 300);
    EXPECT_EQ(g.stepMode, 3);
}
