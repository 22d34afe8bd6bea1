#pragma once
// One request inside the simulated printer: every record and table is
// resolved through CallerMemory with the length it needs (and traced), and
// every write goes to a staged copy that reaches the caller's memory only
// when the request succeeds. A refused request therefore never changes a
// caller buffer.
#include <cstdint>
#include <cstring>
#include <vector>
#include <QString>

namespace sim {

class RequestContext {
public:
    RequestContext() = default;
    RequestContext(const RequestContext&) = delete;
    RequestContext& operator=(const RequestContext&) = delete;

    // Bytes to read, or null when the address does not resolve for `length`.
    const uint8_t* in(const char* label, uint32_t address, size_t length);
    template <class T>
    bool read(const char* label, uint32_t address, T& value)
    {
        const uint8_t* p = in(label, address, sizeof(T));
        if (!p)
            return false;
        std::memcpy(&value, p, sizeof(T));
        return true;
    }
    // A table of 32-bit entries; count 0 needs no table. False (with a note)
    // for a negative count or an address that does not resolve.
    bool readWords(const char* label, uint32_t address, int64_t count, std::vector<uint32_t>& words);

    // A UTF-16LE text ended by a 0 character; false when the address does
    // not resolve or no terminator comes within maxBytes.
    bool readText(const char* label, uint32_t address, QString& text, size_t maxBytes = 2048);

    // A staged copy of the caller's bytes to write into, or null.
    uint8_t* out(const char* label, uint32_t address, size_t length);
    static void putWord(uint8_t* at, size_t index, int32_t value) { std::memcpy(at + 4 * index, &value, 4); }

    // A line in the trace of this request.
    void note(const QString& text);
    // Refuses the request with a reason (noted); returns false for `return ctx.refuse(...)`.
    bool refuse(const QString& why);
    const QString& refusal() const { return m_refusal; }

    // Writes the staged copies into the caller's memory.
    void commit();
    void discard() { m_staged.clear(); }

    // Machine time of the request, before scaling.
    double machineMs = 0;

private:
    struct Staged {
        const char* label;
        uint32_t address;
        uint8_t* dest;
        std::vector<uint8_t> bytes;
    };
    std::vector<Staged> m_staged;
    QString m_refusal;
};

} // namespace sim
