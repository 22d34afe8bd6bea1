#include "sim/printer/RequestContext.h"

#include "platform/CallerMemory.h"
#include "platform/Trace.h"

namespace sim {

const uint8_t* RequestContext::in(const char* label, uint32_t address, size_t length)
{
    const uint8_t* p = address ? platform::CallerMemory::instance().resolve(address, length) : nullptr;
    if (!p) {
        note(QStringLiteral("%1 @%2 [%3] does not resolve").arg(QLatin1String(label)).arg(address, 8, 16, QLatin1Char('0')).arg(length));
        return nullptr;
    }
    platform::trace::attach(label, address, p, length);
    return p;
}

bool RequestContext::readWords(const char* label, uint32_t address, int64_t count, std::vector<uint32_t>& words)
{
    words.clear();
    if (count == 0)
        return true;
    if (count < 0 || count > int64_t(UINT32_MAX / 4)) {
        note(QStringLiteral("%1: bad entry count %2").arg(QLatin1String(label)).arg(count));
        return false;
    }
    const uint8_t* p = in(label, address, size_t(count) * 4);
    if (!p)
        return false;
    words.resize(size_t(count));
    std::memcpy(words.data(), p, size_t(count) * 4);
    return true;
}

bool RequestContext::readText(const char* label, uint32_t address, QString& text, size_t maxBytes)
{
    text.clear();
    if (!address) {
        note(QStringLiteral("%1: no address").arg(QLatin1String(label)));
        return false;
    }
    // The longest prefix that resolves, then the terminator within it.
    auto& mem = platform::CallerMemory::instance();
    size_t lo = 0, hi = maxBytes;
    while (lo < hi) {
        const size_t mid = (lo + hi + 1) / 2;
        if (mem.resolve(address, mid))
            lo = mid;
        else
            hi = mid - 1;
    }
    const uint8_t* p = lo >= 2 ? in(label, address, lo & ~size_t(1)) : nullptr;
    if (!p) {
        if (lo < 2)
            note(QStringLiteral("%1 @%2 does not resolve").arg(QLatin1String(label)).arg(address, 8, 16, QLatin1Char('0')));
        return false;
    }
    for (size_t i = 0; i + 1 < lo; i += 2) {
        const char16_t ch = char16_t(p[i] | (p[i + 1] << 8));
        if (ch == 0)
            return true;
        text += QChar(ch);
    }
    note(QStringLiteral("%1: no terminator").arg(QLatin1String(label)));
    text.clear();
    return false;
}

uint8_t* RequestContext::out(const char* label, uint32_t address, size_t length)
{
    uint8_t* dest = address ? platform::CallerMemory::instance().resolve(address, length) : nullptr;
    if (!dest) {
        note(QStringLiteral("%1 @%2 [%3] does not resolve").arg(QLatin1String(label)).arg(address, 8, 16, QLatin1Char('0')).arg(length));
        return nullptr;
    }
    m_staged.push_back(Staged{label, address, dest, std::vector<uint8_t>(dest, dest + length)});
    return m_staged.back().bytes.data();
}

void RequestContext::note(const QString& text)
{
    if (platform::trace::enabled())
        platform::trace::attach(text.toLatin1().constData(), 0, nullptr, 0);
}

bool RequestContext::refuse(const QString& why)
{
    if (m_refusal.isEmpty())
        m_refusal = why;
    note(QStringLiteral("refused: ") + why);
    return false;
}

void RequestContext::commit()
{
    for (Staged& s : m_staged) {
        if (!s.bytes.empty())
            std::memcpy(s.dest, s.bytes.data(), s.bytes.size());
        platform::trace::attach(s.label, s.address, s.dest, s.bytes.size());
    }
    m_staged.clear();
}

} // namespace sim
