#include <gtest/gtest.h>

#include "platform/HostDeviceChanges.h"

using namespace platform;

namespace {

HotplugProperties usbDevice(HotplugProperties extra)
{
    HotplugProperties p{{"SUBSYSTEM", "usb"}, {"DEVTYPE", "usb_device"}, {"DEVNAME", "/dev/bus/usb/001/004"},
                        {"PRODUCT", "781/5567/100"}};
    for (auto& [k, v] : extra)
        p[k] = v;
    return p;
}

std::u16string nameIn(const DeviceChange& c)
{
    std::u16string s;
    for (size_t at = kDeviceRecordHeaderBytes; at + 1 < c.record.size(); at += 2) {
        const char16_t ch = char16_t(c.record[at] | c.record[at + 1] << 8);
        if (!ch)
            break;
        s += ch;
    }
    return s;
}

TEST(HostDeviceChanges, AUsbDeviceAddedOrRemovedBecomesAPortRecordWithItsName)
{
    const HotplugProperties stick = usbDevice({{"ID_VENDOR_ENC", "SanDisk\\x20"}, {"ID_MODEL_ENC", "Cruzer\\x20Blade"}});
    const auto arrival = hotplugChange("add", stick);
    ASSERT_TRUE(arrival);
    EXPECT_EQ(arrival->event, DBT_DEVICEARRIVAL);
    ASSERT_GE(arrival->record.size(), 12u);
    EXPECT_EQ(arrival->record[4], DBT_DEVTYP_PORT);
    EXPECT_EQ(nameIn(*arrival), u"SanDisk Cruzer Blade");

    const auto removal = hotplugChange("remove", stick);
    ASSERT_TRUE(removal);
    EXPECT_EQ(removal->event, DBT_DEVICEREMOVECOMPLETE);
    EXPECT_EQ(nameIn(*removal), u"SanDisk Cruzer Blade");
}

TEST(HostDeviceChanges, OtherEventsAndDevicesGiveNoNotification)
{
    EXPECT_FALSE(hotplugChange("change", usbDevice({})));
    EXPECT_FALSE(hotplugChange("bind", usbDevice({})));
    EXPECT_FALSE(hotplugChange("add", usbDevice({{"DEVTYPE", "usb_interface"}})));
    EXPECT_FALSE(hotplugChange("add", usbDevice({{"SUBSYSTEM", "block"}})));
    EXPECT_FALSE(hotplugChange("add", HotplugProperties{}));
}

TEST(HostDeviceChanges, TheNameComesFromTheBestSourceThereIs)
{
    struct Case {
        const char* what;
        HotplugProperties props;
        QString name;
    };
    const Case cases[] = {
        {"the device's own strings first",
         usbDevice({{"ID_VENDOR_ENC", "Acme"}, {"ID_MODEL_ENC", "Stick\\x202"}, {"ID_MODEL_FROM_DATABASE", "DB Model"},
                    {"ID_MODEL", "Stick_2"}}),
         "Acme Stick 2"},
        {"then the hardware database", usbDevice({{"ID_VENDOR_FROM_DATABASE", "SanDisk Corp."}, {"ID_MODEL_FROM_DATABASE", "Cruzer"}}),
         "SanDisk Corp. Cruzer"},
        {"then the plain values, blanks back", usbDevice({{"ID_MODEL", "Flash_Disk"}}), "Flash Disk"},
        {"then the product ids", usbDevice({}), "USB 781/5567/100"},
        {"then the node", HotplugProperties{{"DEVNAME", "/dev/bus/usb/002/003"}}, "/dev/bus/usb/002/003"},
        {"control bytes never reach the screen", usbDevice({{"ID_MODEL_ENC", "Bad\\x0aName\\x07"}}), "Bad Name"},
        {"an escape cut short stays as it is", usbDevice({{"ID_MODEL_ENC", "Odd\\x2"}}), "Odd\\x2"},
        {"UTF-8 names", usbDevice({{"ID_MODEL_ENC", "Gr\xc3\xbc\xc3\x9f" "e"}}), QString::fromUtf8("Gr\xc3\xbc\xc3\x9f" "e")},
        {"characters beyond the first plane", usbDevice({{"ID_MODEL_ENC", "Disk \xf0\x9f\x92\xbe"}}),
         QString::fromUtf8("Disk \xf0\x9f\x92\xbe")},
        {"nothing at all", HotplugProperties{}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(hotplugDeviceName(c.props), c.name);
    }
}

// The live watch needs udev; what it hands on is tested above without it.
TEST(HostDeviceChanges, TheWatchStartsAndStopsWhereUdevIsThere)
{
    DeviceChangeHub hub;
    QString why;
    auto watch = HostDeviceChanges::start(hub, &why);
    if (!HostDeviceChanges::built()) {
        EXPECT_FALSE(watch);
        GTEST_SKIP() << why.toStdString() << "; the record translation is tested above";
    }
    if (!watch)
        GTEST_SKIP() << "udev cannot be watched on this machine: " << why.toStdString();
    EXPECT_TRUE(why.isEmpty()) << why.toStdString();
    watch.reset(); // joins its thread: a hang here fails the test by its time-out
}

} // namespace
