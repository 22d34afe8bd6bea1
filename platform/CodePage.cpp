#include "CodePage.h"

namespace platform {

namespace {
// 0x80..0x9F of Windows-1252; 0 marks the five unassigned bytes.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char toByte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] && kHigh[i] == c)
            return char(0x80 + i);
    return '?';
}
} // namespace

QByteArray toAnsi(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i];
        // A surrogate pair is one character outside the code page: one '?'.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && p[i + 1] >= 0xDC00 && p[i + 1] <= 0xDFFF)
            ++i;
        out.append(toByte(c));
    }
    return out;
}

QString fromAnsi(const char* bytes, qsizetype length)
{
    QString out(length, Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < length; ++i) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && b <= 0x9F)
            d[i] = kHigh[b - 0x80] ? kHigh[b - 0x80] : char16_t(b);
        else
            d[i] = b;
    }
    return out;
}

QString fromAnsi(const QByteArray& bytes) { return fromAnsi(bytes.constData(), bytes.size()); }

} // namespace platform
