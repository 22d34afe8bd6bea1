// The compiled form of a resource script: what a start reads instead of the
// script must be the script's parse exactly, and damaged bytes must be
// refused rather than misread.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "ui/CompiledScript.h"
#include "ui/testing/CompiledCheck.h"

using namespace ui;

namespace {

const char* kScript = R"(#define IDD_ONE 140
#define IDC_EDIT (1000 + 7)
#define IDS_HELLO 1600
IDD_ONE DIALOGEX 4, 5, 300, 200
STYLE DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU
EXSTYLE WS_EX_CLIENTEDGE
CAPTION "Café € ""quoted"""
FONT 9, "Tahoma"
BEGIN
    LTEXT           "Total:",IDC_STATIC,7,7,50,8
    EDITTEXT        IDC_EDIT,60,5,40,12,ES_NUMBER | NOT WS_TABSTOP
    CONTROL         "",1010,"msctls_trackbar32",TBS_BOTH | WS_TABSTOP,7,30,100,15,WS_EX_STATICEDGE
    ICON            IDI_WARNING,1300,220,110,20,20
END
141 DIALOG 0, 0, 10, 10
BEGIN
END
STRINGTABLE
BEGIN
    IDS_HELLO "Hello\tthere "
    1601 ""
END
)";

ResourceScript parsed()
{
    const ParseResult r = parseResourceScript(QString::fromUtf8(kScript), QStringLiteral(":/x/test.rc"));
    EXPECT_TRUE(r.ok()) << r.error.toString().toStdString();
    return r.ok() ? *r.script : ResourceScript{};
}

TEST(CompiledScript, EveryTemplateStringAndSymbolSurvivesTheRoundTrip)
{
    const ResourceScript script = parsed();
    ASSERT_EQ(script.dialogs.size(), 2u);
    ASSERT_EQ(script.dialog(140)->controls.size(), 4u);
    const QByteArray bytes = compileScript(script);
    const auto back = readCompiledScript(bytes);
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(*back == script);
    // Spot checks of what a whole-struct comparison would also miss if a
    // field were left out on both sides.
    EXPECT_EQ(back->dialog(140)->caption, QString::fromUtf8("Caf\xc3\xa9 \xe2\x82\xac \"quoted\""));
    EXPECT_EQ(back->dialog(140)->fontPointSize, 9);
    EXPECT_EQ(back->dialog(140)->exStyle, style::WS_EX_CLIENTEDGE);
    EXPECT_EQ(back->dialog(140)->control(1010)->exStyle, style::WS_EX_STATICEDGE);
    EXPECT_EQ(back->dialog(140)->control(1007)->idName, "IDC_EDIT");
    EXPECT_EQ(back->dialog(140)->rect, QRect(4, 5, 300, 200));
    EXPECT_EQ(back->dialog(140)->fileName, ":/x/test.rc");
    EXPECT_EQ(back->string(1600), "Hello\tthere ");
    EXPECT_EQ(back->string(1601), "");
    EXPECT_EQ(back->symbol("IDC_EDIT"), 1007);
    EXPECT_EQ(compileScript(*back), bytes) << "the form is stable";
}

TEST(CompiledScript, DamagedBytesAreRefusedNotMisread)
{
    const QByteArray bytes = compileScript(parsed());
    for (qsizetype n = 0; n < bytes.size(); ++n)
        ASSERT_FALSE(readCompiledScript(bytes.left(n)).has_value()) << "cut at " << n;
    EXPECT_FALSE(readCompiledScript(bytes + '\0').has_value()) << "bytes after the end";
    QByteArray other = bytes;
    other[0] = char(other[0] ^ 1);
    EXPECT_FALSE(readCompiledScript(other).has_value()) << "not our magic";
    other = bytes;
    other[5] = char(other[5] + 1);
    EXPECT_FALSE(readCompiledScript(other).has_value()) << "another format version";
    other = bytes;
    for (int i = 6; i < 10; ++i) // the count of templates, as large as it goes
        other[i] = char(0xff);
    EXPECT_FALSE(readCompiledScript(other).has_value());
}

TEST(CompiledScript, TheEmbeddedFormIsTheParseOfTheEmbeddedScript)
{
    // File names included: the include's is ":/uitest/embedded/resource.h".
    const QString embedded = QStringLiteral(":/uitest/embedded/embedded.rc");
    EXPECT_EQ(ui::testing::compiledFormMismatch(embedded), QString());
    const ParseResult builtin = readBuiltinScript(embedded);
    ASSERT_TRUE(builtin.ok());
    EXPECT_EQ(builtin.script->string(1500), "embedded string");
    EXPECT_EQ(builtin.script->dialog(150)->caption, "Embedded");
}

TEST(CompiledScript, AScriptOnDiskIsParsedWhateverLiesBesideIt)
{
    // An engineer's edited copy wins over a compiled form left beside it.
    QTemporaryDir dir;
    const QString path = dir.filePath("app.rc");
    QFile rc(path);
    ASSERT_TRUE(rc.open(QIODevice::WriteOnly));
    rc.write("STRINGTABLE\nBEGIN\n    7 \"edited\"\nEND\n");
    rc.close();
    QFile stale(compiledScriptPath(path));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write(compileScript(parsed()));
    stale.close();
    const ParseResult r = readBuiltinScript(path);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.script->string(7), "edited");
    EXPECT_TRUE(r.script->dialogs.empty());
}

} // namespace
