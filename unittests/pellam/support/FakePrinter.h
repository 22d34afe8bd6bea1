#pragma once
// A scripted driver for the user program's tests: records every request and
// raster write in order, resolves the caller addresses a command block
// carries, and answers from values the test sets.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>

#include "protocol/UserRequests.h"
#include "platform/CallerMemory.h"
#include "platform/Device.h"

namespace pellamtest {

namespace ud = protocol;

class FakePrinter : public platform::Device {
public:
    struct Request {
        bool isWrite = false;
        uint32_t code = 0;
        QByteArray in;       // input bytes, or the row of a write
        uint32_t outLen = 0;
        ud::CommandBlock block; // when the input is a command block
        QByteArray param;    // 4 bytes at the block's Param, when it resolves
    };

    // Answers by request code: the bytes copied into the output (cut to its
    // length). A code without an answer fails, as do codes in `failing`.
    std::map<uint32_t, QByteArray> answers;
    std::vector<uint32_t> failing;
    // Answers of command-block requests by (code, Target, Command), taken
    // before `answers`; the keys in `failingCommands` fail.
    using CommandKey = std::tuple<uint32_t, uint32_t, uint32_t>;
    std::map<CommandKey, QByteArray> commandAnswers;
    std::vector<CommandKey> failingCommands;
    int busyPolls = 0; // IOCTL_PRN_GET_BUSY answers 1 this many times, then 0
    // Written into a PEB request's output word: the value plus this.
    uint32_t pebAnswerDelta = 0;

    bool ioControl(uint32_t code, const void* in, uint32_t inLen, void* out, uint32_t outLen,
                   uint32_t* bytesReturned) override
    {
        std::lock_guard lock(m_mutex);
        Request r;
        r.code = code;
        r.in = QByteArray(static_cast<const char*>(in), in ? qsizetype(inLen) : 0);
        r.outLen = outLen;
        if (in && inLen == sizeof(ud::CommandBlock)) {
            std::memcpy(&r.block, in, sizeof r.block);
            if (const uint8_t* p = platform::CallerMemory::instance().resolve(r.block.Param, 4))
                r.param = QByteArray(reinterpret_cast<const char*>(p), 4);
        }
        m_log.push_back(r);
        if (std::find(failing.begin(), failing.end(), code) != failing.end())
            return false;
        if (in && inLen == sizeof(ud::CommandBlock)) {
            const CommandKey key{code, r.block.Target, r.block.Command};
            if (std::find(failingCommands.begin(), failingCommands.end(), key) != failingCommands.end())
                return false;
            if (auto a = commandAnswers.find(key); a != commandAnswers.end()) {
                if (out)
                    std::memcpy(out, a->second.constData(), std::min<size_t>(outLen, size_t(a->second.size())));
                return true;
            }
        }
        if (code == ud::IOCTL_PRN_GET_BUSY) {
            const uint32_t busy = busyPolls > 0 ? 1 : 0;
            if (busyPolls > 0)
                --busyPolls;
            if (out && outLen >= 4)
                std::memcpy(out, &busy, 4);
            return true;
        }
        if (code == ud::IOCTL_PRN_PEB && out && outLen == 4 && r.param.size() == 4) {
            uint32_t v = 0;
            std::memcpy(&v, r.param.constData(), 4);
            v += pebAnswerDelta;
            std::memcpy(out, &v, 4);
            return true;
        }
        auto a = answers.find(code);
        if (a == answers.end())
            return !out && outLen == 0 && signalCodes().count(code) != 0;
        if (out)
            std::memcpy(out, a->second.constData(), std::min<size_t>(outLen, size_t(a->second.size())));
        if (bytesReturned)
            *bytesReturned = outLen;
        return true;
    }

    bool write(const void* data, uint32_t len, uint32_t* written) override
    {
        std::lock_guard lock(m_mutex);
        Request r;
        r.isWrite = true;
        r.in = QByteArray(static_cast<const char*>(data), qsizetype(len));
        m_log.push_back(r);
        if (written)
            *written = len;
        return true;
    }

    std::vector<Request> log() const
    {
        std::lock_guard lock(m_mutex);
        return m_log;
    }
    void clearLog()
    {
        std::lock_guard lock(m_mutex);
        m_log.clear();
    }
    // "JOB_BEGIN", "WRITE", "PEB 99/46", ... in order.
    QStringList names() const
    {
        QStringList out;
        for (const Request& r : log())
            out << nameOf(r);
        return out;
    }

    static QString nameOf(const Request& r)
    {
        if (r.isWrite)
            return QStringLiteral("WRITE");
        if (const char* n = ud::userRequestName(r.code))
            return QString::fromLatin1(n).remove(QStringLiteral("IOCTL_PRN_"));
        if (r.code == ud::IOCTL_PRN_PEB)
            return QStringLiteral("PEB %1/%2").arg(r.block.Target).arg(r.block.Command);
        if (r.code == ud::IOCTL_PRN_CUT_FORCE)
            return QStringLiteral("CUT_FORCE %1/%2").arg(r.block.Target).arg(r.block.Command);
        if (r.code == ud::IOCTL_PRN_SENSOR_READ)
            return QStringLiteral("SENSOR_READ %1/%2").arg(r.block.Target).arg(r.block.Command);
        if (r.code == ud::IOCTL_PRN_REGISTER)
            return QStringLiteral("REGISTER %1/%2").arg(r.block.Target).arg(r.block.Command);
        return QString::number(r.code, 16);
    }

    template <class T>
    static QByteArray bytesOf(const T& value)
    {
        return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
    }

private:
    // Requests that succeed with neither input nor output.
    static const std::map<uint32_t, bool>& signalCodes()
    {
        static const std::map<uint32_t, bool> codes = {
            {ud::IOCTL_PRN_JOB_BEGIN, true},   {ud::IOCTL_PRN_JOB_END, true},
            {ud::IOCTL_PRN_IMAGE_BEGIN, true}, {ud::IOCTL_PRN_IMAGE_END, true},
            {ud::IOCTL_PRN_PRINT_PREPARE, true}, {ud::IOCTL_PRN_CUT_FORCE, true},
        };
        return codes;
    }

    mutable std::mutex m_mutex;
    std::vector<Request> m_log;
};

// Registers a fake as PRN1: for a scope.
class ScopedFakePrinter {
public:
    ScopedFakePrinter() : device(std::make_shared<FakePrinter>())
    {
        platform::registerDevice(QStringLiteral("PRN1:"), device);
    }
    ~ScopedFakePrinter() { platform::unregisterDevice(QStringLiteral("PRN1:")); }
    ScopedFakePrinter(const ScopedFakePrinter&) = delete;
    ScopedFakePrinter& operator=(const ScopedFakePrinter&) = delete;
    FakePrinter* operator->() { return device.get(); }
    std::shared_ptr<FakePrinter> device;
};

} // namespace pellamtest
