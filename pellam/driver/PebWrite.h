#pragma once
// The PEB values as the calibration screens send them: the ten items in
// their write order, each value in caller memory so that its request can
// carry its address (the driver answers into the same word), the cut-force
// coefficients M and C likewise, and the order of the save: M, C, then the
// ten items, each announced on the debug output.
#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/UserRequests.h"
#include "platform/CallerMemory.h"
#include "platform/Device.h"

namespace pellam::driver {

using namespace protocol;

constexpr std::array<uint32_t, 10> kPebWriteOrder = {
    pebItem::DownstreamSideNotch, pebItem::DownstreamGap,        pebItem::DownstreamCenterNotch,
    pebItem::UpstreamSideNotch,   pebItem::UpstreamGap,          pebItem::UpstreamCenterNotch,
    pebItem::PrintlineToEndCutter, pebItem::PrintlineToXYCut,    pebItem::XYHomeToTapeCenter,
    pebItem::CrossWebPrintOffset,
};

// The signed items travel with their own command and their own debug tag.
constexpr bool isWidePebItem(uint32_t item)
{
    return item == pebItem::PrintlineToXYCut || item == pebItem::XYHomeToTapeCenter ||
           item == pebItem::CrossWebPrintOffset;
}
constexpr uint32_t pebWriteCommand(uint32_t item)
{
    return isWidePebItem(item) ? protocol::cmd::peb::SetWideItem : protocol::cmd::peb::SetItem;
}

class PebItemValues {
public:
    static constexpr size_t kCount = kPebWriteOrder.size();
    // Position of an item in the write order; kCount for an unknown item.
    static constexpr size_t indexOf(uint32_t item)
    {
        for (size_t i = 0; i < kCount; ++i)
            if (kPebWriteOrder[i] == item)
                return i;
        return kCount;
    }

    // Unknown items read as 0 and ignore writes.
    uint32_t value(uint32_t item) const;
    int32_t signedValue(uint32_t item) const { return int32_t(value(item)); }
    void set(uint32_t item, uint32_t value);
    void setSigned(uint32_t item, int32_t value) { set(item, uint32_t(value)); }
    platform::CallerAddress address(uint32_t item) const; // 0 for an unknown item
    uint32_t* word(uint32_t item);                        // null for an unknown item

    // The nine values a PEB record carries (the cross-web offset is not one).
    void setFromRecord(const PebRecord& record);

private:
    platform::CallerRecord<std::array<uint32_t, kCount>> m_words;
};

class CutForceValues {
public:
    float m() const { return m_pair.get()->m; }
    float c() const { return m_pair.get()->c; }
    void setM(float m) { m_pair->m = m; }
    void setC(float c) { m_pair->c = c; }
    platform::CallerAddress addressOfM() const { return m_pair.address() + offsetof(Pair, m); }
    platform::CallerAddress addressOfC() const { return m_pair.address() + offsetof(Pair, c); }

private:
    struct Pair {
        float m = 0.0f;
        float c = 0.0f;
    };
    static_assert(sizeof(Pair) == 8);
    platform::CallerRecord<Pair> m_pair;
};

// M then C (Target 111, Command 49, 8 bytes); zeros when the request fails.
bool readCutForce(platform::DeviceHandle& handle, CommandBlock& block, CutForceValues& values);
// The two cut-force writes, M (107) first, then C (108). Results are not looked at.
void writeCutForce(platform::DeviceHandle& handle, CommandBlock& block, const CutForceValues& values);
// The ten item writes in write order, each preceded on the debug output by
// "AAA" (items 106, 123, 136) or "BBB", then "=%d\r\n" with the value.
void writePebItems(platform::DeviceHandle& handle, CommandBlock& block, PebItemValues& values);
// A save: the cut-force writes whatever the range checks found, the ten
// items only when every value was in range.
void savePeb(platform::DeviceHandle& handle, CommandBlock& block, const CutForceValues& cutForce,
             PebItemValues& values, bool allInRange);

} // namespace pellam::driver
