#include "UserDriver.h"

#include "protocol/CommandChannel.h"

namespace pellam::driver {

platform::DeviceHandle openPrinter()
{
    return platform::openDevice(QString::fromUtf16(kPrinterDeviceName), protocol::printerOpenFlags());
}

platform::DeviceHandle openKeyboard()
{
    // The keyboard driver is opened exactly as the printer driver is.
    return platform::openDevice(QString::fromUtf16(kKeyboardDeviceName), protocol::printerOpenFlags());
}

bool signal(platform::DeviceHandle& handle, uint32_t code)
{
    return handle.ioControl(code, nullptr, 0, nullptr, 0);
}

bool readUsage(platform::DeviceHandle& handle, UsageRecord& out)
{
    out = UsageRecord{};
    const uint8_t selector = kUsageSelector;
    return handle.ioControl(IOCTL_PRN_GET_USAGE, &selector, 1, &out, sizeof out);
}

bool readTapeTagChipVersion(platform::DeviceHandle& handle, uint8_t& version)
{
    return query(handle, IOCTL_PRN_GET_TAPE_TAGCHIP_VERSION, version);
}

bool readRibbonTagChipVersion(platform::DeviceHandle& handle, uint8_t& version)
{
    return query(handle, IOCTL_PRN_GET_RIBBON_TAGCHIP_VERSION, version);
}

bool readPeb(platform::DeviceHandle& handle, PebRecord& out) { return query(handle, IOCTL_PRN_GET_PEB, out); }

bool readCrossWebOffset(platform::DeviceHandle& handle, int32_t& offset)
{
    return query(handle, IOCTL_PRN_GET_CROSSWEB_OFFSET, offset);
}

bool readCutForceCoeffs(platform::DeviceHandle& handle, CutForceCoeffs& out)
{
    return query(handle, IOCTL_PRN_GET_CUT_FORCE_COEFFS, out);
}

bool readHeadResistance(platform::DeviceHandle& handle, uint32_t& ohms)
{
    return query(handle, IOCTL_PRN_GET_HEAD_RESISTANCE, ohms);
}

bool setHeadResistance(platform::DeviceHandle& handle, int32_t ohms)
{
    return handle.ioControl(IOCTL_PRN_SET_HEAD_RESISTANCE, &ohms, sizeof ohms, nullptr, 0);
}

bool readGapSensorDac(platform::DeviceHandle& handle, GapDacRecord& out)
{
    return query(handle, IOCTL_PRN_GET_GAP_SENSOR_DAC, out);
}

bool preparePrinting(platform::DeviceHandle& handle) { return signal(handle, IOCTL_PRN_PRINT_PREPARE); }

uint32_t dotWidth(platform::DeviceHandle& handle, uint32_t fallback)
{
    uint32_t width = 0;
    if (!query(handle, IOCTL_PRN_GET_DOT_WIDTH, width) || width == 0 || width > kMaxDotWidth)
        return fallback;
    return width;
}

bool readKeyboardLayout(platform::DeviceHandle& handle, int32_t& layout)
{
    return query(handle, IOCTL_KBD_GET_LAYOUT, layout);
}

bool setKeyboardLayout(platform::DeviceHandle& handle, int32_t layout)
{
    return handle.ioControl(IOCTL_KBD_SET_LAYOUT, &layout, sizeof layout, nullptr, 0);
}

} // namespace pellam::driver
