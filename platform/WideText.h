#pragma once
// UTF-16 text from the device's own buffers, code unit for code unit.
// QString::fromUtf16 reads a leading U+FEFF or U+FFFE as a byte-order mark
// and drops it or swaps every unit after it; a device name or a registry
// value that happens to begin with one of them must come through as it is.
#include <cstddef>
#include <QString>

namespace platform {

inline QString wideText(const char16_t* text, qsizetype units)
{
    return QString(reinterpret_cast<const QChar*>(text), units);
}

// Up to the first NUL, and never past `capacity` units.
inline QString wideTextUntilNul(const char16_t* text, qsizetype capacity)
{
    qsizetype n = 0;
    while (n < capacity && text[n] != 0)
        ++n;
    return wideText(text, n);
}

} // namespace platform
