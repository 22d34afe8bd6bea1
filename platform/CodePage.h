#pragma once
// The ANSI code page (Windows-1252) for result and log files.
#include <QByteArray>
#include <QString>

namespace platform {

// Characters with no place in the code page become '?'.
QByteArray toAnsi(const QString& text);
QString fromAnsi(const QByteArray& bytes);
QString fromAnsi(const char* bytes, qsizetype length);

} // namespace platform
