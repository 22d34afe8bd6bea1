#pragma once
// A PRN1: stand-in for the tape rewind suites: keeps the block and the 60
// record bytes of every request (resolved through caller memory, as a driver
// would), answers an encoder count, fails the requests it is told to, and can
// hold one request until the test lets it go.
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <set>
#include <vector>

#include "platform/CallerMemory.h"
#include "platform/Device.h"
#include "protocol/CommandBlock.h"
#include "protocol/TapeRewindRecord.h"

namespace tape_rewind_test {

class RecordingPrinter : public platform::Device {
public:
    struct Request {
        uint32_t code = 0;
        uint32_t inLen = 0;
        uint32_t outLen = 0;
        protocol::CommandBlock block;
        bool recordResolved = false;
        protocol::TapeRewindRecord record; // a copy of the bytes sent
    };

    // Request n (from 1) fails.
    void failRequest(int n)
    {
        std::lock_guard<std::mutex> l(m_mutex);
        m_failing.insert(n);
    }
    // Request n (from 1) waits inside the driver until release().
    void holdRequest(int n)
    {
        std::lock_guard<std::mutex> l(m_mutex);
        m_hold = n;
    }
    void release()
    {
        {
            std::lock_guard<std::mutex> l(m_mutex);
            m_released = true;
        }
        m_cv.notify_all();
    }
    // Blocks until the held request has arrived.
    void waitHeld()
    {
        std::unique_lock<std::mutex> l(m_mutex);
        m_cv.wait(l, [&] { return m_holding; });
    }

    std::vector<Request> requests() const
    {
        std::lock_guard<std::mutex> l(m_mutex);
        return m_requests;
    }

    // The encoder count answered to request n.
    static int32_t encoderOf(int n) { return 1000 + 7 * n; }

    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* bytesReturned) override
    {
        if (bytesReturned)
            *bytesReturned = 0;
        Request r;
        r.code = code;
        r.inLen = inLen;
        r.outLen = outLen;
        if (in && inLen >= sizeof r.block)
            std::memcpy(&r.block, in, sizeof r.block);
        if (const uint8_t* bytes = platform::CallerMemory::instance().resolve(r.block.Param, sizeof r.record)) {
            std::memcpy(&r.record, bytes, sizeof r.record);
            r.recordResolved = true;
        }
        std::unique_lock<std::mutex> l(m_mutex);
        m_requests.push_back(r);
        const int n = int(m_requests.size());
        if (n == m_hold) {
            m_holding = true;
            m_cv.notify_all();
            m_cv.wait(l, [&] { return m_released; });
        }
        if (m_failing.count(n) || !r.recordResolved)
            return false;
        if (out && outLen == sizeof(int32_t)) {
            const int32_t encoder = encoderOf(n);
            std::memcpy(out, &encoder, sizeof encoder);
        }
        return true;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<Request> m_requests;
    std::set<int> m_failing;
    int m_hold = 0;
    bool m_holding = false;
    bool m_released = false;
};

} // namespace tape_rewind_test
