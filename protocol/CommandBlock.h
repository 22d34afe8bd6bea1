#pragma once
// The 12-byte input of every engineering-family request.
#include <cstddef>
#include <cstdint>

namespace protocol {

struct CommandBlock {
    uint32_t Target = 0;
    uint32_t Command = 0;
    uint32_t Param = 0; // caller address of the command's record, or 0
};
static_assert(sizeof(CommandBlock) == 12);
static_assert(offsetof(CommandBlock, Target) == 0);
static_assert(offsetof(CommandBlock, Command) == 4);
static_assert(offsetof(CommandBlock, Param) == 8);

constexpr uint32_t kCommandBlockLength = sizeof(CommandBlock);

} // namespace protocol
