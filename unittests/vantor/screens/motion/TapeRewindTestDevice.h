#pragma once
// A PRN1: stand-in for the tape rewind suites, on the shared recording
// device: keeps the block and the 60 record bytes of every request, answers
// an encoder count, fails the requests it is told to (and any whose record
// does not resolve), and can hold one request until the test lets it go.
#include <cstddef>
#include <mutex>
#include <set>
#include <vector>

#include "platform/testing/RecordingDevice.h"
#include "protocol/CommandBlock.h"
#include "protocol/TapeRewindRecord.h"

namespace tape_rewind_test {

class RecordingPrinter : public platform::testing::RecordingDevice {
public:
    struct Request {
        uint32_t code = 0;
        uint32_t inLen = 0;
        uint32_t outLen = 0;
        protocol::CommandBlock block;
        bool recordResolved = false;
        protocol::TapeRewindRecord record; // a copy of the bytes sent
    };

    RecordingPrinter()
    {
        captureRecord(offsetof(protocol::CommandBlock, Param), sizeof(protocol::TapeRewindRecord));
        respond([this](const RecordingDevice::Request& r) {
            Answer a;
            a.ok = !failing(r.number) && !r.record.empty();
            if (a.ok && r.outLen == sizeof(int32_t))
                a.output = bytesOf(encoderOf(r.number));
            return a;
        });
    }

    // Request n (from 1) fails.
    void failRequest(int n)
    {
        std::lock_guard<std::mutex> l(m_mutex);
        m_failing.insert(n);
    }

    std::vector<Request> requests() const
    {
        std::vector<Request> out;
        for (const RecordingDevice::Request& q : RecordingDevice::requests()) {
            Request r;
            r.code = q.code;
            r.inLen = uint32_t(q.input.size());
            r.outLen = q.outLen;
            r.block = q.inputAs<protocol::CommandBlock>();
            r.recordResolved = !q.record.empty();
            r.record = q.recordAs<protocol::TapeRewindRecord>();
            out.push_back(r);
        }
        return out;
    }

    // The encoder count answered to request n.
    static int32_t encoderOf(int n) { return 1000 + 7 * n; }

private:
    bool failing(int n) const
    {
        std::lock_guard<std::mutex> l(m_mutex);
        return m_failing.count(n) != 0;
    }

    mutable std::mutex m_mutex;
    std::set<int> m_failing;
};

} // namespace tape_rewind_test
