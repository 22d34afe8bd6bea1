#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QTemporaryDir>

#include "pellam/app/CPellamApp.h"
#include "pellam/app/Language.h"
#include "platform/DevicePath.h"
#include "platform/Registry.h"
#include "support/TestApp.h"
#include "ui/Dialog.h"
#include "ui/testing/CompiledCheck.h"
#include "ui/Resources.h"

using namespace pellam;

namespace {

const QStringList kLibraryDir{QStringLiteral(LANGUAGE_LIBRARY_DIR)};

class Language : public ::testing::Test {
protected:
    void SetUp() override
    {
        pellamtest::app();
        platform::setDeviceRoot(root.path());
    }
    void TearDown() override
    {
        ui::Resources::unloadLibrary();
        platform::setDeviceRoot(QString());
    }
    static void setPrefix(const QString& value)
    {
        ASSERT_TRUE(platform::regSetString(platform::Hive::LocalMachine, QString::fromUtf16(kLocalSetupKey),
                                           QStringLiteral("LanguagePrefix"), value));
    }
    static QString caption(int id)
    {
        ui::Dialog d(id);
        return d.create() ? d.windowTitle() : QStringLiteral("<missing>");
    }
    QTemporaryDir root;
};

TEST_F(Language, PrefixComesFromTheRegistryOrIsEnglish)
{
    EXPECT_EQ(languagePrefix(), "EN_") << "no registry at all";

    // The key exists, the value does not.
    ASSERT_TRUE(platform::regSetString(platform::Hive::LocalMachine, QString::fromUtf16(kLocalSetupKey),
                                       QStringLiteral("Other"), QStringLiteral("x")));
    EXPECT_EQ(languagePrefix(), "EN_");

    setPrefix(QStringLiteral("DE_"));
    EXPECT_EQ(languagePrefix(), "DE_");
    EXPECT_EQ(languageLibraryName(languagePrefix()), "DE_Pellam.so");
    EXPECT_EQ(languageLibraryName(defaultLanguagePrefix()), "EN_Pellam.so");

    // A value under the current user's hive is not the machine's.
    ASSERT_TRUE(platform::regSetString(platform::Hive::CurrentUser, QString::fromUtf16(kLocalSetupKey),
                                       QStringLiteral("LanguagePrefix"), QStringLiteral("FR_")));
    EXPECT_EQ(languagePrefix(), "DE_");

    // Read as it stands, even where it begins like a byte-order mark.
    // (QString's own UTF-16 and UCS-4 readers would take the mark away.)
    for (char16_t mark : {u'\uFFFE', u'\uFEFF'}) {
        const QString value = QChar(mark) + QStringLiteral("DE_");
        setPrefix(value);
        EXPECT_EQ(languagePrefix(), value);
    }

    // Longer than the 256-character buffer: the read fails.
    setPrefix(QString(300, QLatin1Char('A')));
    EXPECT_EQ(languagePrefix(), "EN_");
}

TEST_F(Language, TheSecondLanguageReplacesEveryCaptionAndString)
{
    EXPECT_EQ(caption(IDD_DIAGNOSTICS_MENU), "Diagnostics Menu");
    QString why;
    ASSERT_TRUE(loadLanguageLibrary(QStringLiteral("DE_"), kLibraryDir, &why)) << why.toStdString();
    EXPECT_TRUE(ui::Resources::libraryPath().endsWith(QStringLiteral("/DE_Pellam.so")));
    EXPECT_EQ(caption(IDD_DIAGNOSTICS_MENU), QString::fromUtf8("Diagnosemen\xC3\xBC"));
    EXPECT_EQ(caption(IDD_PASSCODE), "Passcode eingeben");
    EXPECT_EQ(caption(IDD_INFO), "Informationen");
    EXPECT_EQ(ui::loadString(IDS_CODE_ERROR), "Codefehler.");
    {
        ui::Dialog menu(IDD_DIAGNOSTICS_MENU);
        ASSERT_TRUE(menu.create());
        EXPECT_EQ(menu.text(IDC_MENU_UNLOCK), "Techniker-Freischaltung");
        EXPECT_EQ(menu.text(IDC_CLOSE), QString::fromUtf8("Schlie\xC3\x9F") + QStringLiteral("en"));
    }

    // Loading English frees German first.
    ASSERT_TRUE(loadLanguageLibrary(QStringLiteral("EN_"), kLibraryDir, &why)) << why.toStdString();
    EXPECT_TRUE(ui::Resources::libraryPath().endsWith(QStringLiteral("/EN_Pellam.so")));
    EXPECT_EQ(caption(IDD_DIAGNOSTICS_MENU), "Diagnostics Menu");
    EXPECT_EQ(ui::loadString(IDS_CODE_ERROR), "Code Error.");
}

TEST_F(Language, WithoutALibraryTheBuiltInEnglishServes)
{
    ASSERT_TRUE(loadLanguageLibrary(QStringLiteral("DE_"), kLibraryDir));
    EXPECT_FALSE(loadLanguageLibrary(QStringLiteral("XX_"), kLibraryDir));
    EXPECT_FALSE(ui::Resources::libraryLoaded()) << "the previous library is freed first";
    EXPECT_EQ(caption(IDD_DIAGNOSTICS_MENU), "Diagnostics Menu");
    EXPECT_EQ(ui::loadString(IDS_PEB_SAVED), "PEB Values Are Saved.");

    // A prefix cannot lead out of the search path.
    QString why;
    EXPECT_FALSE(loadLanguageLibrary(QStringLiteral("../bin/DE_"), kLibraryDir, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(ui::Resources::libraryLoaded());
}

TEST_F(Language, StartUpLoadsTheLibraryTheRegistryNames)
{
    setPrefix(QStringLiteral("DE_"));
    {
        CPellamApp app(kLibraryDir);
        app.chooseLanguage();
        EXPECT_EQ(app.prefix(), "DE_");
        EXPECT_TRUE(app.resourceLibraryLoaded());
        EXPECT_EQ(caption(IDD_INFO), "Informationen");
    }
    EXPECT_FALSE(ui::Resources::libraryLoaded()) << "the application frees its library";

    setPrefix(QStringLiteral("ZZ_"));
    CPellamApp app(kLibraryDir);
    app.chooseLanguage();
    EXPECT_FALSE(app.resourceLibraryLoaded());
    EXPECT_EQ(caption(IDD_INFO), "Information");
}

// Every language library carries every template, control and string of the
// built-in script; the German one translates every text that has a word in it.
TEST_F(Language, LibrariesMatchTheBuiltInScript)
{
    ui::ParseResult builtin = ui::parseResourceFile(QString::fromLatin1(kBuiltinScript));
    ASSERT_TRUE(builtin.ok()) << builtin.error.toString().toStdString();
    const QRegularExpression word(QStringLiteral("[A-Za-z]{2}"));
    for (const QString& prefix : {QStringLiteral("EN_"), QStringLiteral("DE_")}) {
        SCOPED_TRACE(prefix.toStdString());
        ASSERT_TRUE(loadLanguageLibrary(prefix, kLibraryDir));
        const bool translated = prefix != QLatin1String("EN_");
        for (const auto& [id, tmpl] : builtin.script->dialogs) {
            const auto lib = ui::Resources::dialog(id);
            ASSERT_TRUE(lib.has_value()) << "template " << id;
            EXPECT_EQ(lib->caption != tmpl.caption, translated) << tmpl.caption.toStdString();
            ASSERT_EQ(lib->controls.size(), tmpl.controls.size()) << "template " << id;
            for (size_t i = 0; i < tmpl.controls.size(); ++i) {
                const auto& mine = tmpl.controls[i];
                const auto& theirs = lib->controls[i];
                EXPECT_EQ(theirs.id, mine.id) << "template " << id << " control " << i;
                EXPECT_EQ(theirs.className, mine.className);
                EXPECT_EQ(theirs.style, mine.style);
                if (translated && mine.text.contains(word)) {
                    EXPECT_NE(theirs.text, mine.text) << "untranslated: " << mine.text.toStdString();
                }
            }
        }
        for (const auto& [id, text] : builtin.script->strings) {
            const auto lib = ui::Resources::string(id);
            ASSERT_TRUE(lib.has_value()) << "string " << id;
            EXPECT_EQ(*lib != text, translated) << text.toStdString();
            // Messages that end in a blank keep it in every language.
            EXPECT_EQ(lib->endsWith(QLatin1Char(' ')), text.endsWith(QLatin1Char(' '))) << id;
        }
    }
}

} // namespace

// What a start reads (the compiled form the build embeds) is the script's own
// parse, template for template.
TEST(PellamResources, TheCompiledFormIsTheBuiltInScriptsParse)
{
    EXPECT_EQ(ui::testing::compiledFormMismatch(QString::fromLatin1(pellam::kBuiltinScript)), QString());
}
