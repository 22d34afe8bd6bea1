#pragma once
// A PRN1: stand-in for the ejector, end cutter and print head lift suites,
// on the shared recording device: keeps each request's block, output size and
// the record bytes its Param addresses, and answers through a function the
// test sets. Can hold one request until released.
#include <cstddef>
#include <functional>
#include <vector>

#include "platform/testing/RecordingDevice.h"
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

class RecordingPrinter : public platform::testing::RecordingDevice {
public:
    // The base's nested types are hidden behind this suite's own.
    using Request = exit_test::Request;
    using Answer = exit_test::Answer;
    using Responder = std::function<Answer(int n, const Request&)>;

    explicit RecordingPrinter(size_t recordBytes)
    {
        captureRecord(offsetof(protocol::CommandBlock, Param), recordBytes);
        respond({});
    }

    void respond(Responder r)
    {
        RecordingDevice::respond([r = std::move(r)](const RecordingDevice::Request& q) {
            const Answer a = r ? r(q.number, view(q)) : Answer{};
            return RecordingDevice::Answer{a.ok, bytesOf(a.output), a.count};
        });
    }

    std::vector<Request> requests() const
    {
        std::vector<Request> out;
        for (const RecordingDevice::Request& q : RecordingDevice::requests())
            out.push_back(view(q));
        return out;
    }

private:
    static Request view(const RecordingDevice::Request& q)
    {
        return {q.code, q.outLen, q.countRequested, q.inputAs<protocol::CommandBlock>(), q.record};
    }
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
