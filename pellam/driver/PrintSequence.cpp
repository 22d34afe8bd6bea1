#include "PrintSequence.h"

#include "pellam/driver/UserDriver.h"

namespace pellam::driver {

bool writeRasterRow(platform::DeviceHandle& handle, std::span<const uint8_t> row)
{
    return handle.write(row.data(), uint32_t(row.size()));
}

void beginJob(platform::DeviceHandle& handle) { signal(handle, IOCTL_PRN_JOB_BEGIN); }

void endJob(platform::DeviceHandle& handle) { signal(handle, IOCTL_PRN_JOB_END); }

void sendImage(platform::DeviceHandle& handle, const ImageRows& rows)
{
    signal(handle, IOCTL_PRN_IMAGE_BEGIN);
    if (rows)
        rows(handle);
    signal(handle, IOCTL_PRN_IMAGE_END);
}

int waitWhileBusy(platform::DeviceHandle& handle, platform::Millis settle, const GiveUp& giveUp)
{
    platform::sleep(settle);
    int polls = 0;
    for (;;) {
        if (giveUp && giveUp())
            return polls;
        uint32_t busy = 0;
        ++polls;
        if (!query(handle, IOCTL_PRN_GET_BUSY, busy) || busy == 0)
            return polls;
        platform::sleep(kBusyPollInterval);
    }
}

void printSingleImage(platform::DeviceHandle& handle, const ImageRows& rows, platform::Millis settle,
                      const GiveUp& giveUp)
{
    beginJob(handle);
    sendImage(handle, rows);
    waitWhileBusy(handle, settle, giveUp);
    endJob(handle);
}

} // namespace pellam::driver
