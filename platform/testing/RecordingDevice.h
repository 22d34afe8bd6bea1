#pragma once
// A device for tests: records every request (code, input bytes, output
// length), answers with a fixed output, and can hold each request at a gate
// until the test lets it through, so that a test can act while a worker is
// inside a request.
#include <QByteArray>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/Device.h"
#include "platform/Event.h"

namespace platform::testing {

class RecordingDevice : public Device {
public:
    struct Request {
        uint32_t code = 0;
        QByteArray input;
        uint32_t outLen = 0;
    };

    // Output bytes copied into every request's output (zeros beyond them).
    QByteArray answer = QByteArray("\xD2\x04\x00\x00", 4); // 1234
    bool succeed = true;
    // While true, each request waits until release() (or open()).
    std::atomic<bool> gated{false};

    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* returned) override
    {
        {
            std::lock_guard lock(m_lock);
            m_requests.push_back({code, QByteArray(static_cast<const char*>(in), in ? int(inLen) : 0), outLen});
        }
        ++m_count;
        entered.set();
        if (gated)
            waitOne(m_gate, kInfinite);
        if (out && outLen) {
            std::memset(out, 0, outLen);
            std::memcpy(out, answer.constData(), std::min<size_t>(outLen, size_t(answer.size())));
        }
        if (returned)
            *returned = succeed ? outLen : 0;
        return succeed;
    }
    bool write(const void*, uint32_t, uint32_t* written) override
    {
        if (written)
            *written = 0;
        return succeed;
    }

    // Lets one held request through.
    void release() { m_gate.set(); }
    // Lets every request through from now on.
    void open()
    {
        gated = false;
        m_gate.set();
    }

    std::vector<Request> requests() const
    {
        std::lock_guard lock(m_lock);
        return m_requests;
    }
    int count() const { return m_count.load(); }

    Event entered{Event::Reset::Auto}; // set at each request's arrival

private:
    mutable std::mutex m_lock;
    std::vector<Request> m_requests;
    std::atomic<int> m_count{0};
    Event m_gate{Event::Reset::Auto};
};

} // namespace platform::testing
