#include "vantor/driver/RampProfile.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <QFile>

#include "platform/DevicePath.h"

namespace vantor::driver {

namespace {
inline bool isBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

// Calls sink(value) for every non-empty piece between line feeds.
template <class Emit>
void forEachValue(const char* text, size_t length, Emit&& sink)
{
    const char* p = text;
    const char* end = text + length;
    while (p < end) {
        const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        if (!lineEnd)
            lineEnd = end;
        if (lineEnd != p) {
            const char* q = p;
            while (q < lineEnd && isBlank(static_cast<unsigned char>(*q)))
                ++q;
            // Unsigned arithmetic wraps; only the low 16 bits are kept anyway.
            uint32_t value = 0;
            while (q < lineEnd && unsigned(*q - '0') < 10u) {
                value = value * 10u + unsigned(*q - '0');
                ++q;
            }
            const uint32_t kept = value & 0xFFFFu;
            sink(kept);
        }
        p = lineEnd + 1;
    }
}

size_t countValues(const char* text, size_t length)
{
    size_t n = 0;
    const char* p = text;
    const char* end = text + length;
    while (p < end) {
        const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
        if (!lineEnd)
            lineEnd = end;
        n += lineEnd != p;
        p = lineEnd + 1;
    }
    return n;
}

// The table straight from the text: counted first, so the entries go into
// caller memory without an intermediate list.
RampTable tableFromText(const char* text, size_t length)
{
    const size_t n = countValues(text, length);
    if (!n)
        return RampTable();
    RampTable table(n);
    uint32_t* out = table.data();
    forEachValue(text, length, [&out](uint32_t v) { *out++ = v; });
    return table;
}
} // namespace

void parseRampProfile(const char* text, size_t length, std::vector<uint32_t>& out)
{
    forEachValue(text, length, [&out](uint32_t v) { out.push_back(v); });
}

RampTable makeRampTable(const std::vector<uint32_t>& values)
{
    if (values.empty())
        return RampTable();
    RampTable table(values.size());
    std::memcpy(table.data(), values.data(), values.size() * sizeof(uint32_t));
    return table;
}

RampTable ReadRampProfile(const QString& path)
{
    const QString host = platform::userFilePath(path);
    if (host.isEmpty())
        return RampTable();
    std::FILE* f = std::fopen(QFile::encodeName(host).constData(), "rb");
    if (!f)
        return RampTable();
    // Read to the end whatever size the file had when asked; it may change.
    struct stat st {};
    size_t capacity = (fstat(fileno(f), &st) == 0 && st.st_size > 0) ? size_t(st.st_size) + 1 : 4096;
    std::unique_ptr<char[]> text(new (std::nothrow) char[capacity]);
    size_t length = 0;
    while (text) {
        length += std::fread(text.get() + length, 1, capacity - length, f);
        if (length < capacity)
            break;
        std::unique_ptr<char[]> bigger(new (std::nothrow) char[capacity * 2]);
        if (bigger)
            std::memcpy(bigger.get(), text.get(), length);
        text = std::move(bigger);
        capacity *= 2;
    }
    std::fclose(f);
    if (!text)
        return RampTable();
    return tableFromText(text.get(), length);
}

} // namespace vantor::driver
