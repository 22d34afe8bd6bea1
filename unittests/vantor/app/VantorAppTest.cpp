// Start-up warning and the test menu, over the program's own resource script.
#include "ui/testing/TestApp.h"
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <set>

#include "ui/testing/CompiledCheck.h"
#include "ui/Resources.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"
#include "vantor/app/CVantorApp.h"
#include "vantor/app/CVantorDlg.h"
#include "vantor/res/VantorResources.h"
#include "vantor/settings/TestSettingsStore.h"

using namespace vantor;
using ui::testing::DialogHarness;

namespace {

QApplication& app() { return ui::testing::testApp(); }

struct Button {
    const char* label;
    int column, row;
};

// The menu as the program's documentation gives it: id -> label and place.
const std::map<int, Button> kMenu = {
    {1000, {"Tape Rewind Test", 1, 1}},     {1015, {"Tape Roll Tightness Test", 1, 2}},
    {1013, {"Tape Overshoot Test", 1, 3}},  {1492, {"Print Head Lift Test", 1, 4}},
    {1002, {"Ejector Test", 1, 5}},         {1003, {"End Cutter Test", 1, 6}},
    {1004, {"Ribbon Tension Test", 1, 7}},  {1542, {"XY Cut Force Program", 1, 8}},
    {1006, {"Platen Test", 2, 1}},          {1008, {"Platen Life Test", 2, 2}},
    {1009, {"Platen - Sensor Test", 2, 3}}, {1014, {"Ribbon Color Test", 2, 4}},
    {1005, {"Ribbon Advance Test", 2, 5}},  {1498, {"Ribbon Drive Test", 2, 6}},
    {1021, {"Ribbon To Platen Test", 2, 7}}, {1007, {"XY Cutter Test", 3, 1}},
    {1122, {"XY Cutter Life Test", 3, 2}},  {1129, {"Fiducial Test", 3, 3}},
    {1011, {"Sensor Read Test", 3, 4}},     {1012, {"Print Test", 3, 5}},
    {1019, {"Print To Cut Test", 3, 6}},    {1020, {"Media Jam Test", 3, 7}},
    {1022, {"Print Aging Test", 3, 8}},     {1493, {"PEB Calibration", 4, 1}},
    {1016, {"DAC Test", 4, 2}},             {1017, {"ADC Test", 4, 3}},
    {1018, {"GPIO Test", 4, 4}},            {1193, {"Tape TagChip Program", 4, 5}},
    {1195, {"Ribbon TagChip Program", 4, 6}}, {1001, {"Print Head Test", 4, 7}},
};

class VantorAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        installBuiltinResources();
        ASSERT_TRUE(ui::Resources::dialog(IDD_VANTOR_DIALOG).has_value()) << ui::Resources::builtinError().toStdString();
    }
    QTemporaryDir dir;
    ScopedSettingsContext settings;
    ui::testing::ScopedPromptRecorder prompts;
};

} // namespace

TEST_F(VantorAppTest, MissingSettingsFileWarnsOnceWithItsPathAndNothingCreatesIt)
{
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    EXPECT_FALSE(CVantorApp::LoadSettings(path));
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_EQ(prompts.texts().front(),
              "Warning: " + path + " not Found. Program not able to save option correctly.");
    EXPECT_EQ(prompts.boxes().front().ask.buttons, ui::MsgButtons::Ok);
    EXPECT_EQ(SettingsPath(), path);

    // Defaults serve; closing a test (its store) does not create the file.
    auto* platen = FetchTestSettings<CPlatenSettings>();
    ASSERT_NE(platen, nullptr);
    EXPECT_EQ(platen->cycle, 0);
    platen->cumulativeCycle = 9;
    EXPECT_FALSE(StoreTestSettings(kTestPlaten));
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(prompts.count(), 1u);
    // The record lives on for the next opening.
    EXPECT_EQ(FetchTestSettings<CPlatenSettings>()->cumulativeCycle, 9);
}

TEST_F(VantorAppTest, EmptySettingsPathWarnsWithAnEmptyName)
{
    EXPECT_FALSE(CVantorApp::LoadSettings(QString()));
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_EQ(prompts.texts().front(), "Warning:  not Found. Program not able to save option correctly.");
}

TEST_F(VantorAppTest, PresentSettingsFileLoadsWithoutWarning)
{
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    {
        // Written by the store itself: its own format, replaced in place.
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(CVantorApp::LoadSettings(path));
    FetchTestSettings<CPlatenSettings>()->cumulativeCycle = 42;
    ASSERT_TRUE(StoreTestSettings(kTestPlaten));
    ScopedSettingsContext fresh;
    EXPECT_TRUE(CVantorApp::LoadSettings(path));
    EXPECT_EQ(FetchTestSettings<CPlatenSettings>()->cumulativeCycle, 42);
    EXPECT_EQ(prompts.count(), 0u);
}

TEST_F(VantorAppTest, AnUnreadableSettingsFileIsLeftAloneAndSaidSo)
{
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    // Re-saved by an editor in an 8-bit code page.
    const QByteArray bytes("[Platen]\r\nTotalPulses = 1200\r\nOwner = M\xFCller\r\n");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    EXPECT_FALSE(CVantorApp::LoadSettings(path));
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_EQ(prompts.texts().front(),
              "Warning: " + path + " could not be read. Program not able to save option correctly.");
    FetchTestSettings<CPlatenSettings>()->cumulativeCycle = 5;
    EXPECT_FALSE(StoreTestSettings(kTestPlaten));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
    EXPECT_EQ(prompts.count(), 1u) << "warned once, at start-up";
}

TEST_F(VantorAppTest, AFailedSaveIsShownOnceNamingThePath)
{
    const QString path = dir.filePath(QStringLiteral("Vantor.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(CVantorApp::LoadSettings(path));
    QFile::setPermissions(path, QFile::ReadOwner);
    EXPECT_FALSE(StoreTestSettings(kTestPlaten));
    EXPECT_FALSE(StoreTestSettings(kTestPlaten));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_EQ(prompts.count(), 1u);
    EXPECT_EQ(prompts.texts().front(), "Warning: the settings could not be saved to " + path + ".");
}

TEST_F(VantorAppTest, MenuShowsItsGridWithExactLabelsAndVersionedCaption)
{
    const std::vector<TestScreen> none;
    CVantorDlg dlg(none);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "Engineering Diagnostic - v1.02");
    EXPECT_FALSE(dlg.windowIcon().isNull());
    const ui::DialogTemplate* t = dlg.dialogTemplate();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rect.size(), QSize(402, 236));
    EXPECT_EQ(t->caption, "Engineering Diagnostic");

    const int xs[] = {6, 106, 206, 308}, ys[] = {7, 35, 63, 91, 119, 147, 176, 204};
    std::vector<int> ids = dlg.controlIds();
    EXPECT_EQ(ids.size(), kMenu.size());
    for (int id : ids) {
        auto it = kMenu.find(id);
        ASSERT_NE(it, kMenu.end()) << id;
        EXPECT_EQ(h.text(id), it->second.label) << id;
        const QRect r = t->control(id)->rect;
        EXPECT_EQ(r, QRect(xs[it->second.column - 1], ys[it->second.row - 1], 87, 25)) << id;
    }
    // Hidden: Ribbon Tension (handler kept) and Print Head (also disabled).
    for (const auto& [id, b] : kMenu) {
        const bool hidden = id == 1004 || id == 1001;
        EXPECT_EQ(h.visible(id), !hidden) << b.label;
    }
    EXPECT_FALSE(h.enabled(1001));
    // With no screen built, no button can be pressed.
    for (const auto& [id, b] : kMenu)
        EXPECT_FALSE(h.enabled(id)) << b.label;
}

TEST_F(VantorAppTest, ButtonsWithAScreenAreEnabledAndOpenIt)
{
    std::vector<int> opened;
    const std::vector<TestScreen> screens = {
        {1006, [&] { opened.push_back(1006); return std::unique_ptr<ui::Dialog>(); }},
        {1004, [&] { opened.push_back(1004); return std::unique_ptr<ui::Dialog>(); }},
        {1010, [&] { opened.push_back(1010); return std::unique_ptr<ui::Dialog>(); }},
    };
    CVantorDlg dlg(screens);
    DialogHarness h(dlg);
    EXPECT_TRUE(h.enabled(1006));
    EXPECT_FALSE(h.enabled(1008));
    EXPECT_TRUE(h.click(1006));
    EXPECT_FALSE(h.click(1008));
    // Ribbon Tension has its handler but no visible button; eject life no button at all.
    EXPECT_FALSE(h.click(1004));
    dlg.command(1004);
    dlg.command(1010);
    EXPECT_EQ(opened, (std::vector<int>{1006, 1004, 1010}));
    h.pressEscape();
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(h.endCode(), ui::IDCANCEL);
}

TEST_F(VantorAppTest, TheProgramsMenuEnablesExactlyTheButtonsOfItsTable)
{
    CVantorDlg dlg;
    DialogHarness h(dlg);
    std::set<int> rows;
    for (const TestScreen& s : testScreens()) {
        ASSERT_TRUE(s.open);
        // Every row names a button of the menu, or the eject life command.
        EXPECT_TRUE(kMenu.count(s.commandId) || s.commandId == 1010) << s.commandId;
        EXPECT_TRUE(rows.insert(s.commandId).second) << "twice: " << s.commandId;
    }
    for (const auto& [id, b] : kMenu)
        EXPECT_EQ(h.enabled(id), rows.count(id) == 1 && id != 1001) << b.label;
}

// What a start reads (the compiled form the build embeds) is the script's own
// parse, template for template.
TEST(VantorResources, TheCompiledFormIsTheBuiltInScriptsParse)
{
    EXPECT_EQ(ui::testing::compiledFormMismatch(QString::fromLatin1(vantor::kBuiltinScript)), QString());
}
