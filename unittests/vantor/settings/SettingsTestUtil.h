#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>

namespace settings_test {

// UTF-16LE bytes of a text, without byte order mark.
inline QByteArray utf16(const QString& text)
{
    QByteArray out;
    for (QChar c : text) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

inline QString fromUtf16(const QByteArray& bytes)
{
    QString out;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        out.append(QChar(char16_t(uchar(bytes[i]) | (uchar(bytes[i + 1]) << 8))));
    return out;
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace settings_test
