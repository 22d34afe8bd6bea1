#pragma once
// A PRN1: stand-in for the ejector, end cutter and print head lift suites:
// keeps each request's block, output size and the record bytes its Param
// addresses (resolved through caller memory, as a driver would), and answers
// through a function the test sets. Can hold one request until released.
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/CallerMemory.h"
#include "platform/Device.h"
#include "protocol/CommandBlock.h"

namespace exit_test {

struct Request {
    uint32_t code = 0;
    uint32_t outLen = 0;
    bool countRequested = false;
    protocol::CommandBlock block;
    std::vector<uint8_t> record; // `recordBytes` bytes at Param, empty when unresolved
};

// What a request answers: success, the 4-byte output (when a buffer is
// given), the returned count (when asked for).
struct Answer {
    bool ok = true;
    int32_t output = 0;
    uint32_t count = 0;
};

class RecordingPrinter : public platform::Device {
public:
    using Responder = std::function<Answer(int n, const Request&)>;

    explicit RecordingPrinter(size_t recordBytes) : m_recordBytes(recordBytes) {}

    void respond(Responder r)
    {
        std::lock_guard<std::mutex> l(m_mutex);
        m_respond = std::move(r);
    }
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

    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* bytesReturned) override
    {
        Request r;
        r.code = code;
        r.outLen = out ? outLen : 0;
        r.countRequested = bytesReturned != nullptr;
        if (in && inLen >= sizeof r.block)
            std::memcpy(&r.block, in, sizeof r.block);
        if (const uint8_t* bytes = platform::CallerMemory::instance().resolve(r.block.Param, m_recordBytes))
            r.record.assign(bytes, bytes + m_recordBytes);
        std::unique_lock<std::mutex> l(m_mutex);
        m_requests.push_back(r);
        const int n = int(m_requests.size());
        if (n == m_hold) {
            m_holding = true;
            m_cv.notify_all();
            m_cv.wait(l, [&] { return m_released; });
        }
        const Answer a = m_respond ? m_respond(n, r) : Answer{};
        if (out && outLen == sizeof(int32_t))
            std::memcpy(out, &a.output, sizeof a.output);
        if (bytesReturned)
            *bytesReturned = a.count;
        return a.ok;
    }

private:
    size_t m_recordBytes;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::vector<Request> m_requests;
    Responder m_respond;
    int m_hold = 0;
    bool m_holding = false;
    bool m_released = false;
};

// A record as sent, from its bytes.
template <class T>
T recordOf(const Request& r)
{
    T t{};
    if (r.record.size() >= sizeof t)
        std::memcpy(&t, r.record.data(), sizeof t);
    return t;
}

} // namespace exit_test
