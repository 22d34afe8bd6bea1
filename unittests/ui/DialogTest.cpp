#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

#include "ui/testing/TestApp.h"
#include "ui/Dialog.h"
#include "ui/Numbers.h"
#include "ui/Resources.h"
#include "ui/ResultList.h"
#include "ui/testing/DialogHarness.h"

using namespace ui;
using ui::testing::DialogHarness;

namespace {

enum : int {
    IDD_ALL = 100, IDD_PANEL = 147, IDD_OWNER = 146,
    IDC_TOTAL = 1013, IDC_CYCLE = 1016, IDC_DIGITS = 1030, IDC_RUN = 1022, IDC_HIDDEN_CHECK = 1051,
    IDC_CLUTCH = 1050, IDC_FULL = 1008, IDC_HALF = 1009, IDC_QUARTER = 1010, IDC_REV = 1027, IDC_FWD = 1028,
    IDC_LIST = 1004, IDC_SORTED = 1040, IDC_COMBO = 1148, IDC_VREF = 1170, IDC_VREF_TEXT = 1171,
    IDC_RATIO = 1060, IDC_NAME = 1061, IDC_CUSTOM = 1070, IDC_ICON = 1300, IDC_DEF = 1500,
    IDC_BROWSE = 1006, IDC_PATH = 1003, IDC_REVERSE = 1055,
};

const char* kScript = R"(
100 DIALOGEX 0, 0, 320, 220
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "PLATEN TEST"
FONT 8, "MS Shell Dlg"
BEGIN
    LTEXT           "Total Cycle:",-1,7,7,50,8
    EDITTEXT        1013,60,5,40,12,ES_AUTOHSCROLL
    LTEXT           "Cycle:",-1,7,21,50,8
    EDITTEXT        1016,60,19,40,12,ES_READONLY
    LTEXT           "Digits:",-1,7,35,50,8
    EDITTEXT        1030,60,33,40,12,ES_NUMBER
    PUSHBUTTON      "RUN",1022,110,5,50,14,WS_DISABLED
    AUTOCHECKBOX    " Enable Clutch",1051,110,21,60,10,NOT WS_VISIBLE
    AUTOCHECKBOX    "Track Encoder in Detail",1050,110,33,90,10
    AUTORADIOBUTTON "Full",1008,7,50,30,10,WS_GROUP
    AUTORADIOBUTTON "Half",1009,40,50,30,10
    AUTORADIOBUTTON "1/4 ",1010,73,50,30,10
    AUTORADIOBUTTON "Reverse*",1027,7,62,40,10,WS_GROUP
    AUTORADIOBUTTON "Forward*",1028,50,62,40,10
    GROUPBOX        "Result ",-1,5,75,150,80
    LISTBOX         1004,8,85,140,65,LBS_NOINTEGRALHEIGHT | LBS_MULTIPLESEL | WS_VSCROLL | WS_TABSTOP
    LISTBOX         1040,160,85,60,40,LBS_SORT | LBS_NOTIFY | WS_VSCROLL
    LTEXT           "No. of Multi-Pass:",-1,160,130,60,8
    COMBOBOX        1148,225,128,40,60,CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP
    LTEXT           "VRef :",-1,160,150,30,8
    CONTROL         "",1170,"msctls_trackbar32",TBS_BOTH | TBS_NOTICKS | WS_TABSTOP,190,148,80,15
    LTEXT           "255",1171,275,150,20,8
    LTEXT           "Ratio:",-1,160,170,30,8
    EDITTEXT        1060,190,168,40,12
    EDITTEXT        1061,235,168,40,12
    CONTROL         "",1070,"PreviewPane",WS_BORDER,160,185,40,20
    ICON            IDI_WARNING,1300,280,5,20,20
    DEFPUSHBUTTON   "Go",1500,280,30,30,14
END

147 DIALOGEX 0, 0, 200, 80
STYLE DS_SETFONT | WS_CHILD | WS_CAPTION
CAPTION "Platen"
FONT 8, "MS Shell Dlg"
BEGIN
    EDITTEXT        1003,7,7,100,12,ES_READONLY
    PUSHBUTTON      "Browse",1006,110,7,40,14
    AUTOCHECKBOX    " Enable Reverse Platen",1055,7,25,100,10
END

148 DIALOGEX 0, 0, 300, 100
CAPTION "LABELS"
BEGIN
    GROUPBOX        "Platen",-1,5,2,290,90
    AUTORADIOBUTTON "Constant (pps):",1101,10,15,70,10,WS_GROUP
    AUTORADIOBUTTON "&Ramp Up Profile:",1102,10,31,70,10
    EDITTEXT        1103,90,14,50,12
    EDITTEXT        1104,90,30,100,12
    PUSHBUTTON      "Browse",1105,195,29,34,14
    AUTOCHECKBOX    " Ramp Down Profile:",1106,10,47,80,10,WS_GROUP
    EDITTEXT        1107,90,46,100,12
    AUTOCHECKBOX    "Limit",1108,10,63,40,10
    CONTROL         "",1109,"msctls_trackbar32",TBS_BOTH,55,61,80,15
    EDITTEXT        1110,240,30,40,12
    LTEXT           "Pulses:",-1,150,63,30,8
    EDITTEXT        1111,185,61,40,12
END

146 DIALOGEX 0, 0, 300, 200
CAPTION "PLATEN LIFE TEST"
BEGIN
    PUSHBUTTON      "Close",2,240,180,50,14
END

STRINGTABLE
BEGIN
    1102 "Code Error."
END
)";

void installScript()
{
    ui::testing::testApp();
    auto r = parseResourceScript(QString::fromUtf8(kScript), QStringLiteral("dialogtest.rc"));
    ASSERT_TRUE(r.ok()) << r.error.toString().toStdString();
    Resources::setBuiltin(std::move(*r.script));
}

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override { installScript(); }
};

// A test screen in the shape later screens take.
class TestDlg : public Dialog {
public:
    explicit TestDlg(int id = IDD_ALL, QWidget* parent = nullptr) : Dialog(id, parent) {}
    int inits = 0;
    int oks = 0;
    bool emptyOk = false;

protected:
    bool onInitDialog() override
    {
        ++inits;
        return true;
    }
    void onOK() override
    {
        ++oks;
        if (!emptyOk)
            Dialog::onOK();
    }
};

TEST_F(DialogTest, BuildsEveryControlKindFromTheTemplate)
{
    TestDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.inits, 1);
    EXPECT_EQ(dlg.windowTitle(), "PLATEN TEST");
    EXPECT_EQ(dlg.size(), dlg.mapDialogRect(QRect(0, 0, 320, 220)).size());

    auto* total = dlg.controlAs<QLineEdit>(IDC_TOTAL);
    ASSERT_NE(total, nullptr);
    EXPECT_EQ(total->geometry(), dlg.mapDialogRect(QRect(60, 5, 40, 12)));
    EXPECT_FALSE(total->isReadOnly());
    EXPECT_TRUE(dlg.controlAs<QLineEdit>(IDC_CYCLE)->isReadOnly());
    EXPECT_NE(dlg.controlAs<QLineEdit>(IDC_DIGITS)->validator(), nullptr);

    EXPECT_NE(dlg.controlAs<QPushButton>(IDC_RUN), nullptr);
    EXPECT_FALSE(h.enabled(IDC_RUN));
    EXPECT_NE(dlg.controlAs<QCheckBox>(IDC_HIDDEN_CHECK), nullptr);
    EXPECT_FALSE(h.visible(IDC_HIDDEN_CHECK));
    EXPECT_TRUE(h.visible(IDC_CLUTCH));
    EXPECT_NE(dlg.controlAs<QRadioButton>(IDC_FULL), nullptr);

    auto* list = dlg.controlAs<QListWidget>(IDC_LIST);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::MultiSelection);
    EXPECT_EQ(list->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_FALSE(list->isSortingEnabled());

    auto* combo = dlg.controlAs<QComboBox>(IDC_COMBO);
    ASSERT_NE(combo, nullptr);
    EXPECT_FALSE(combo->isEditable());
    EXPECT_LT(combo->height(), dlg.mapDialogRect(QRect(0, 0, 1, 60)).height()) << "the template height is the dropped list";

    auto* slider = dlg.controlAs<QSlider>(IDC_VREF);
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->orientation(), Qt::Horizontal);
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 100);

    auto* icon = dlg.controlAs<QLabel>(IDC_ICON);
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_NE(dlg.findChild<QGroupBox*>(), nullptr);
    EXPECT_EQ(dlg.findChild<QGroupBox*>()->title(), "Result ");
    EXPECT_EQ(h.text(IDC_VREF_TEXT), "255");

    // Accessible names: the text, or for inputs the label before them.
    EXPECT_EQ(total->accessibleName(), "Total Cycle:");
    EXPECT_EQ(slider->accessibleName(), "VRef :");
    EXPECT_EQ(combo->accessibleName(), "No. of Multi-Pass:");
    EXPECT_EQ(dlg.control(IDC_RUN)->accessibleName(), "RUN");
    EXPECT_EQ(dlg.control(IDC_RATIO)->accessibleName(), "Ratio:");
    EXPECT_EQ(dlg.control(IDC_NAME)->accessibleName(), "") << "a label names only the control right after it";
    EXPECT_EQ(list->accessibleName(), "") << "the group box title is no label of the list";

    // A text the program replaces is named by what it shows now, and
    // described by the label of what stands before it.
    QAccessibleInterface* value = QAccessible::queryAccessibleInterface(dlg.control(IDC_VREF_TEXT));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->text(QAccessible::Name), "255");
    dlg.setText(IDC_VREF_TEXT, QStringLiteral(" 42"));
    EXPECT_EQ(value->text(QAccessible::Name), " 42");
    EXPECT_EQ(value->text(QAccessible::Description), "VRef :");
}

TEST_F(DialogTest, AnInputLabelledByARadioButtonOrCheckBoxTakesItsText)
{
    TestDlg dlg(148);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    const std::vector<std::pair<int, QString>> names = {
        {1103, "Constant (pps):"},    // the choice left of it on its row, though listed later
        {1104, "Ramp Up Profile:"},   // mnemonic dropped
        {1107, "Ramp Down Profile:"}, // a check box, its leading space dropped
        {1109, "Limit"},              // a slider
        {1110, ""},                   // nearest on its left is a push button
        {1111, "Pulses:"},            // a text label before it wins over the check box on its row
    };
    for (const auto& [id, name] : names)
        EXPECT_EQ(dlg.control(id)->accessibleName(), name) << "control " << id;
    EXPECT_EQ(dlg.control(1101)->accessibleName(), "Constant (pps):");

    // What assistive clients are told the choices are.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(dlg.control(1101))->role(), QAccessible::RadioButton);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(dlg.control(1106))->role(), QAccessible::CheckBox);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(dlg.control(1103))->text(QAccessible::Name), "Constant (pps):");
}

TEST_F(DialogTest, RadioGroupsStartAtWsGroup)
{
    TestDlg dlg;
    DialogHarness h(dlg);
    EXPECT_EQ(dlg.radioGroup(IDC_HALF), (std::vector<int>{IDC_FULL, IDC_HALF, IDC_QUARTER}));
    EXPECT_EQ(dlg.radioGroup(IDC_FWD), (std::vector<int>{IDC_REV, IDC_FWD}));
    EXPECT_EQ(h.radioIndex(IDC_FULL), -1);

    dlg.setRadioIndex(IDC_FULL, 2);
    dlg.setRadioIndex(IDC_REV, 0);
    EXPECT_EQ(h.radioIndex(IDC_HALF), 2);
    EXPECT_EQ(h.radioIndex(IDC_FWD), 0);

    int clicks = 0;
    dlg.onCommand(IDC_HALF, [&] { ++clicks; });
    EXPECT_TRUE(h.click(IDC_HALF));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(h.radioIndex(IDC_FULL), 1);
    EXPECT_TRUE(h.checked(IDC_HALF));
    EXPECT_FALSE(h.checked(IDC_QUARTER));
    EXPECT_TRUE(h.checked(IDC_REV)) << "another group is untouched";

    dlg.setChecked(IDC_HALF, false); // the program may clear a group entirely
    EXPECT_EQ(h.radioIndex(IDC_FULL), -1);
}

TEST_F(DialogTest, HarnessActsOnlyAsAUserCould)
{
    TestDlg dlg;
    DialogHarness h(dlg);
    int runs = 0, changes = 0;
    dlg.onCommand(IDC_RUN, [&] { ++runs; });
    dlg.onNotify(IDC_TOTAL, Notify::EditChanged, [&] { ++changes; });

    EXPECT_FALSE(h.click(IDC_RUN)) << "disabled";
    dlg.enable(IDC_RUN);
    EXPECT_TRUE(h.click(IDC_RUN));
    dlg.show(IDC_RUN, false);
    EXPECT_FALSE(h.click(IDC_RUN)) << "hidden";
    EXPECT_EQ(runs, 1);

    EXPECT_TRUE(h.setText(IDC_TOTAL, "12"));
    EXPECT_EQ(changes, 1);
    dlg.setText(IDC_TOTAL, "13"); // the program's changes notify too, as on the platform
    EXPECT_EQ(changes, 2);

    EXPECT_FALSE(h.setText(IDC_CYCLE, "5")) << "read-only";
    dlg.setText(IDC_CYCLE, "5");
    EXPECT_EQ(h.text(IDC_CYCLE), "5");
    EXPECT_FALSE(h.setText(IDC_DIGITS, "12a")) << "digits only";
    EXPECT_TRUE(h.setText(IDC_DIGITS, "0042"));
    dlg.setText(IDC_DIGITS, "-7"); // the program may still show anything
    EXPECT_EQ(dlg.intValue(IDC_DIGITS), -7);
}

TEST_F(DialogTest, ListComboAndSliderAccess)
{
    TestDlg dlg;
    DialogHarness h(dlg);
    int listChanges = 0, comboChanges = 0, moves = 0;
    dlg.onNotify(IDC_SORTED, Notify::SelectionChanged, [&] { ++listChanges; });
    dlg.onNotify(IDC_COMBO, Notify::SelectionChanged, [&] { ++comboChanges; });
    dlg.onNotify(IDC_VREF, Notify::SliderMoved, [&] {
        ++moves;
        dlg.setText(IDC_VREF_TEXT, QString::asprintf("%d", dlg.sliderPos(IDC_VREF)));
    });

    EXPECT_EQ(dlg.listAdd(IDC_LIST, "b"), 0);
    EXPECT_EQ(dlg.listAdd(IDC_LIST, "a"), 1) << "unsorted";
    EXPECT_EQ(dlg.listAdd(IDC_SORTED, "b"), 0);
    EXPECT_EQ(dlg.listAdd(IDC_SORTED, "a"), 0) << "sorted";
    EXPECT_EQ(h.listItems(IDC_SORTED), (QStringList{"a", "b"}));
    EXPECT_EQ(dlg.listCount(IDC_LIST), 2);
    dlg.listSelect(IDC_LIST, 0);
    dlg.listSelect(IDC_LIST, 1);
    EXPECT_EQ(dlg.listSelected(IDC_LIST), (std::vector<int>{0, 1})) << "multiple selection";
    dlg.listSelect(IDC_SORTED, 1);
    EXPECT_EQ(listChanges, 0) << "the program's selection does not notify";
    EXPECT_TRUE(h.selectListItem(IDC_SORTED, 0));
    EXPECT_EQ(listChanges, 1);
    dlg.listClear(IDC_LIST);
    EXPECT_EQ(dlg.listCount(IDC_LIST), 0);

    for (const char* s : {"1", "2", "3", "4"})
        dlg.comboAdd(IDC_COMBO, s);
    EXPECT_EQ(h.comboItems(IDC_COMBO), (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(h.comboIndex(IDC_COMBO), -1) << "a drop-down list starts with nothing selected";
    EXPECT_TRUE(dlg.selectComboText(IDC_COMBO, "3"));
    EXPECT_EQ(h.comboIndex(IDC_COMBO), 2);
    EXPECT_EQ(h.text(IDC_COMBO), "3");
    EXPECT_FALSE(dlg.selectComboText(IDC_COMBO, "5"));
    EXPECT_EQ(comboChanges, 0);
    EXPECT_TRUE(h.selectComboText(IDC_COMBO, "2"));
    EXPECT_EQ(comboChanges, 1);

    dlg.setSliderRange(IDC_VREF, 1, 255);
    dlg.setSliderPos(IDC_VREF, 300);
    EXPECT_EQ(h.sliderPos(IDC_VREF), 255) << "clamped to the range";
    EXPECT_EQ(moves, 0) << "the program's moves do not notify";
    EXPECT_TRUE(h.setSliderPos(IDC_VREF, 17));
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(h.text(IDC_VREF_TEXT), "17");
}

class BoundDlg : public Dialog {
public:
    BoundDlg() : Dialog(IDD_ALL)
    {
        bind(IDC_TOTAL, total);
        bind(IDC_DIGITS, digits);
        bind(IDC_RATIO, ratio);
        bind(IDC_NAME, name);
        bind(IDC_CYCLE, single);
        bindCheck(IDC_CLUTCH, clutch);
        bindCheck(IDC_HIDDEN_CHECK, hidden);
        bindRadio(IDC_HALF, step);
        bindSlider(IDC_VREF, vref);
        bindComboIndex(IDC_COMBO, passes);
    }
    int total = 0;
    unsigned digits = 0;
    double ratio = 0;
    QString name;
    float single = 0;
    int clutch = 0;
    bool hidden = false;
    int step = -1;
    int vref = 0;
    int passes = -1;

protected:
    bool onInitDialog() override
    {
        for (const char* s : {"1", "2", "3", "4"})
            comboAdd(IDC_COMBO, s);
        setSliderRange(IDC_VREF, 1, 255);
        return true;
    }
};

TEST_F(DialogTest, DataExchangeRunsBothWays)
{
    BoundDlg dlg;
    EXPECT_FALSE(dlg.updateData(true)) << "nothing to exchange before the controls exist";
    DialogHarness h(dlg);
    dlg.total = -42;
    dlg.digits = 4000000000u;
    dlg.ratio = 0.1;
    dlg.name = "Platen (FORWARD)";
    dlg.single = 2.5f;
    dlg.clutch = 1;
    dlg.hidden = true;
    dlg.step = 2;
    dlg.vref = 200;
    dlg.passes = 3;
    ASSERT_TRUE(dlg.updateData(false));
    EXPECT_EQ(h.text(IDC_TOTAL), "-42");
    EXPECT_EQ(h.text(IDC_DIGITS), "4000000000");
    EXPECT_EQ(h.text(IDC_RATIO), "0.1");
    EXPECT_EQ(h.text(IDC_NAME), "Platen (FORWARD)");
    EXPECT_EQ(h.text(IDC_CYCLE), "2.5");
    EXPECT_TRUE(h.checked(IDC_CLUTCH));
    EXPECT_TRUE(h.checked(IDC_HIDDEN_CHECK));
    EXPECT_TRUE(h.checked(IDC_QUARTER));
    EXPECT_EQ(h.sliderPos(IDC_VREF), 200);
    EXPECT_EQ(h.text(IDC_COMBO), "4");

    h.setText(IDC_TOTAL, "  17 pulses");
    h.setText(IDC_DIGITS, "");
    h.setText(IDC_RATIO, "1e3");
    h.setText(IDC_NAME, "x");
    dlg.setText(IDC_CYCLE, "abc");
    h.click(IDC_CLUTCH);
    h.click(IDC_FULL);
    h.setSliderPos(IDC_VREF, 1);
    h.selectCombo(IDC_COMBO, 0);
    ASSERT_TRUE(dlg.updateData(true));
    EXPECT_EQ(dlg.total, 17) << "the number the text begins with";
    EXPECT_EQ(dlg.digits, 0u) << "empty reads as 0";
    EXPECT_DOUBLE_EQ(dlg.ratio, 1000.0);
    EXPECT_EQ(dlg.name, "x");
    EXPECT_EQ(dlg.single, 0.0f) << "no number reads as 0";
    EXPECT_EQ(dlg.clutch, 0);
    EXPECT_TRUE(dlg.hidden);
    EXPECT_EQ(dlg.step, 0);
    EXPECT_EQ(dlg.vref, 1);
    EXPECT_EQ(dlg.passes, 0);

    // The strict readers refuse what the lenient ones take as 0 or a prefix.
    EXPECT_FALSE(dlg.strictInt(IDC_TOTAL).has_value());
    EXPECT_FALSE(dlg.strictUInt(IDC_DIGITS).has_value());
    EXPECT_EQ(dlg.strictDouble(IDC_RATIO).value_or(0), 1000.0);
}

TEST(Numbers, LenientAndStrictReadings)
{
    EXPECT_EQ(leadingInt(" -12abc"), -12);
    EXPECT_EQ(leadingInt("abc"), 0);
    EXPECT_EQ(leadingInt("99999999999"), INT_MAX);
    EXPECT_EQ(leadingInt("-99999999999"), INT_MIN);
    EXPECT_EQ(leadingUInt("-5"), 0u);
    EXPECT_EQ(leadingUInt("4294967295"), 4294967295u);
    EXPECT_DOUBLE_EQ(leadingDouble("3.5V"), 3.5);
    EXPECT_DOUBLE_EQ(leadingDouble("-.5e1x"), -5.0);
    EXPECT_DOUBLE_EQ(leadingDouble("1e999"), 0.0) << "out of range is no number";
    EXPECT_EQ(strictInt(" 42 ").value_or(0), 42);
    EXPECT_FALSE(strictInt("42x"));
    EXPECT_FALSE(strictInt(""));
    EXPECT_FALSE(strictInt("2147483648"));
    EXPECT_FALSE(strictUInt("-1"));
    EXPECT_FALSE(strictDouble("1.5.2"));
    EXPECT_FALSE(strictDouble("nan"));
    EXPECT_EQ(formatFloat(0.1f), "0.1");
    EXPECT_EQ(formatDouble(1.0 / 3), "0.333333333333333");
}

TEST_F(DialogTest, EnterEscapeAndTheCloseBox)
{
    {
        TestDlg dlg;
        dlg.emptyOk = true; // a test dialog: Enter does nothing
        DialogHarness h(dlg);
        dlg.setFocus(IDC_TOTAL);
        int go = 0;
        dlg.onCommand(IDC_DEF, [&] { ++go; });
        h.pressEnter();
        EXPECT_EQ(go, 1) << "Enter presses the default button";
        dlg.onCommand(IDC_DEF, {});
        h.pressEnter();
        EXPECT_FALSE(h.ended());
    }
    {
        TestDlg dlg(IDD_OWNER); // no default button: Enter is IDOK
        dlg.emptyOk = true;
        DialogHarness h(dlg);
        dlg.control(IDCANCEL)->clearFocus();
        h.pressEnter();
        EXPECT_EQ(dlg.oks, 1);
        EXPECT_FALSE(h.ended());
        dlg.setFocus(IDCANCEL);
        h.pressEnter(); // on a focused button Enter presses that button
        EXPECT_TRUE(h.ended());
        EXPECT_EQ(h.endCode(), IDCANCEL);
    }
    {
        TestDlg dlg(IDD_OWNER);
        DialogHarness h(dlg);
        dlg.control(IDCANCEL)->clearFocus();
        h.pressEnter();
        EXPECT_TRUE(h.ended());
        EXPECT_EQ(h.endCode(), IDOK);
    }
    {
        TestDlg dlg;
        DialogHarness h(dlg);
        dlg.setCloseEnabled(false); // a worker prints
        h.pressEscape();
        h.closeBox();
        EXPECT_FALSE(h.ended());
        EXPECT_FALSE(dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        dlg.setCloseEnabled(true);
        h.pressEscape();
        EXPECT_TRUE(h.ended());
        EXPECT_EQ(h.endCode(), IDCANCEL);
    }
    {
        TestDlg dlg(IDD_OWNER); // Enter is IDOK, which ends the dialog
        DialogHarness h(dlg);
        dlg.control(IDCANCEL)->clearFocus();
        dlg.setCloseEnabled(false);
        h.pressEnter();
        dlg.command(IDOK);
        EXPECT_FALSE(h.ended()) << "Enter closes no more than the close box does";
        EXPECT_EQ(dlg.oks, 0);
        dlg.setCloseEnabled(true);
        h.pressEnter();
        EXPECT_TRUE(h.ended());
        EXPECT_EQ(h.endCode(), IDOK);
    }
    {
        TestDlg dlg;
        DialogHarness h(dlg);
        int cancels = 0;
        dlg.onCommand(IDCANCEL, [&] { ++cancels; }); // a screen that cleans up before closing
        h.closeBox();
        EXPECT_EQ(cancels, 1);
        EXPECT_FALSE(h.ended());
        dlg.endDialog(IDCANCEL);
        EXPECT_TRUE(h.ended());
    }
}

TEST_F(DialogTest, DoModalReturnsTheEndCode)
{
    TestDlg dlg(IDD_OWNER);
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_TRUE(dlg.isVisible());
        dlg.endDialog(IDCANCEL + 40);
    });
    EXPECT_EQ(dlg.doModal(), IDCANCEL + 40);
    EXPECT_EQ(dlg.inits, 1);

    class EndsAtOnce : public Dialog {
    public:
        EndsAtOnce() : Dialog(IDD_OWNER) {}
        bool onInitDialog() override
        {
            endDialog(7);
            return true;
        }
    } early;
    EXPECT_EQ(early.doModal(), 7) << "ended during initialisation: no modal loop";

    TestDlg missing(4242);
    EXPECT_EQ(missing.doModal(), -1);
}

class PanelDlg : public Dialog {
public:
    PanelDlg(QWidget* owner) : Dialog(IDD_PANEL, owner)
    {
        onCommand(IDC_BROWSE, [this] { setText(IDC_PATH, "chosen"); });
        onCommand(IDC_REVERSE, [this] {
            if (auto* o = qobject_cast<Dialog*>(parentWidget()))
                o->send(WM_USER + 105, isChecked(IDC_REVERSE) ? 1 : 0);
        });
    }
};

TEST_F(DialogTest, ChildPanelsKeepTheirOwnHandlers)
{
    TestDlg owner(IDD_OWNER);
    DialogHarness h(owner);
    intptr_t reverse = -1;
    owner.onMessage(WM_USER + 105, [&](Message& m) { reverse = m.wParam; });

    PanelDlg panel(&owner);
    ASSERT_TRUE(panel.createChild(&owner, QPoint(10, 20)));
    EXPECT_EQ(panel.parentWidget(), &owner);
    EXPECT_FALSE(panel.isWindow());
    EXPECT_EQ(panel.pos(), QPoint(10, 20));
    EXPECT_TRUE(panel.captionVisible());
    const QRect pathBefore = panel.controlRect(IDC_PATH);
    const int captionTop = panel.control(IDC_PATH)->y();

    DialogHarness p(panel);
    EXPECT_TRUE(p.click(IDC_BROWSE));
    EXPECT_EQ(p.text(IDC_PATH), "chosen");
    EXPECT_TRUE(p.click(IDC_REVERSE));
    EXPECT_EQ(reverse, 1);
    EXPECT_TRUE(p.click(IDC_REVERSE));
    EXPECT_EQ(reverse, 0);

    panel.setCaptionVisible(false);
    EXPECT_LT(panel.control(IDC_PATH)->y(), captionTop);
    EXPECT_EQ(panel.controlRect(IDC_PATH), pathBefore) << "client coordinates do not change";
    panel.moveControlBy(IDC_BROWSE, 0, -24);
    EXPECT_EQ(panel.controlRect(IDC_BROWSE).top(), panel.mapDialogRect(QRect(110, 7, 40, 14)).top() - 24);
    panel.setPanelSize(QSize(388, 120));
    EXPECT_EQ(panel.size(), QSize(388, 120));
    panel.QWidget::hide();
    EXPECT_TRUE(panel.isHidden());

    h.pressEscape(); // Escape in the owner closes the owner, not the panel
    EXPECT_TRUE(h.ended());
    EXPECT_FALSE(panel.hasEnded());
}

class BinaryEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
};

TEST_F(DialogTest, ATemplateControlCanBeTakenOver)
{
    TestDlg dlg;
    const ControlTemplate* seen = nullptr;
    dlg.substitute(IDC_NAME, [&](QWidget* parent, const ControlTemplate& c) -> QWidget* {
        seen = &c;
        auto* e = new BinaryEdit(parent);
        e->setValidator(new QRegularExpressionValidator(QRegularExpression("[01]*"), e));
        return e;
    });
    dlg.substitute(IDC_CUSTOM, [](QWidget* parent, const ControlTemplate&) { return new QLabel("preview", parent); });
    dlg.useResultList(IDC_LIST);
    DialogHarness h(dlg);
    ASSERT_NE(seen, nullptr);
    EXPECT_NE(dynamic_cast<BinaryEdit*>(dlg.control(IDC_NAME)), nullptr);
    EXPECT_EQ(dlg.control(IDC_NAME)->geometry(), dlg.mapDialogRect(QRect(235, 168, 40, 12)));
    EXPECT_FALSE(h.setText(IDC_NAME, "102"));
    EXPECT_TRUE(h.setText(IDC_NAME, "101"));
    EXPECT_EQ(h.text(IDC_CUSTOM), "preview");

    ResultList* r = dlg.resultList(IDC_LIST);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->selectionMode(), QAbstractItemView::MultiSelection);
    dlg.listAdd(IDC_LIST, "1. Total encode = 5 ");
    EXPECT_EQ(h.listItems(IDC_LIST), QStringList{"1. Total encode = 5 "});
    EXPECT_EQ(dlg.listCurrent(IDC_LIST), 0);
}

struct Tracked {
    explicit Tracked(int* alive) : alive(alive) { ++*alive; }
    Tracked(Tracked&& o) noexcept : alive(std::exchange(o.alive, nullptr)) {}
    ~Tracked()
    {
        if (alive)
            --*alive;
    }
    int* alive;
};

TEST_F(DialogTest, MessagesOnTheInterfaceThread)
{
    int alive = 0;
    {
        auto dlg = std::make_unique<TestDlg>();
        DialogHarness h(*dlg);
        std::vector<intptr_t> seen;
        dlg->onMessage(WM_USER + 102, [&](Message& m) {
            seen.push_back(m.wParam);
            if (auto* s = m.payload.get<QString>())
                dlg->listAdd(IDC_LIST, *s);
            EXPECT_EQ(m.payload.get<int>(), nullptr) << "a payload is only what it is";
        });
        EXPECT_TRUE(dlg->post(WM_USER + 102, 1, 0, Payload::of(QStringLiteral("one"))));
        EXPECT_TRUE(dlg->post(WM_USER + 102, 2, 0, Payload::of(QStringLiteral("two"))));
        EXPECT_TRUE(seen.empty()) << "posted messages wait for the event loop";
        EXPECT_TRUE(dlg->send(WM_USER + 102, 3));
        EXPECT_EQ(seen, (std::vector<intptr_t>{3})) << "a send runs at once";
        ui::testing::processUntil([&] { return seen.size() == 3; });
        EXPECT_EQ(seen, (std::vector<intptr_t>{3, 1, 2}));
        EXPECT_EQ(h.listItems(IDC_LIST), (QStringList{"one", "two"}));

        // Messages still queued when the dialog goes are freed with it.
        dlg->post(WM_USER + 999, 0, 0, Payload::of(Tracked(&alive)));
        dlg->post(WM_USER + 102, 0, 0, Payload::of(Tracked(&alive)));
        EXPECT_EQ(alive, 2);
    }
    EXPECT_EQ(alive, 0);

    TestDlg dlg;
    DialogHarness h(dlg);
    MessagePort port = dlg.port();
    EXPECT_TRUE(port.open());
    dlg.closeMessages();
    EXPECT_FALSE(port.open());
    EXPECT_FALSE(dlg.post(WM_USER + 1, 0, 0, Payload::of(Tracked(&alive))));
    EXPECT_FALSE(dlg.send(WM_USER + 1));
    EXPECT_EQ(alive, 0) << "a refused payload is freed at once";
}

TEST_F(DialogTest, BroadcastReachesEveryOpenDialog)
{
    TestDlg a, b;
    DialogHarness ha(a), hb(b);
    int arrivals = 0;
    a.onMessage(WM_DEVICECHANGE, [&](Message& m) { arrivals += int(m.wParam); });
    b.onMessage(WM_DEVICECHANGE, [&](Message& m) { arrivals += int(m.wParam); });
    Dialog::broadcast(WM_DEVICECHANGE, 0x8000);
    ui::testing::processUntil([&] { return arrivals == 2 * 0x8000; });
    EXPECT_EQ(arrivals, 2 * 0x8000);
}

TEST_F(DialogTest, StringsComeFromTheActiveResources)
{
    EXPECT_EQ(loadString(1102), "Code Error.");
    EXPECT_EQ(loadString(1), "");
}

} // namespace
