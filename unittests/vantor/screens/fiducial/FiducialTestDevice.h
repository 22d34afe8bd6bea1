#pragma once
// A PRN1: stand-in for the fiducial suites: keeps each request's code, block
// and the bytes its Param addresses (the whole test record, or the one DAC
// byte, resolved through caller memory as a driver would), answers the DAC
// read-back and the detector with set triples, fails chosen targets, and
// can hold requests at a gate.
#include <array>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include "platform/CallerMemory.h"
#include "platform/Device.h"
#include "platform/Event.h"
#include "protocol/CommandBlock.h"
#include "protocol/FiducialTestParams.h"
#include "protocol/RequestCodes.h"

namespace fiducial_test {

struct Request {
    uint32_t code = 0;
    protocol::CommandBlock block;
    std::vector<uint8_t> param; // the record (296 bytes) or the DAC byte; empty when unresolved
};

class FiducialDevice : public platform::Device {
public:
    std::array<uint8_t, 3> dacAnswer{110, 120, 130};
    std::array<uint8_t, 3> detectorAnswer{200, 190, 180};
    std::atomic<bool> gated{false};
    platform::Event entered{platform::Event::Reset::Auto};

    void failTarget(uint32_t target)
    {
        std::lock_guard l(m_lock);
        m_failing.insert(target);
    }
    void failAll()
    {
        std::lock_guard l(m_lock);
        m_failAll = true;
    }
    void open()
    {
        gated = false;
        m_gate.set();
    }
    std::vector<Request> requests() const
    {
        std::lock_guard l(m_lock);
        return m_requests;
    }
    size_t count() const
    {
        std::lock_guard l(m_lock);
        return m_requests.size();
    }

    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* returned) override
    {
        Request r;
        r.code = code;
        if (in && inLen >= sizeof r.block)
            std::memcpy(&r.block, in, sizeof r.block);
        const size_t len = code == protocol::IOCTL_PRN_TEST_RUN ? sizeof(protocol::FiducialTestParams)
                           : r.block.Command == protocol::cmd::reg::Write ? 1
                                                                          : 0;
        if (len && r.block.Param)
            if (const uint8_t* bytes = platform::CallerMemory::instance().resolve(r.block.Param, len))
                r.param.assign(bytes, bytes + len);
        bool ok = true;
        {
            std::lock_guard l(m_lock);
            m_requests.push_back(r);
            ok = !m_failAll && !m_failing.count(r.block.Target);
        }
        entered.set();
        if (gated)
            platform::waitOne(m_gate, platform::kInfinite);
        if (out && outLen) {
            std::memset(out, 0xEE, outLen); // what a failed request may leave
            if (ok && outLen >= 3) {
                const auto& t = r.block.Target == 96 ? dacAnswer : detectorAnswer;
                std::memcpy(out, t.data(), 3);
            }
        }
        if (returned)
            *returned = ok ? outLen : 0;
        return ok;
    }
    bool write(const void*, uint32_t, uint32_t* written) override
    {
        if (written)
            *written = 0;
        return false;
    }

private:
    mutable std::mutex m_lock;
    std::vector<Request> m_requests;
    std::set<uint32_t> m_failing;
    bool m_failAll = false;
    platform::Event m_gate{platform::Event::Reset::Auto};
};

// A word of recorded bytes at a byte offset.
inline int32_t wordAt(const std::vector<uint8_t>& bytes, size_t offset)
{
    int32_t w = 0;
    if (offset + 4 <= bytes.size())
        std::memcpy(&w, bytes.data() + offset, 4);
    return w;
}

} // namespace fiducial_test
