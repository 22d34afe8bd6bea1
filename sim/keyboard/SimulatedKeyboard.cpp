#include "sim/keyboard/SimulatedKeyboard.h"

#include <cstring>

#include "protocol/UserRequests.h"
#include "platform/Trace.h"

namespace sim {

namespace ud = protocol;

SimulatedKeyboard::SimulatedKeyboard(Hooks hooks) : m_hooks(std::move(hooks))
{
    if (m_hooks.loadLayout) {
        const int32_t kept = m_hooks.loadLayout();
        if (kept >= ud::kFirstKeyboardLayout && kept <= ud::kLastKeyboardLayout)
            m_layout = kept;
    }
    platform::trace::nameRequest(ud::IOCTL_KBD_SET_LAYOUT, "IOCTL_KBD_SET_LAYOUT");
    platform::trace::nameRequest(ud::IOCTL_KBD_GET_LAYOUT, "IOCTL_KBD_GET_LAYOUT");
}

int32_t SimulatedKeyboard::layout() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_layout;
}

bool SimulatedKeyboard::ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                                  uint32_t* bytesReturned)
{
    if (m_hooks.begin)
        m_hooks.begin();
    int32_t value = 0;
    if (code == ud::IOCTL_KBD_SET_LAYOUT) {
        if (!in || inLen != 4 || outLen != 0)
            return false;
        std::memcpy(&value, in, 4);
        if (value < ud::kFirstKeyboardLayout || value > ud::kLastKeyboardLayout)
            return false;
    } else if (code == ud::IOCTL_KBD_GET_LAYOUT) {
        if (inLen != 0 || !out || outLen != 4)
            return false;
    } else {
        return false;
    }
    if (m_hooks.admit && !m_hooks.admit(code))
        return false;

    std::lock_guard<std::mutex> lock(m_mutex);
    if (code == ud::IOCTL_KBD_SET_LAYOUT) {
        m_layout = value;
        if (m_hooks.saveLayout)
            m_hooks.saveLayout(value);
        if (bytesReturned)
            *bytesReturned = 0;
    } else {
        std::memcpy(out, &m_layout, 4);
        if (bytesReturned)
            *bytesReturned = 4;
    }
    return true;
}

} // namespace sim
