#pragma once
// A device for tests: records every request (code, input bytes, output
// length, and the record its block addresses, resolved as a driver would),
// answers with a fixed output or through a function the test sets, and can
// hold one request or each request at a gate until the test lets it
// through, so that a test can act while a worker is inside a request.
#include <QByteArray>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/CallerMemory.h"
#include "platform/Device.h"
#include "platform/Event.h"

namespace platform::testing {

class RecordingDevice : public Device {
public:
    struct Request {
        int number = 0; // from 1, in order of arrival
        uint32_t code = 0;
        QByteArray input;
        uint32_t outLen = 0;          // 0 when no output buffer was given
        bool countRequested = false;  // a returned-count pointer was given
        std::vector<uint8_t> record;  // see captureRecord(); empty when unresolved

        // The first sizeof(T) input bytes (the request's block), zeros beyond.
        template <class T>
        T inputAs() const
        {
            T t{};
            std::memcpy(&t, input.constData(), std::min(sizeof t, size_t(input.size())));
            return t;
        }
        // The captured record as T, zeros when it was not resolved.
        template <class T>
        T recordAs() const
        {
            T t{};
            if (record.size() >= sizeof t)
                std::memcpy(&t, record.data(), sizeof t);
            return t;
        }
    };
    // What a request answers: success, the output bytes (zeros beyond them)
    // and the returned count (when one is asked for).
    struct Answer {
        bool ok = true;
        QByteArray output;
        uint32_t count = 0;
    };
    using Responder = std::function<Answer(const Request&)>;

    // Without a responder: these output bytes, `succeed`, and a returned
    // count of the whole output on success.
    QByteArray answer = QByteArray("\xD2\x04\x00\x00", 4); // 1234
    bool succeed = true;
    // While true, each request waits until release() (or open()).
    std::atomic<bool> gated{false};

    void respond(Responder r)
    {
        std::lock_guard lock(m_lock);
        m_respond = std::move(r);
    }
    // Keeps `bytes` bytes of caller memory at the 32-bit address found
    // `addressOffset` bytes into each request's input, as a driver resolves
    // a record (a command block's Param is at 8).
    void captureRecord(size_t addressOffset, size_t bytes)
    {
        captureRecord(addressOffset, [bytes](uint32_t, const QByteArray&) { return bytes; });
    }
    // The same with a length that depends on the request (0: nothing kept).
    using RecordLength = std::function<size_t(uint32_t code, const QByteArray& input)>;
    void captureRecord(size_t addressOffset, RecordLength length)
    {
        std::lock_guard lock(m_lock);
        m_addressOffset = addressOffset;
        m_recordLength = std::move(length);
    }
    // Request n (from 1) waits inside the driver until release().
    void holdRequest(int n) { m_hold = n; }
    // Blocks until the held request has arrived.
    void waitHeld() { waitOne(m_held, kInfinite); }

    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* returned) override
    {
        Request r;
        r.code = code;
        r.input = QByteArray(static_cast<const char*>(in), in ? int(inLen) : 0);
        r.outLen = out ? outLen : 0;
        r.countRequested = returned != nullptr;
        Responder respond;
        {
            std::lock_guard lock(m_lock);
            const size_t length = m_recordLength ? m_recordLength(code, r.input) : 0;
            if (length && in && inLen >= m_addressOffset + sizeof(CallerAddress)) {
                CallerAddress address = 0;
                std::memcpy(&address, static_cast<const char*>(in) + m_addressOffset, sizeof address);
                if (const uint8_t* bytes = CallerMemory::instance().resolve(address, length))
                    r.record.assign(bytes, bytes + length);
            }
            r.number = int(m_requests.size()) + 1;
            m_requests.push_back(r);
            respond = m_respond;
        }
        ++m_count;
        entered.set();
        if (gated || r.number == m_hold.load()) {
            if (r.number == m_hold.load())
                m_held.set();
            waitOne(m_gate, kInfinite);
        }
        Answer a;
        if (respond) {
            a = respond(r);
        } else {
            a.ok = succeed;
            a.output = answer;
            a.count = succeed ? outLen : 0;
        }
        if (out && outLen) {
            std::memset(out, 0, outLen);
            std::memcpy(out, a.output.constData(), std::min<size_t>(outLen, size_t(a.output.size())));
        }
        if (returned)
            *returned = a.count;
        return a.ok;
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

    // Four little-endian bytes, for answers.
    static QByteArray bytesOf(int32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), sizeof v); }

    Event entered{Event::Reset::Auto}; // set at each request's arrival

private:
    mutable std::mutex m_lock;
    std::vector<Request> m_requests;
    Responder m_respond;
    size_t m_addressOffset = 0;
    RecordLength m_recordLength;
    std::atomic<int> m_count{0};
    std::atomic<int> m_hold{0};
    Event m_held{Event::Reset::Manual};
    Event m_gate{Event::Reset::Auto};
};

} // namespace platform::testing
