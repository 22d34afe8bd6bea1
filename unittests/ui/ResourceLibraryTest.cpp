#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ui/testing/TestApp.h"
#include "ui/Dialog.h"
#include "ui/Resources.h"
#include "ui/testing/DialogHarness.h"

using namespace ui;

namespace {

constexpr int IDD_HELLO = 130, IDD_ONLY_BUILTIN = 131, IDC_TEXT = 1000;

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class ResourceLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::testing::testApp();
        // The program's built-in script, on disk as the Qt resource system would hold it.
        writeFile(m_dir.filePath("resource.h"), "#define IDD_HELLO 130\n#define IDD_ONLY_BUILTIN 131\n#define IDC_TEXT 1000\n");
        writeFile(m_dir.filePath("app.rc"),
                  "#include \"resource.h\"\n"
                  "IDD_HELLO DIALOGEX 0,0,100,40\nCAPTION \"Hello\"\nBEGIN\n LTEXT \"English\",IDC_TEXT,5,5,90,8\nEND\n"
                  "IDD_ONLY_BUILTIN DIALOGEX 0,0,100,40\nCAPTION \"Only here\"\nBEGIN\nEND\n"
                  "STRINGTABLE\nBEGIN\n 1102 \"Code Error.\"\n 1113 \"Idle...\"\nEND\n");
        Resources::setBuiltinScript(m_dir.filePath("app.rc"));
    }
    void TearDown() override { Resources::unloadLibrary(); }
    QTemporaryDir m_dir;
};

QString captionOf(int id)
{
    Dialog d(id);
    return d.create() ? d.windowTitle() : QStringLiteral("<missing>");
}

TEST_F(ResourceLibrary, ReplacesTemplatesAndStringsUntilUnloaded)
{
    EXPECT_EQ(captionOf(IDD_HELLO), "Hello");
    EXPECT_EQ(loadString(1102), "Code Error.");

    QString error;
    ASSERT_TRUE(Resources::loadLibrary(QStringLiteral(LANG_LIB_NAME), {m_dir.path(), QStringLiteral(LANG_LIB_DIR)}, &error))
        << error.toStdString();
    EXPECT_TRUE(Resources::libraryLoaded());
    EXPECT_TRUE(Resources::libraryPath().startsWith(QStringLiteral(LANG_LIB_DIR)));
    EXPECT_EQ(captionOf(IDD_HELLO), "Bonjour");
    {
        Dialog d(IDD_HELLO);
        ui::testing::DialogHarness h(d);
        EXPECT_EQ(h.text(IDC_TEXT), QString::fromUtf8("Fran\xC3\xA7" "ais"));
    }
    EXPECT_EQ(loadString(1102), "Erreur de code.");
    EXPECT_EQ(loadString(1113), "Idle...") << "what the library lacks comes from the program";
    EXPECT_EQ(captionOf(IDD_ONLY_BUILTIN), "Only here");

    Resources::unloadLibrary();
    EXPECT_FALSE(Resources::libraryLoaded());
    EXPECT_EQ(captionOf(IDD_HELLO), "Hello");
    EXPECT_EQ(loadString(1102), "Code Error.");
}

TEST_F(ResourceLibrary, AFailedLoadChangesNothing)
{
    QString error;
    EXPECT_FALSE(Resources::loadLibrary(QStringLiteral("XX_NoSuch.so"), {m_dir.path()}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(Resources::libraryLoaded());

    // A file that is no library at all.
    writeFile(m_dir.filePath("Broken.so"), "not an ELF file");
    EXPECT_FALSE(Resources::loadLibrary(QStringLiteral("Broken.so"), {m_dir.path()}, &error));
    EXPECT_EQ(captionOf(IDD_HELLO), "Hello");
}

TEST_F(ResourceLibrary, ABrokenBuiltinScriptIsReportedAndLeavesNoTemplates)
{
    writeFile(m_dir.filePath("bad.rc"), "#include \"resource.h\"\nIDD_HELLO DIALOGEX 0,0,1\n");
    Resources::setBuiltinScript(m_dir.filePath("bad.rc"));
    EXPECT_EQ(captionOf(IDD_HELLO), "<missing>");
    EXPECT_TRUE(Resources::builtinError().contains("bad.rc(2): expected ','")) << Resources::builtinError().toStdString();
}

TEST_F(ResourceLibrary, AScriptReadAheadIsTheScriptInForceAtItsFirstUse)
{
    // Read ahead, then used: the same templates and strings as a read on use.
    Resources::prefetchBuiltin();
    EXPECT_EQ(captionOf(IDD_HELLO), "Hello");
    EXPECT_EQ(loadString(1113), "Idle...");

    // Read ahead, then replaced before any use: the read-ahead text is not used.
    writeFile(m_dir.filePath("other.rc"), "#include \"resource.h\"\nIDD_HELLO DIALOGEX 0,0,100,40\nCAPTION \"Other\"\nBEGIN\nEND\n");
    Resources::setBuiltinScript(m_dir.filePath("app.rc"));
    Resources::prefetchBuiltin();
    Resources::setBuiltinScript(m_dir.filePath("other.rc"));
    EXPECT_EQ(captionOf(IDD_HELLO), "Other");
    EXPECT_EQ(captionOf(IDD_ONLY_BUILTIN), "<missing>");

    // A script parsed elsewhere wins over one being read ahead.
    Resources::setBuiltinScript(m_dir.filePath("app.rc"));
    Resources::prefetchBuiltin();
    ParseResult given = parseResourceScript(QStringLiteral("130 DIALOGEX 0,0,10,10\nCAPTION \"Given\"\nBEGIN\nEND\n"), "given.rc");
    ASSERT_TRUE(given.ok());
    Resources::setBuiltin(std::move(*given.script));
    EXPECT_EQ(captionOf(IDD_HELLO), "Given");

    // A broken script read ahead is reported as one read on use is.
    writeFile(m_dir.filePath("bad.rc"), "#include \"resource.h\"\nIDD_HELLO DIALOGEX 0,0,1\n");
    Resources::setBuiltinScript(m_dir.filePath("bad.rc"));
    Resources::prefetchBuiltin();
    EXPECT_EQ(captionOf(IDD_HELLO), "<missing>");
    EXPECT_TRUE(Resources::builtinError().contains("bad.rc(2): expected ','")) << Resources::builtinError().toStdString();
}

} // namespace

namespace {

TEST(EmbeddedScript, LoadsWithItsIncludeFromTheQtResources)
{
    ui::testing::testApp();
    ui::Resources::setBuiltinScript(QStringLiteral(":/uitest/embedded/embedded.rc"));
    EXPECT_EQ(ui::loadString(1500), "embedded string");
    EXPECT_EQ(captionOf(150), "Embedded");
    EXPECT_TRUE(ui::Resources::builtinError().isEmpty());
}

} // namespace

namespace {

// The test library's script, replaced for one test.
class ScopedLibraryScript {
public:
    explicit ScopedLibraryScript(const QByteArray& script) { qputenv("UI_TEST_LANG_SCRIPT", script); }
    ~ScopedLibraryScript() { qunsetenv("UI_TEST_LANG_SCRIPT"); }
};

TEST_F(ResourceLibrary, OnlyAPlainNameInTheGivenFoldersLoads)
{
    const QString absolute = QStringLiteral(LANG_LIB_DIR "/" LANG_LIB_NAME);
    ASSERT_TRUE(QFile::exists(absolute));
    const QString relative = QDir(m_dir.path()).relativeFilePath(absolute);
    const QString names[] = {absolute, relative, QStringLiteral("./" LANG_LIB_NAME)};
    for (const QString& name : names) {
        QString error;
        EXPECT_FALSE(Resources::loadLibrary(name, {m_dir.path()}, &error)) << name.toStdString();
        EXPECT_FALSE(Resources::libraryLoaded());
        EXPECT_FALSE(error.isEmpty());
    }
    // A plain name that none of the folders holds is not looked for anywhere else.
    QString error;
    EXPECT_FALSE(Resources::loadLibrary(QStringLiteral("libm.so.6"), {m_dir.path()}, &error));
    EXPECT_TRUE(error.contains("not found")) << error.toStdString();
}

TEST_F(ResourceLibrary, ALibrarysScriptIncludesOnlyFilesBesideItOrTheProgramsScript)
{
    // Files outside both folders, by absolute path, by "..", and through a
    // link beside the built-in script.
    QTemporaryDir outside;
    writeFile(outside.filePath("outside.h"), "#define IDS_ERROR 1102\n");
    ASSERT_TRUE(QFile::link(outside.filePath("outside.h"), m_dir.filePath("linked.h")));
    const QString escapes[] = {
        outside.filePath("outside.h"),
        QDir(m_dir.path()).relativeFilePath(outside.filePath("outside.h")),
        QStringLiteral("linked.h"),
    };
    for (const QString& name : escapes) {
        ScopedLibraryScript script("#include \"" + name.toUtf8() + "\"\nSTRINGTABLE BEGIN IDS_ERROR \"x\" END\n");
        QString error;
        EXPECT_FALSE(Resources::loadLibrary(QStringLiteral(LANG_LIB_NAME), {QStringLiteral(LANG_LIB_DIR)}, &error))
            << name.toStdString();
        EXPECT_TRUE(error.contains("cannot open include file")) << error.toStdString();
    }
    // A plain name beside the built-in script is found (what the library
    // shares with the program).
    ScopedLibraryScript script("#include \"RESOURCE.H\"\nSTRINGTABLE BEGIN IDC_TEXT \"x\" END\n");
    QString error;
    EXPECT_TRUE(Resources::loadLibrary(QStringLiteral(LANG_LIB_NAME), {QStringLiteral(LANG_LIB_DIR)}, &error))
        << error.toStdString();
    EXPECT_EQ(loadString(1000), "x");
}

} // namespace
