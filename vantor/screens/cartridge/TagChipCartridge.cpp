#include "vantor/screens/cartridge/TagChipCartridge.h"

#include <cstring>

#include "protocol/CommandChannel.h"
#include "protocol/RequestCodes.h"

namespace vantor::cartridge {

using namespace protocol;

const TagChipCartridge kTapeTagChip{
    kTapeTagChipFields,
    cmd::tagChip::ReadTape,
    cmd::tagChip::ProgramTape,
    "\"FAILED\" Reading the TAPE TAGCHIP.\n",
    "\"FAILED\" Progamming the TAPE TAGCHIP.\n",
};

const TagChipCartridge kRibbonTagChip{
    kRibbonTagChipFields,
    cmd::tagChip::ReadRibbon,
    cmd::tagChip::ProgramRibbon,
    "\"FAILED\" Reading the RIBBON TAGCHIP.\n",
    "\"FAILED\" Progamming the RIBBON TAGCHIP.\n",
};

TagChipPort::TagChipPort(const TagChipCartridge& cartridge) : m_cartridge(cartridge), m_handle(openPrinter()) {}

std::optional<TagChipImage> TagChipPort::read()
{
    std::memset(m_image.data(), 0, m_image.size());
    if (!sendCommand(m_handle, IOCTL_PRN_TAGCHIP, m_block, target::TagChip, m_cartridge.readCommand, 0, m_image.data(),
                     kTagChipImageSize))
        return std::nullopt;
    TagChipImage image;
    std::memcpy(image.data(), m_image.data(), kTagChipImageSize);
    return image;
}

bool TagChipPort::program(const TagChipImage& image)
{
    std::memcpy(m_image.data(), image.data(), kTagChipImageSize);
    m_reply = 0;
    return sendCommand(m_handle, IOCTL_PRN_TAGCHIP, m_block, target::TagChip, m_cartridge.programCommand,
                       m_image.address(), &m_reply, kTagChipProgramReplySize);
}

} // namespace vantor::cartridge
