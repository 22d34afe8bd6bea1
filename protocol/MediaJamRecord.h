#pragma once
// The record of one media jam cycle (command 35, target 11).
#include <cstddef>
#include <cstdint>

namespace protocol {

struct MediaJamRecord {
    int32_t length = 0; // inches
    int32_t copies = 0;
    int32_t endCut = 0; // 1 when "End Cut" is ticked
};
static_assert(sizeof(MediaJamRecord) == 12);
static_assert(offsetof(MediaJamRecord, copies) == 4);
static_assert(offsetof(MediaJamRecord, endCut) == 8);

} // namespace protocol
