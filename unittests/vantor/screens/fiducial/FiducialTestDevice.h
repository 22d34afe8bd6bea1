#pragma once
// A PRN1: stand-in for the fiducial suites, on the shared recording device:
// keeps each request's code, block and the bytes its Param addresses (the
// whole test record, or the one DAC byte), answers the DAC read-back and the
// detector with set triples, fails chosen targets, and can hold requests at
// its gate.
#include <array>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include "platform/testing/RecordingDevice.h"
#include "protocol/CommandBlock.h"
#include "protocol/FiducialTestParams.h"
#include "protocol/RequestCodes.h"

namespace fiducial_test {

struct Request {
    uint32_t code = 0;
    protocol::CommandBlock block;
    std::vector<uint8_t> param; // the record (296 bytes) or the DAC byte; empty when unresolved
};

class FiducialDevice : public platform::testing::RecordingDevice {
public:
    using Request = fiducial_test::Request;

    std::array<uint8_t, 3> dacAnswer{110, 120, 130};
    std::array<uint8_t, 3> detectorAnswer{200, 190, 180};

    FiducialDevice()
    {
        succeed = false; // plain writes
        captureRecord(offsetof(protocol::CommandBlock, Param), [](uint32_t code, const QByteArray& input) -> size_t {
            if (code == protocol::IOCTL_PRN_TEST_RUN)
                return sizeof(protocol::FiducialTestParams);
            protocol::CommandBlock block;
            std::memcpy(&block, input.constData(), std::min(sizeof block, size_t(input.size())));
            return block.Command == protocol::cmd::reg::Write ? 1 : 0;
        });
        respond([this](const RecordingDevice::Request& q) {
            const auto block = q.inputAs<protocol::CommandBlock>();
            Answer a;
            a.ok = !failing(block.Target);
            if (q.outLen) {
                a.output = QByteArray(int(q.outLen), char(0xEE)); // what a failed request may leave
                if (a.ok && q.outLen >= 3)
                    std::memcpy(a.output.data(), (block.Target == 96 ? dacAnswer : detectorAnswer).data(), 3);
            }
            a.count = a.ok ? q.outLen : 0;
            return a;
        });
    }

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
    std::vector<Request> requests() const
    {
        std::vector<Request> out;
        for (const RecordingDevice::Request& q : RecordingDevice::requests())
            out.push_back({q.code, q.inputAs<protocol::CommandBlock>(), q.record});
        return out;
    }
    size_t count() const { return size_t(RecordingDevice::count()); }

private:
    bool failing(uint32_t target) const
    {
        std::lock_guard l(m_lock);
        return m_failAll || m_failing.count(target) != 0;
    }

    mutable std::mutex m_lock;
    std::set<uint32_t> m_failing;
    bool m_failAll = false;
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
