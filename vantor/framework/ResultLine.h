#pragma once
// Result lines built without printf or QString::arg: per-pulse lists run to
// hundreds of thousands of lines a cycle, and "%d" formatting dominated them.
//
//     ResultLine(cycle) << ". in detail " << index << " [" << count << ']'
#include <QString>
#include <cstdint>

namespace vantor {

class ResultLine {
public:
    ResultLine() { m_text.reserve(40); }
    // A line that starts with the cycle number, as every result line does.
    explicit ResultLine(int64_t cycle) : ResultLine() { *this << cycle; }

    // A decimal number, as "%d" writes it.
    ResultLine& operator<<(int64_t v)
    {
        char buf[24];
        char* end = buf + sizeof buf;
        char* p = end;
        uint64_t u = v < 0 ? uint64_t(0) - uint64_t(v) : uint64_t(v);
        do {
            *--p = char('0' + u % 10);
            u /= 10;
        } while (u);
        if (v < 0)
            *--p = '-';
        m_text.append(QLatin1StringView(p, end - p));
        return *this;
    }
    ResultLine& operator<<(int32_t v) { return *this << int64_t(v); }
    ResultLine& operator<<(const char* ascii)
    {
        m_text.append(QLatin1StringView(ascii));
        return *this;
    }
    ResultLine& operator<<(char c)
    {
        m_text.append(QLatin1Char(c));
        return *this;
    }
    ResultLine& operator<<(const QString& s)
    {
        m_text.append(s);
        return *this;
    }

    // A shared copy (the text is not duplicated).
    operator QString() const { return m_text; }

private:
    QString m_text;
};

// "%d. <name> - OK" or "%d. <name> - FAIL".
inline QString okFailLine(int cycle, const QString& name, bool ok)
{
    return ResultLine(cycle) << ". " << name << (ok ? " - OK" : " - FAIL");
}

} // namespace vantor
