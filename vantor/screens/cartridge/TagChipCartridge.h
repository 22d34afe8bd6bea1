#pragma once
// The tape and ribbon TagChips as the program dialogs reach them: which
// table lays out the image, which commands read and program it, and the
// boxes a failure shows. The requests go out synchronously on the thread
// that calls (the dialogs' user-interface thread).
#include <QString>
#include <cstdint>
#include <optional>

#include "platform/CallerMemory.h"
#include "platform/Device.h"
#include "protocol/CommandBlock.h"
#include "protocol/TagChipImage.h"
#include "vantor/screens/cartridge/TagChipCodec.h"

namespace vantor::cartridge {

struct TagChipCartridge {
    TagChipFields fields;
    uint32_t readCommand;
    uint32_t programCommand;
    const char* readFailure;    // message box text of a failed read
    const char* programFailure; // and of a failed program
};

extern const TagChipCartridge kTapeTagChip;
extern const TagChipCartridge kRibbonTagChip;

// One dialog's PRN1:, command block and image buffer. The buffer lives in
// caller memory for the object's life, so Param of a program request always
// addresses live bytes.
class TagChipPort {
public:
    explicit TagChipPort(const TagChipCartridge& cartridge);

    // Target 98 with the read command, Param 0, 128 bytes back; nullopt when
    // the request fails.
    std::optional<protocol::TagChipImage> read();
    // Target 98 with the program command, Param the image's address, 4
    // bytes back (not used).
    bool program(const protocol::TagChipImage& image);

    const TagChipCartridge& cartridge() const { return m_cartridge; }

private:
    const TagChipCartridge& m_cartridge;
    platform::DeviceHandle m_handle;
    protocol::CommandBlock m_block;
    platform::CallerBuffer m_image{protocol::kTagChipImageSize};
    uint32_t m_reply = 0;
};

} // namespace vantor::cartridge
