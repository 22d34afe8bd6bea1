#pragma once
// A recording printer that also keeps, for each request, the bytes its Param
// addressed at the moment of the request (a program image, a value word),
// and the thread that sent it.
#include <cstring>
#include <thread>

#include "platform/CallerMemory.h"
#include "platform/testing/RecordingDevice.h"
#include "protocol/CommandBlock.h"

namespace vantor::cartridge::testing {

class ParamRecorder : public platform::testing::RecordingDevice {
public:
    explicit ParamRecorder(uint32_t recordSize) : m_recordSize(recordSize) {}

    struct Seen {
        protocol::CommandBlock block;
        QByteArray record; // empty when Param was 0 or unknown
        std::thread::id thread;
    };

    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* returned) override
    {
        Seen s;
        if (in && inLen >= sizeof(protocol::CommandBlock))
            std::memcpy(&s.block, in, sizeof s.block);
        if (s.block.Param)
            if (const uint8_t* p = platform::CallerMemory::instance().resolve(s.block.Param, m_recordSize))
                s.record = QByteArray(reinterpret_cast<const char*>(p), int(m_recordSize));
        s.thread = std::this_thread::get_id();
        {
            std::lock_guard lock(m_seenLock);
            m_seen.push_back(s);
        }
        return RecordingDevice::ioControl(code, in, inLen, out, outLen, returned);
    }

    std::vector<Seen> seen() const
    {
        std::lock_guard lock(m_seenLock);
        return m_seen;
    }

private:
    uint32_t m_recordSize;
    mutable std::mutex m_seenLock;
    std::vector<Seen> m_seen;
};

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(uint8_t(v)));
    return b;
}

} // namespace vantor::cartridge::testing
