#include <gtest/gtest.h>

#include <QFontMetrics>

#include "ui/DialogUnits.h"
#include "ui/ResourceScript.h"
#include "ui/testing/TestApp.h"

using namespace ui;

namespace {

const char* kHeader = R"(
// resource.h
#define IDD_MAIN        135
#define IDC_TOTAL       1013
#define IDC_LIST        1004
#define IDC_RUN         1022
#define IDC_NAMED       (1000 + 50)
#define IDS_CODE_ERROR  1102
#define _APS_NEXT_RESOURCE_VALUE 101
)";

ParseResult parse(const QString& text)
{
    IncludeLoader loader = [](const QString& name, const QString&) -> std::optional<QString> {
        if (name == u"resource.h")
            return QString::fromUtf8(kHeader);
        return std::nullopt;
    };
    return parseResourceScript(text, QStringLiteral("test.rc"), loader);
}

TEST(ResourceScript, ParsesDialogWithEveryStatementKind)
{
    const auto r = parse(QStringLiteral(R"(#include "resource.h"
#include "afxres.h"
LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US
#pragma code_page(1252)
/* a block
   comment */
IDD_MAIN DIALOGEX 0, 0, 300, 200
STYLE DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
EXSTYLE WS_EX_APPWINDOW
CAPTION "PLATEN TEST"
FONT 8, "MS Shell Dlg", 0, 0, 0x1
BEGIN
    LTEXT           "Total Cycle:",IDC_STATIC,7,7,50,8
    EDITTEXT        IDC_TOTAL,60,5,40,12,ES_AUTOHSCROLL | ES_NUMBER
    RTEXT           "Right",IDC_STATIC,7,20,50,8,NOT WS_GROUP
    CTEXT           "Say ""hi""\tnow\n\\done",1200,7,30,50,8
    PUSHBUTTON      "RUN",IDC_RUN,7,40,50,14,WS_DISABLED
    DEFPUSHBUTTON   "OK",IDOK,60,40,50,14
    GROUPBOX        "Result ",IDC_STATIC,7,60,280,100
    AUTORADIOBUTTON "Full",1008,10,70,30,10,WS_GROUP
    AUTORADIOBUTTON "Half",1009,40,70,30,10
    AUTOCHECKBOX    " Enable Clutch",1051,10,80,60,10,NOT WS_VISIBLE
    LISTBOX         IDC_LIST,10,90,200,60,LBS_NOINTEGRALHEIGHT | LBS_EXTENDEDSEL | WS_VSCROLL | WS_TABSTOP
    COMBOBOX        1148,220,90,40,60,CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP
    ICON            IDI_WARNING,1300,220,110,20,20
    CONTROL         "",1170,"msctls_trackbar32",TBS_BOTH | TBS_NOTICKS | WS_TABSTOP,10,160,100,15
    CONTROL         "Check",1171,"Button",BS_AUTOCHECKBOX | WS_TABSTOP,120,160,50,10
    CONTROL         "",IDC_NAMED,"Static",SS_BLACKFRAME,180,160,10,10,WS_EX_CLIENTEDGE
END

STRINGTABLE
BEGIN
    IDS_CODE_ERROR          "Code Error."
    1113,                   "Idle..."
END
STRINGTABLE { 1159 "Couldn't create bitmap\r\nShutting down..." }
)"));
    ASSERT_TRUE(r.ok()) << r.error.toString().toStdString();
    const ResourceScript& s = *r.script;
    const DialogTemplate* d = s.dialog(135);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->idName, "IDD_MAIN");
    EXPECT_EQ(d->caption, "PLATEN TEST");
    EXPECT_EQ(d->rect, QRect(0, 0, 300, 200));
    EXPECT_EQ(d->fontName, "MS Shell Dlg");
    EXPECT_EQ(d->fontPointSize, 8);
    EXPECT_TRUE(d->style & style::WS_CAPTION);
    ASSERT_EQ(d->controls.size(), 16u);

    const auto& label = d->controls[0];
    EXPECT_EQ(label.className, "Static");
    EXPECT_EQ(label.id, -1);
    EXPECT_TRUE(label.hasStyle(style::WS_GROUP | style::WS_VISIBLE | style::WS_CHILD));

    const ControlTemplate* edit = d->control(1013);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->className, "Edit");
    EXPECT_EQ(edit->idName, "IDC_TOTAL");
    EXPECT_TRUE(edit->hasStyle(style::ES_NUMBER | style::WS_BORDER | style::WS_TABSTOP));
    EXPECT_EQ(edit->rect, QRect(60, 5, 40, 12));

    EXPECT_FALSE(d->controls[2].style & style::WS_GROUP) << "NOT removes a default";
    EXPECT_EQ(d->controls[3].text, QString("Say \"hi\"\tnow\n\\done"));
    EXPECT_TRUE(d->control(1022)->style & style::WS_DISABLED);
    EXPECT_EQ(d->control(1)->style & style::BS_TYPEMASK, style::BS_DEFPUSHBUTTON);
    EXPECT_EQ(d->controls[6].style & style::BS_TYPEMASK, style::BS_GROUPBOX);
    EXPECT_TRUE(d->control(1008)->style & style::WS_GROUP);
    EXPECT_FALSE(d->control(1009)->style & style::WS_GROUP);
    EXPECT_FALSE(d->control(1051)->style & style::WS_VISIBLE);
    EXPECT_TRUE(d->control(1004)->hasStyle(style::LBS_EXTENDEDSEL | style::WS_VSCROLL));
    EXPECT_EQ(d->control(1148)->style & style::CBS_TYPEMASK, style::CBS_DROPDOWNLIST);
    EXPECT_EQ(d->control(1300)->text, "IDI_WARNING");
    EXPECT_EQ(d->control(1300)->style & style::SS_TYPEMASK, style::SS_ICON);
    EXPECT_EQ(d->control(1170)->className, "msctls_trackbar32");
    EXPECT_TRUE(d->control(1170)->hasStyle(style::WS_VISIBLE | style::TBS_NOTICKS));
    EXPECT_EQ(d->control(1050)->exStyle, style::WS_EX_CLIENTEDGE);
    EXPECT_EQ(d->control(1050)->idName, "IDC_NAMED");

    EXPECT_EQ(s.string(1102).value_or(""), "Code Error.");
    EXPECT_EQ(s.string(1113).value_or(""), "Idle...");
    EXPECT_EQ(s.string(1159).value_or(""), "Couldn't create bitmap\r\nShutting down...");
    EXPECT_FALSE(s.string(9999).has_value());
    EXPECT_EQ(s.symbol("IDC_NAMED").value_or(0), 1050);
}

TEST(ResourceScript, SkipsResourcesDialogsDoNotNeedAndHonoursConditions)
{
    const auto r = parse(QStringLiteral(R"(#include "resource.h"
IDR_MAINFRAME ICON "res\\vantor.ico"
1 24 "app.manifest"
VS_VERSION_INFO VERSIONINFO
 FILEVERSION 1,0,0,1
 FILEFLAGSMASK 0x3fL
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        VALUE "CompanyName", "x"
    END
END
IDR_MENU MENU DISCARDABLE
BEGIN
    POPUP "&File" { MENUITEM "E&xit", 100 }
END
1 TEXTINCLUDE
BEGIN
    "resource.h\0"
END
#ifdef APSTUDIO_INVOKED
this is not parsed at all $$$
#else
#if !defined(AFX_RESOURCE_DLL) || defined(AFX_TARG_ENU)
#define IN_BRANCH 7
#elif 1
#define IN_BRANCH 8
#endif
#endif
#undef _APS_NEXT_RESOURCE_VALUE
140 DIALOG DISCARDABLE 0, 0, IN_BRANCH * 10, 50
CAPTION "Information"
{
    LTEXT "App Version:", IDC_STATIC, 1, 1, 40, 8
}
)"));
    ASSERT_TRUE(r.ok()) << r.error.toString().toStdString();
    const DialogTemplate* d = r.script->dialog(140);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->rect.width(), 70);
    EXPECT_EQ(d->controls.size(), 1u);
    EXPECT_FALSE(r.script->symbol("_APS_NEXT_RESOURCE_VALUE"));
}

struct BadCase {
    const char* text;
    int line;
    const char* expected; // part of the message
};

TEST(ResourceScript, ReportsFileLineAndWhatWasExpected)
{
    const BadCase cases[] = {
        {"#include \"resource.h\"\nIDD_MAIN DIALOGEX 0,0,10,10\nBEGIN\n  LTEXT \"x\" IDC_STATIC,1,1,1,1\nEND\n", 4, "expected ','"},
        {"#include \"resource.h\"\nIDD_MAIN DIALOGEX 0,0,10,10\nBEGIN\n  LTEXT \"x\",IDC_NOPE,1,1,1,1\nEND\n", 4, "undefined symbol 'IDC_NOPE'"},
        {"IDD_NOPE DIALOGEX 0,0,10,10\nBEGIN\nEND\n", 1, "undefined dialog id 'IDD_NOPE'"},
        {"100 DIALOGEX 0,0,10,10\nBEGIN\n  LTEXT \"open\n", 3, "expected '\"'"},
        {"100 DIALOGEX 0,0,10,10\nBEGIN\n  LTEXT \"x\",1,1,1,1,1\n", 3, "expected END"},
        {"100 DIALOGEX 0,0,10,10\nBEGIN\n  SPINNER \"x\",1,1,1,1,1\nEND\n", 3, "expected a control statement"},
        {"100 DIALOGEX 0,0,10,10\nCAPTION 12\nBEGIN\nEND\n", 2, "expected a string after CAPTION"},
        {"100 DIALOGEX 0,0,10,10\nWHATEVER\nBEGIN\nEND\n", 2, "expected BEGIN or a dialog option"},
        {"/* never closed\n\n", 1, "expected '*/'"},
        {"#include \"missing.h\"\n", 1, "cannot open include file 'missing.h'"},
        {"#if 1\n100 DIALOGEX 0,0,1,1\nBEGIN\nEND\n", 4, "expected #endif"},
        {"#endif\n", 1, "#endif without #if"},
        {"STRINGTABLE\nBEGIN\n  5 6\nEND\n", 3, "expected a string after string id 5"},
        {"100 DIALOGEX 0,0,10,10\nBEGIN\n  CONTROL \"\",1,\"Button\",WS_TABSTOP,1,1,1,(((2\nEND\n", 4, "expected ')'"},
        {"100 DIALOGEX 0,0,0x1G,10\n", 1, "malformed number"},
        {"100 DIALOGEX 0,0,10,10 @\n", 1, "unexpected character '@'"},
        {"100 DIALOGEX 0,0,10,10\nBEGIN\n", 2, "expected END"},
        {"IDR_X VERSIONINFO\n FILEVERSION 1\n", 1, "expected BEGIN after VERSIONINFO"},
    };
    for (const BadCase& c : cases) {
        const auto r = parse(QString::fromUtf8(c.text));
        ASSERT_FALSE(r.ok()) << c.text;
        EXPECT_EQ(r.error.file, "test.rc") << c.text;
        EXPECT_EQ(r.error.line, c.line) << c.text << " -> " << r.error.toString().toStdString();
        EXPECT_TRUE(r.error.message.contains(QString::fromUtf8(c.expected)))
            << c.text << " -> " << r.error.toString().toStdString();
    }
}

TEST(ResourceScript, ErrorsInsideAnIncludeNameTheIncludedFile)
{
    IncludeLoader loader = [](const QString&, const QString&) -> std::optional<QString> {
        return QStringLiteral("#define A 1\n#define B (A +\n#if\n");
    };
    const auto r = parseResourceScript(QStringLiteral("#include \"res/resource.h\"\n"), QStringLiteral("dir/x.rc"), loader);
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error.file, "dir/res/resource.h");
    EXPECT_EQ(r.error.line, 3);
    EXPECT_EQ(r.error.toString(), "dir/res/resource.h(3): expected a constant expression after #if");
}

TEST(ResourceScript, SurvivesHostileInput)
{
    // Deep nesting, self-inclusion and stray bytes end in an error, not a crash or a hang.
    QString deep = QStringLiteral("100 DIALOGEX 0,0,") + QString(5000, u'(') + QStringLiteral("1");
    EXPECT_FALSE(parse(deep).ok());
    EXPECT_TRUE(parse(deep).error.message.contains("nested too deeply"));

    IncludeLoader self = [](const QString&, const QString&) -> std::optional<QString> {
        return QStringLiteral("#include \"self.h\"\n");
    };
    const auto r = parseResourceScript(QStringLiteral("#include \"self.h\"\n"), QStringLiteral("s.rc"), self);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error.message.contains("nested too deeply"));

    const QString junk = QString::fromLatin1("\x01\x02}}}}END BEGIN ,,,, \"\"\"\" -- 0x 99999999999999999999999");
    EXPECT_FALSE(parse(junk).ok());
    EXPECT_TRUE(parse(QString()).ok()) << "an empty script has nothing wrong with it";
    const auto big = parse(QStringLiteral("100 DIALOGEX 0,0,-0x7FFFFFFFFFFFFFFF/ -1 % 0,10\nBEGIN\nEND\n"));
    EXPECT_TRUE(big.ok()) << big.error.toString().toStdString();
}

TEST(ResourceScript, IncludesAreBoundedInNumberAndSize)
{
    // Includes itself four times per level while a counter tracks the depth:
    // under the depth limit, yet about 4^15 files in all.
    const QString bomb = QStringLiteral("#ifndef D\n#define D 0\n#endif\n#define D D+1\n#if D<16\n"
                                        "#include \"b.rc\"\n#include \"b.rc\"\n#include \"b.rc\"\n#include \"b.rc\"\n"
                                        "#endif\n#define D D-1\n");
    IncludeLoader self = [&bomb](const QString&, const QString&) -> std::optional<QString> { return bomb; };
    const auto r = parseResourceScript(bomb, QStringLiteral("b.rc"), self);
    ASSERT_FALSE(r.ok());
    EXPECT_TRUE(r.error.message.contains("more than 1000 #include files")) << r.error.toString().toStdString();

    // A few large includes add up.
    const QString large = QStringLiteral("// ") + QString(3 * 1024 * 1024, u'x') + u'\n';
    IncludeLoader big = [&large](const QString&, const QString&) -> std::optional<QString> { return large; };
    const auto r2 = parseResourceScript(QStringLiteral("#include \"a.h\"\n#include \"b.h\"\n#include \"c.h\"\n"),
                                        QStringLiteral("big.rc"), big);
    ASSERT_FALSE(r2.ok());
    EXPECT_TRUE(r2.error.message.contains("longer than")) << r2.error.toString().toStdString();
}

TEST(ResourceScript, CoordinatesAreClampedToTheTemplatesWordRange)
{
    const auto r = parse(QStringLiteral("100 DIALOGEX 0x7FFFFFFF, -0x7FFFFFFFFFFF, 0x7FFFFFFF, 40000\n"
                                        "FONT 99999999, \"MS Shell Dlg\"\n"
                                        "BEGIN\n"
                                        "  LTEXT \"a\", 1, 2147483647, -2147483648, 2147483647, 2147483647\n"
                                        "  ICON \"i\", 2, 99999999, 5, -99999999, 7\n"
                                        "END\n"));
    ASSERT_TRUE(r.ok()) << r.error.toString().toStdString();
    const DialogTemplate* d = r.script->dialog(100);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->rect, QRect(32767, -32768, 32767, 32767));
    EXPECT_EQ(d->fontPointSize, 32767);
    ASSERT_EQ(d->controls.size(), 2u);
    EXPECT_EQ(d->controls[0].rect, QRect(32767, -32768, 32767, 32767));
    EXPECT_EQ(d->controls[1].rect, QRect(32767, 5, -32768, 7));
    // And the pixels of such a template stay in range.
    const QRect px = dialogUnitsToPixels(d->controls[0].rect, BaseUnits{400, 800});
    EXPECT_GT(px.width(), 0);
    EXPECT_GT(px.height(), 0);
}

TEST(ResourceScript, LaterDialogWithTheSameIdReplacesTheEarlier)
{
    const auto r = parse(QStringLiteral("100 DIALOGEX 0,0,1,1\nCAPTION \"a\"\nBEGIN\nEND\n100 DIALOGEX 0,0,1,1\nCAPTION \"b\"\nBEGIN\nEND\n"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.script->dialog(100)->caption, "b");
}

TEST(DialogUnits, ConvertThroughTheFontsBaseUnits)
{
    ui::testing::testApp();
    EXPECT_EQ(mulDiv(7, 6, 4), 11); // 10.5 rounds away from zero
    EXPECT_EQ(mulDiv(-7, 6, 4), -11);
    EXPECT_EQ(mulDiv(5, 5, 0), -1);

    const BaseUnits u{6, 13};
    EXPECT_EQ(dialogUnitsToPixels(QRect(4, 8, 100, 14), u), QRect(6, 13, 150, 23));

    const QFont f = dialogFont(QStringLiteral("MS Shell Dlg"), 8);
    EXPECT_EQ(f.pixelSize(), 11);
    const BaseUnits b = baseUnits(f);
    const QFontMetrics fm(f);
    const int avg = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ(b.x, (avg / 26 + 1) / 2);
    EXPECT_EQ(b.y, fm.height());
    // An 8-point dialog font gives base units near the platform's 6 x 13.
    EXPECT_GE(b.x, 5);
    EXPECT_LE(b.x, 7);
    EXPECT_GE(b.y, 11);
    EXPECT_LE(b.y, 15);
}

} // namespace
