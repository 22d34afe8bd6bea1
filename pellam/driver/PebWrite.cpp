#include "PebWrite.h"

#include <cstring>

#include "pellam/driver/DebugOutput.h"
#include "protocol/CommandChannel.h"

namespace pellam::driver {

namespace cmd = protocol::cmd;
using protocol::sendCommand;

uint32_t PebItemValues::value(uint32_t item) const
{
    const size_t i = indexOf(item);
    return i < kCount ? (*m_words.get())[i] : 0;
}

void PebItemValues::set(uint32_t item, uint32_t value)
{
    const size_t i = indexOf(item);
    if (i < kCount)
        (*m_words.get())[i] = value;
}

platform::CallerAddress PebItemValues::address(uint32_t item) const
{
    const size_t i = indexOf(item);
    return i < kCount ? m_words.address() + platform::CallerAddress(i * sizeof(uint32_t)) : 0;
}

uint32_t* PebItemValues::word(uint32_t item)
{
    const size_t i = indexOf(item);
    return i < kCount ? &(*m_words.get())[i] : nullptr;
}

void PebItemValues::setFromRecord(const PebRecord& r)
{
    setSigned(pebItem::PrintlineToXYCut, r.printlineToXYCut);
    set(pebItem::PrintlineToEndCutter, r.printlineToEndCutter);
    set(pebItem::UpstreamCenterNotch, r.upstreamCenterNotchToPrintline);
    set(pebItem::DownstreamCenterNotch, r.downstreamCenterNotchToPrintline);
    set(pebItem::UpstreamGap, r.upstreamGapToPrintline);
    set(pebItem::DownstreamGap, r.downstreamGapToPrintline);
    set(pebItem::UpstreamSideNotch, r.upstreamSideNotchToPrintline);
    set(pebItem::DownstreamSideNotch, r.downstreamSideNotchToPrintline);
    setSigned(pebItem::XYHomeToTapeCenter, r.xyHomeToTapeCenter);
}

bool readCutForce(platform::DeviceHandle& handle, CommandBlock& block, CutForceValues& values)
{
    float pair[2] = {0.0f, 0.0f};
    const bool ok = sendCommand(handle, IOCTL_PRN_CUT_FORCE, block, cutForceItem::ReadBoth, cmd::cutForce::Read, 0,
                                pair, sizeof pair);
    values.setM(pair[0]);
    values.setC(pair[1]);
    return ok;
}

void writeCutForce(platform::DeviceHandle& handle, CommandBlock& block, const CutForceValues& values)
{
    sendCommand(handle, IOCTL_PRN_CUT_FORCE, block, cutForceItem::M, cmd::cutForce::Program, values.addressOfM());
    sendCommand(handle, IOCTL_PRN_CUT_FORCE, block, cutForceItem::C, cmd::cutForce::Program, values.addressOfC());
}

void writePebItems(platform::DeviceHandle& handle, CommandBlock& block, PebItemValues& values)
{
    for (uint32_t item : kPebWriteOrder) {
        const int32_t shown = values.signedValue(item);
        debugOutput(isWidePebItem(item) ? QStringLiteral("AAA") : QStringLiteral("BBB"));
        debugOutput(QString::asprintf("=%d\r\n", shown));
        // The driver answers into the very word the request points at.
        sendCommand(handle, IOCTL_PRN_PEB, block, item, pebWriteCommand(item), values.address(item),
                    values.word(item), sizeof(uint32_t));
    }
}

void savePeb(platform::DeviceHandle& handle, CommandBlock& block, const CutForceValues& cutForce,
             PebItemValues& values, bool allInRange)
{
    writeCutForce(handle, block, cutForce);
    if (allInRange)
        writePebItems(handle, block, values);
}

} // namespace pellam::driver
