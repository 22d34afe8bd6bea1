#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "pellam/app/CDiagnosticsMenuDlg.h"
#include "pellam/app/MenuScreens.h"

#include "pellam/res/PellamResources.h"
#include "pellam/service/CopyToUSBDlg.h"
#include "pellam/service/UsbCopy.h"
#include "platform/DevicePath.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"
#include "ui/testing/PromptRecorder.h"

using namespace pellam;
using ui::testing::DialogHarness;

namespace {

const int kKeys[10] = {IDC_KEY_0, IDC_KEY_1, IDC_KEY_2, IDC_KEY_3, IDC_KEY_4,
                       IDC_KEY_5, IDC_KEY_6, IDC_KEY_7, IDC_KEY_8, IDC_KEY_9};
const char kLog[] = "03/12/2026 E402 Media jam\r\n";
const char kResults[] = "Door sensor,Closed,OK\r\n";
const QString kFolder = QStringLiteral("Hard Disk/TQ80(82) Diagnostics Files");

class CopyToUsb : public ::testing::Test {
protected:
    void SetUp() override
    {
        pellamtest::app();
        platform::setDeviceRoot(root.path());
        QDir(root.path()).mkpath(QStringLiteral("Store"));
        QDir(root.path()).mkpath(QStringLiteral("Hard Disk"));
        write(QStringLiteral("Store/Error_Log.txt"), kLog);
        write(QStringLiteral("Store/Diagnostics_Results.txt"), kResults);
    }
    void TearDown() override
    {
        platform::setDeviceRoot(QString());
        platform::setHardDiskFolder(QString());
    }
    void write(const QString& rel, const QByteArray& bytes)
    {
        QFile f(root.filePath(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& rel) const
    {
        QFile f(root.filePath(rel));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList copied() const { return QDir(root.filePath(kFolder)).entryList(QDir::Files, QDir::Name); }

    // Opens the screen, presses the keys of `digits`, and returns whether it closed.
    bool enter(const QString& digits, CopyToUSBDlg& dlg)
    {
        DialogHarness h(dlg);
        if (!h.open())
            return false;
        for (QChar d : digits)
            if (!h.ended())
                h.click(kKeys[d.digitValue()]);
        return h.ended();
    }

    QTemporaryDir root;
    ui::testing::ScopedPromptRecorder prompts;
};

TEST_F(CopyToUsb, TenDigitsCopyBothFilesUnderTheSerialNumberAndClose)
{
    CopyToUSBDlg dlg;
    ASSERT_TRUE(enter(QStringLiteral("0123456789"), dlg));
    EXPECT_EQ(dlg.windowTitle(), "Copy Diagnostics Files To USB");
    EXPECT_EQ(dlg.endCode(), ui::IDCANCEL);
    EXPECT_EQ(copied(), (QStringList{"TQ80(82)0123456789 Diagnostics_Results.txt", "TQ80(82)0123456789 Error_Log.txt"}));
    EXPECT_EQ(read(kFolder + "/TQ80(82)0123456789 Error_Log.txt"), kLog);
    EXPECT_EQ(read(kFolder + "/TQ80(82)0123456789 Diagnostics_Results.txt"), kResults);
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.boxes()[0].ask.text, "Both Files Copied Successfully.");
    EXPECT_EQ(prompts.boxes()[0].ask.icon, ui::MsgIcon::Information);
    EXPECT_TRUE(dlg.errorLogCopied());
    EXPECT_TRUE(dlg.resultsCopied());
}

TEST_F(CopyToUsb, AnOlderCopyOfTheSameNameIsReplaced)
{
    QDir(root.path()).mkpath(kFolder);
    write(kFolder + "/TQ80(82)5555555555 Error_Log.txt", "an older, longer log of the same printer\r\n");
    CopyToUSBDlg dlg;
    ASSERT_TRUE(enter(QStringLiteral("5555555555"), dlg));
    EXPECT_EQ(read(kFolder + "/TQ80(82)5555555555 Error_Log.txt"), kLog);
    EXPECT_EQ(prompts.texts(), QStringList{"Both Files Copied Successfully."});
}

TEST_F(CopyToUsb, NineDigitsCopyNothingAndClearStartsAgain)
{
    CopyToUSBDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    for (int d : {9, 8, 7, 6, 5, 4, 3, 2, 1})
        ASSERT_TRUE(h.click(kKeys[d]));
    EXPECT_EQ(h.text(IDC_SERIAL), "987654321");
    EXPECT_FALSE(h.ended());
    EXPECT_FALSE(QDir(root.filePath(kFolder)).exists()) << "nothing is made before the tenth digit";
    ASSERT_TRUE(h.click(IDC_KEY_CLEAR));
    EXPECT_EQ(h.text(IDC_SERIAL), "");
    EXPECT_EQ(dlg.serial(), "");
    ASSERT_TRUE(h.click(kKeys[1]));
    EXPECT_EQ(h.text(IDC_SERIAL), "1");
    EXPECT_EQ(prompts.count(), 0u);
    ASSERT_TRUE(h.click(IDC_KEY_CANCEL));
    EXPECT_TRUE(h.ended());
    EXPECT_FALSE(QDir(root.filePath(kFolder)).exists());
}

TEST_F(CopyToUsb, AMissingSourceHasItsMessageAndTheOtherFileIsStillCopied)
{
    struct Case {
        const char* missing;
        const char* message;
        const char* stillCopied;
    };
    for (Case c : {Case{"Store/Error_Log.txt", "No Error Log File Found.", "TQ80(82)1111111111 Diagnostics_Results.txt"},
                   Case{"Store/Diagnostics_Results.txt", "No Diagnostics Results File Found.",
                        "TQ80(82)1111111111 Error_Log.txt"}}) {
        SCOPED_TRACE(c.missing);
        SetUp();
        QDir(root.filePath(kFolder)).removeRecursively();
        prompts.clear();
        ASSERT_TRUE(QFile::remove(root.filePath(c.missing)));
        CopyToUSBDlg dlg;
        ASSERT_TRUE(enter(QStringLiteral("1111111111"), dlg));
        EXPECT_EQ(copied(), QStringList{c.stillCopied});
        ASSERT_EQ(prompts.boxes().size(), 1u) << "no success message";
        EXPECT_EQ(prompts.boxes()[0].ask.text, c.message);
        EXPECT_EQ(prompts.boxes()[0].ask.icon, ui::MsgIcon::None);
    }
}

TEST_F(CopyToUsb, NoDriveCopiesNothingAndStillCloses)
{
    // Below the device root, and a configured drive folder that is not there
    // (a stick that is not plugged in).
    for (bool configured : {false, true}) {
        SCOPED_TRACE(configured ? "configured" : "below the root");
        QDir(root.filePath(QStringLiteral("Hard Disk"))).removeRecursively();
        if (configured)
            platform::setHardDiskFolder(root.filePath(QStringLiteral("no stick")));
        prompts.clear();
        CopyToUSBDlg dlg;
        ASSERT_TRUE(enter(QStringLiteral("2222222222"), dlg));
        EXPECT_EQ(prompts.texts(), QStringList{"No USB Drive Detected."});
        EXPECT_EQ(prompts.boxes()[0].ask.icon, ui::MsgIcon::None);
        EXPECT_FALSE(QDir(root.filePath(QStringLiteral("Hard Disk"))).exists());
        EXPECT_FALSE(QDir(root.filePath(QStringLiteral("no stick"))).exists());
        EXPECT_FALSE(dlg.errorLogCopied());
    }
}

TEST_F(CopyToUsb, ADriveFolderElsewhereTakesTheCopies)
{
    QTemporaryDir stick;
    platform::setHardDiskFolder(stick.path());
    CopyToUSBDlg dlg;
    ASSERT_TRUE(enter(QStringLiteral("3141592653"), dlg));
    EXPECT_EQ(QDir(stick.filePath(QStringLiteral("TQ80(82) Diagnostics Files"))).entryList(QDir::Files, QDir::Name),
              (QStringList{"TQ80(82)3141592653 Diagnostics_Results.txt", "TQ80(82)3141592653 Error_Log.txt"}));
    EXPECT_FALSE(QDir(root.filePath(kFolder)).exists());
}

TEST_F(CopyToUsb, TypedCharactersThatNoFileNameHoldsAreRefused)
{
    CopyToUSBDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.control(IDC_SERIAL)->accessibleName(), "Enter printer's 10-digit serial number:");
    ASSERT_TRUE(h.click(kKeys[4]));
    ASSERT_TRUE(h.click(kKeys[2]));
    // Ten characters each, so any one let through would start the copy.
    struct Case {
        const char* typed;
        const char* shown;
    };
    for (Case c : {Case{"42\\..\\..\\x", "'\\'"}, Case{"42/../../x", "'/'"}, Case{"4212345:78", "':'"},
                   Case{"42*4567890", "'*'"}, Case{"42?4567890", "'?'"}, Case{"42\"4567890", "'\"'"},
                   Case{"42<4567890", "'<'"}, Case{"42>4567890", "'>'"}, Case{"42|4567890", "'|'"},
                   Case{"42\t4567890", "U+0009"}}) {
        SCOPED_TRACE(c.typed);
        prompts.clear();
        ASSERT_TRUE(h.setText(IDC_SERIAL, QString::fromLatin1(c.typed)));
        ASSERT_EQ(prompts.boxes().size(), 1u);
        EXPECT_EQ(prompts.boxes()[0].ask.text,
                  QStringLiteral("The character %1 cannot be part of a file name; it was not taken into the serial number.")
                      .arg(QString::fromLatin1(c.shown)));
        EXPECT_EQ(prompts.boxes()[0].ask.icon, ui::MsgIcon::Warning);
        EXPECT_EQ(h.text(IDC_SERIAL), "42") << "the entry is as it was";
        EXPECT_FALSE(h.ended());
    }
    EXPECT_FALSE(QDir(root.filePath(kFolder)).exists());
    // Letters may stand in a file name: typed ten characters copy as ten digits do.
    prompts.clear();
    ASSERT_TRUE(h.setText(IDC_SERIAL, QStringLiteral("42AB-67890")));
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(copied(), (QStringList{"TQ80(82)42AB-67890 Diagnostics_Results.txt", "TQ80(82)42AB-67890 Error_Log.txt"}));
}

// From the unlocked menu, the keypad as the technician presses it.
TEST_F(CopyToUsb, FromTheMenuTheKeypadSerialCopiesBothFiles)
{
    CDiagnosticsMenuDlg menu(menuButtons(), [] { return true; });
    DialogHarness h(menu);
    ASSERT_TRUE(h.open());
    ASSERT_TRUE(h.click(IDC_MENU_UNLOCK));
    ASSERT_TRUE(h.visible(IDC_MENU_COPY_TO_USB));
    bool typed = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* keypad = dynamic_cast<CopyToUSBDlg*>(QApplication::activeModalWidget());
        if (!keypad || typed)
            return;
        typed = true;
        for (QChar d : QStringLiteral("2026031201"))
            keypad->command(kKeys[d.digitValue()]);
    });
    poll.start(5);
    ASSERT_TRUE(h.click(IDC_MENU_COPY_TO_USB)); // returns when the screen closed
    poll.stop();
    EXPECT_TRUE(typed);
    EXPECT_EQ(copied(), (QStringList{"TQ80(82)2026031201 Diagnostics_Results.txt", "TQ80(82)2026031201 Error_Log.txt"}));
    EXPECT_EQ(read(kFolder + "/TQ80(82)2026031201 Error_Log.txt"), kLog);
    EXPECT_EQ(prompts.texts(), QStringList{"Both Files Copied Successfully."});
}

TEST(UsbCopyNames, DestinationsCarryTheSerialBetweenThePrefixAndTheirEnding)
{
    EXPECT_EQ(service::errorLogDestination(QStringLiteral("0123456789")),
              "\\Hard Disk\\TQ80(82) Diagnostics Files\\TQ80(82)0123456789 Error_Log.txt");
    EXPECT_EQ(service::resultsDestination(QStringLiteral("0123456789")),
              "\\Hard Disk\\TQ80(82) Diagnostics Files\\TQ80(82)0123456789 Diagnostics_Results.txt");
}

} // namespace
