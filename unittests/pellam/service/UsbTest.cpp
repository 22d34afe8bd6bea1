#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "pellam/app/MenuScreens.h"
#include "pellam/res/PellamResources.h"
#include "pellam/service/CUSBDlg.h"
#include "pellam/service/UsbNotice.h"
#include "platform/DeviceChange.h"
#include "sim/usb/SimulatedUsb.h"
#include "support/TestApp.h"
#include "ui/testing/DialogHarness.h"

using namespace pellam;
using ui::testing::DialogHarness;
using ui::testing::processUntil;
using Bytes = std::vector<uint8_t>;

namespace {

const QString kInsert = QStringLiteral("Insert USB Device.");
const QString kDetected = QStringLiteral("USB Device Detected!");
const QString kRemoved = QStringLiteral("USB Device Removed.");

Bytes withText(uint32_t type, std::u16string_view text)
{
    Bytes r = platform::portRecord(text);
    r[4] = uint8_t(type);
    return r;
}

Bytes withSizeWord(Bytes r, uint32_t size)
{
    for (int i = 0; i < 4; ++i)
        r[i] = uint8_t(size >> (8 * i));
    return r;
}

class UsbTest : public ::testing::Test {
protected:
    void SetUp() override { pellamtest::app(); }
    // Publishes and lets the dialog take what was posted.
    void deliver(uint32_t event, Bytes record)
    {
        hub.publish(event, std::move(record));
        ui::testing::processEvents();
    }
    platform::DeviceChangeHub hub;
};

TEST_F(UsbTest, OpensAskingForADeviceAndListens)
{
    CUSBDlg dlg(hub);
    EXPECT_EQ(hub.subscriberCount(), 0u) << "not before it opens";
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    EXPECT_EQ(dlg.windowTitle(), "USB Communication Test");
    EXPECT_EQ(h.text(IDC_USB_STATUS), kInsert);
    EXPECT_EQ(hub.subscriberCount(), 1u);
    ASSERT_TRUE(h.click(IDC_CLOSE));
    EXPECT_TRUE(h.ended());
    EXPECT_EQ(dlg.endCode(), ui::IDCANCEL);
}

TEST_F(UsbTest, WhatEachNotificationShows)
{
    struct Case {
        const char* what;
        uint32_t event;
        Bytes record;
        QString shown;
    };
    const Case cases[] = {
        {"a port shows its name, a blank and the message", platform::DBT_DEVICEARRIVAL, platform::portRecord(u"COM3:"),
         "COM3: " + kDetected},
        {"type 2 with text there", platform::DBT_DEVICEARRIVAL, withText(2, u"DSK1:"), "DSK1: " + kDetected},
        {"type 0 with text there", platform::DBT_DEVICEARRIVAL, withText(0, u"OEM"), "OEM " + kDetected},
        {"a volume's numbers are no name", platform::DBT_DEVICEARRIVAL, platform::volumeRecord(1u << 4, 0), " " + kDetected},
        {"an OEM record's numbers are no name", platform::DBT_DEVICEARRIVAL, platform::oemRecord(0, 0), " " + kDetected},
        {"another type: a single blank", platform::DBT_DEVICEARRIVAL, withText(5, u"\\\\?\\USB#VID"), " " + kDetected},
        {"removal", platform::DBT_DEVICEREMOVECOMPLETE, platform::portRecord(u"COM3:"), kRemoved},
        {"removal without a record", platform::DBT_DEVICEREMOVECOMPLETE, {}, kRemoved},
        {"arrival without a record", platform::DBT_DEVICEARRIVAL, {}, " " + kDetected},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CUSBDlg dlg(hub);
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        deliver(c.event, c.record);
        EXPECT_EQ(h.text(IDC_USB_STATUS), c.shown);
    }
}

TEST_F(UsbTest, OtherEventsChangeNothing)
{
    CUSBDlg dlg(hub);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    deliver(platform::DBT_DEVICEARRIVAL, platform::portRecord(u"COM1:"));
    const QString before = h.text(IDC_USB_STATUS);
    for (uint32_t event : {platform::DBT_DEVICEQUERYREMOVE, platform::DBT_DEVICEREMOVEPENDING, platform::DBT_DEVNODES_CHANGED,
                           0x8005u, 0u}) {
        SCOPED_TRACE(event);
        deliver(event, platform::portRecord(u"COM9:"));
        EXPECT_EQ(h.text(IDC_USB_STATUS), before);
    }
}

TEST(UsbNotice, ShortAndMalformedRecordsAreReadWithinTheirBytes)
{
    const Bytes port = platform::portRecord(u"ABCD");
    struct Case {
        const char* what;
        Bytes record;
        QString name;
    };
    const Case cases[] = {
        {"empty", {}, ""},
        {"too short for the type word", Bytes(port.begin(), port.begin() + 7), ""},
        {"header only", Bytes(port.begin(), port.begin() + 12), ""},
        {"cut inside the text", Bytes(port.begin(), port.begin() + 17), "AB"},
        {"an odd byte at the end is no character", Bytes(port.begin(), port.begin() + 15), "A"},
        {"the size word ends it before the bytes do", withSizeWord(port, 16), "AB"},
        {"a size word past the bytes is not believed", withSizeWord(port, 0xFFFFFFFF), "ABCD"},
        {"a size word below the header", withSizeWord(port, 4), ""},
        {"no NUL: the text ends with the record",
         [] {
             Bytes r = platform::portRecord(u"XY");
             r.resize(r.size() - 2);
             return withSizeWord(r, uint32_t(r.size()));
         }(),
         "XY"},
        {"a control character ends the text", platform::portRecord(u"AB\tC"), "AB"},
        // Code units that a UTF-16 reader takes for a byte-order mark.
        {"a leading U+FFFE swaps nothing", platform::portRecord(u"\uFFFEAB"), QChar(0xFFFE) + QStringLiteral("AB")},
        {"a leading U+FEFF is kept", platform::portRecord(u"\uFEFFAB"), QChar(0xFEFF) + QStringLiteral("AB")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(usbDeviceName(c.record), c.name);
    }
}

TEST(UsbNotice, AHugeNameIsCut)
{
    const std::u16string big(100000, u'N');
    Bytes r = platform::portRecord(big);
    r.resize(r.size() - 2); // and without its NUL
    EXPECT_EQ(usbDeviceName(r), QString(int(kMaxUsbNameChars), QLatin1Char('N')));
}

TEST_F(UsbTest, NotificationsFromAnotherThreadAreShownOnTheUiThread)
{
    CUSBDlg dlg(hub);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    std::thread source([&] { hub.publish(platform::DBT_DEVICEARRIVAL, platform::portRecord(u"USB1:")); });
    source.join();
    EXPECT_EQ(h.text(IDC_USB_STATUS), kInsert) << "nothing touches the widgets from the source's thread";
    EXPECT_TRUE(processUntil([&] { return h.text(IDC_USB_STATUS) == "USB1: " + kDetected; }));
}

TEST_F(UsbTest, TheSimulatedPortPlugsAndRemovesIntoTheScreen)
{
    sim::SimulatedUsb usb(hub);
    CUSBDlg dlg(hub);
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    sim::UsbDevice stick;
    stick.name = "Simulated USB Stick";
    ASSERT_TRUE(usb.plug(stick));
    ui::testing::processEvents();
    EXPECT_EQ(h.text(IDC_USB_STATUS), "Simulated USB Stick " + kDetected);
    ASSERT_TRUE(usb.remove());
    ui::testing::processEvents();
    EXPECT_EQ(h.text(IDC_USB_STATUS), kRemoved);
}

TEST_F(UsbTest, ADestroyedScreenIsNeverReached)
{
    {
        auto dlg = std::make_unique<CUSBDlg>(hub);
        DialogHarness h(*dlg);
        ASSERT_TRUE(h.open());
        // Posted, not yet taken: it must go with the dialog.
        hub.publish(platform::DBT_DEVICEARRIVAL, platform::portRecord(u"LATE:"));
    }
    EXPECT_EQ(hub.subscriberCount(), 0u);
    hub.publish(platform::DBT_DEVICEARRIVAL, platform::portRecord(u"AFTER:"));
    ui::testing::processEvents(); // the dropped post must not reach freed memory
}

TEST_F(UsbTest, ClosingWhileASourceKeepsPublishing)
{
    std::atomic<bool> stop{false};
    std::thread source([&] {
        for (int i = 0; i < 200000 && !stop; ++i) {
            hub.publish(platform::DBT_DEVICEARRIVAL, platform::portRecord(u"BUSY:"));
            std::this_thread::yield();
        }
    });
    for (int i = 0; i < 20; ++i) {
        CUSBDlg dlg(hub);
        DialogHarness h(dlg);
        ASSERT_TRUE(h.open());
        processUntil([&] { return h.text(IDC_USB_STATUS) != kInsert; });
        EXPECT_EQ(h.text(IDC_USB_STATUS), "BUSY: " + kDetected);
    } // each destroyed while the source delivers
    stop = true;
    source.join();
    EXPECT_EQ(hub.subscriberCount(), 0u);
}

TEST_F(UsbTest, TheMenuOpensIt)
{
    const auto buttons = menuButtons();
    const auto row = std::find_if(buttons.begin(), buttons.end(), [](const MenuButton& b) { return b.id == IDC_MENU_USB_TEST; });
    ASSERT_NE(row, buttons.end());
    EXPECT_TRUE(bool(row->open));
    EXPECT_STREQ(row->screen, "CUSBDlg");
    EXPECT_TRUE(row->shownLocked);
    EXPECT_TRUE(row->shownUnlocked);
}

TEST_F(UsbTest, TheDefaultScreenListensToTheProcesssNotifications)
{
    CUSBDlg dlg;
    DialogHarness h(dlg);
    ASSERT_TRUE(h.open());
    platform::deviceChanges().publish(platform::DBT_DEVICEREMOVECOMPLETE, {});
    ui::testing::processEvents();
    EXPECT_EQ(h.text(IDC_USB_STATUS), kRemoved);
}

} // namespace
