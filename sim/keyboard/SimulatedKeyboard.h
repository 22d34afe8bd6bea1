#pragma once
// The simulated keyboard driver behind KBD1:: get and set the keyboard
// layout (1 to 5). Where the layout is kept and which faults apply is handed
// in by whoever registers it, so this driver needs nothing of the printer.
#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/Device.h"

namespace sim {

class SimulatedKeyboard final : public platform::Device {
public:
    struct Hooks {
        std::function<int32_t()> loadLayout;       // the kept layout
        std::function<void(int32_t)> saveLayout;   // keeps a new one
        // Called for every well-formed request: false fails it (an injected
        // fault); may sleep an injected latency.
        std::function<bool(uint32_t code)> admit;
        // Called once per request before anything else (trace notes).
        std::function<void()> begin;
    };
    explicit SimulatedKeyboard(Hooks hooks = {});

    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* bytesReturned) override;

    int32_t layout() const;

private:
    mutable std::mutex m_mutex;
    Hooks m_hooks;
    int32_t m_layout = 1;
};

} // namespace sim
