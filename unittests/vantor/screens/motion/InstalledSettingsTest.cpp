// An installed program keeps its settings in the user's data folder: a
// change made in a dialog is there at the next start.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "platform/DataFolder.h"
#include "platform/DevicePath.h"
#include "vantor/res/resource.h"
#include "vantor/screens/motion/CPlatenDlg.h"
#include "vantor/settings/TestSettingsStore.h"
#include "unittests/vantor/testing/ScreenFixture.h"

using ui::testing::DialogHarness;
using namespace vantor;


namespace {

class InstalledSettingsTest : public vantor::testing::ScreenFixture {
protected:
    QTemporaryDir home;
    QString data;
    void SetUp() override
    {
        ScreenFixture::SetUp();
        // The fixture's folder holds the starter Vantor.ini and device root,
        // as the installation's share/ folder does.
        data = home.filePath(QStringLiteral(".local/share/printer-diagnostics"));
        bool seeded = false;
        QString error;
        ASSERT_TRUE(platform::seedOnce(dir.path(), data, &seeded, &error)) << qPrintable(error);
        ASSERT_TRUE(seeded);
        platform::useDataFolder(data);
        platform::setDeviceRoot(QString()); // the data folder's own
    }
    void TearDown() override
    {
        platform::useDataFolder(QString());
        ScreenFixture::TearDown();
    }
    // A start of the program: the settings loaded from where it looks for them.
    void start()
    {
        // The previous start's context goes first: contexts nest, and one made
        // before the last is gone would be restored to a freed one.
        settings.reset();
        settings = std::make_unique<ScopedSettingsContext>(DefaultSettingsPath());
        ASSERT_TRUE(LoadSettingsFile(DefaultSettingsPath()));
    }
};

} // namespace

TEST_F(InstalledSettingsTest, ADialogChangeSurvivesARestart)
{
    EXPECT_EQ(DefaultSettingsPath(), data + QStringLiteral("/Vantor.ini"));
    EXPECT_EQ(platform::deviceRoot(), data + QStringLiteral("/device"));
    const QByteArray starter = [&] {
        QFile f(iniPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const int cumulative = FetchTestSettings<CPlatenSettings>()->cumulativeCycle; // the starter's
    start();
    startSimulator();
    {
        CPlatenDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        ASSERT_NE(h.text(IDC_TOTAL_CYCLE), QStringLiteral("4"));
        ASSERT_TRUE(h.setText(IDC_PAUSE, QStringLiteral("0")));
        ASSERT_TRUE(runCycles(h, 4));
        h.pressEscape();
        ASSERT_TRUE(advanceUntil([&] { return h.ended(); }));
    }
    stopPrinter();

    start();
    {
        CPlatenDlg dlg;
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        EXPECT_EQ(h.text(IDC_TOTAL_CYCLE), QStringLiteral("4"));
        EXPECT_EQ(h.text(IDC_CUMULATIVE_CYCLE), QString::number(cumulative + 4));
        h.pressEscape();
    }
    // The installed starter file is as it was.
    QFile f(iniPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), starter);
}
