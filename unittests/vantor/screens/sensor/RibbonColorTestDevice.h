#pragma once
// A PRN1: stand-in for the ribbon colour suites: keeps each request's code,
// block and output size, the RibbonColorParams its Param addresses and the
// log file name that record names at the time of the request (the run
// rewrites the name between runs), and answers each reading with three bytes.
#include <cstring>
#include <mutex>
#include <vector>

#include <QString>
#include <QStringList>

#include "platform/CallerMemory.h"
#include "platform/Device.h"
#include "protocol/CommandBlock.h"
#include "protocol/RequestCodes.h"
#include "protocol/RibbonColorParams.h"

namespace ribbon_color_test {

struct Request {
    uint32_t code = 0;
    uint32_t outLen = 0;
    protocol::CommandBlock block;
    bool hasRecord = false;
    protocol::RibbonColorParams record;
    QString logName;
    // "Color: " ... "Detector Number:" as the record named them.
    QStringList texts;
};

// The zero-terminated UTF-16LE text at a caller address.
inline QString callerText(uint32_t address)
{
    QString text;
    for (uint32_t at = address; address != 0; at += 2) {
        const uint8_t* c = platform::CallerMemory::instance().resolve(at, 2);
        if (!c || (c[0] == 0 && c[1] == 0))
            break;
        text += QChar(char16_t(c[0] | c[1] << 8));
    }
    return text;
}

class ColorPrinter : public platform::Device {
public:
    uint8_t rgb[3] = {11, 22, 33};
    bool succeed = true;

    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* returned) override
    {
        Request r;
        r.code = code;
        r.outLen = out ? outLen : 0;
        if (in && inLen >= sizeof r.block)
            std::memcpy(&r.block, in, sizeof r.block);
        if (code == protocol::IOCTL_PRN_RIBBON_COLOR) {
            if (const uint8_t* bytes =
                    platform::CallerMemory::instance().resolve(r.block.Param, sizeof(protocol::RibbonColorParams))) {
                std::memcpy(&r.record, bytes, sizeof r.record);
                r.hasRecord = true;
                r.logName = callerText(r.record.logFileName);
                for (uint32_t a : {r.record.colorText, r.record.panelLengthText, r.record.lotNumberText,
                                   r.record.unitNumberText, r.record.emitterNumberText, r.record.detectorNumberText})
                    r.texts << callerText(a);
            }
        }
        if (out && outLen) {
            std::memset(out, 0, outLen);
            if (succeed)
                std::memcpy(out, rgb, std::min<size_t>(outLen, 3));
        }
        if (returned)
            *returned = succeed ? outLen : 0;
        std::lock_guard l(m_lock);
        m_requests.push_back(r);
        return succeed;
    }
    bool write(const void*, uint32_t, uint32_t* written) override
    {
        if (written)
            *written = 0;
        return false;
    }
    std::vector<Request> requests() const
    {
        std::lock_guard l(m_lock);
        return m_requests;
    }
    std::vector<Request> runs() const
    {
        std::vector<Request> out;
        for (const Request& r : requests())
            if (r.code == protocol::IOCTL_PRN_RIBBON_COLOR)
                out.push_back(r);
        return out;
    }

private:
    mutable std::mutex m_lock;
    std::vector<Request> m_requests;
};

} // namespace ribbon_color_test
