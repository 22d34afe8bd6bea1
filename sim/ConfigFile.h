#pragma once
// The simulator's configuration file (simulator.ini below the device root),
// read line by line: each simulated device takes the sections it knows.
#include <QFile>
#include <QString>
#include <QTextStream>

namespace sim {

// Calls take(section, line) for every line that is neither blank nor a
// comment (";" or "#"), outside the section headers; sections lower-cased,
// lines trimmed. A file that cannot be read has no lines.
template <class Take>
void forEachConfigLine(const QString& hostPath, Take take)
{
    QFile f(hostPath);
    if (hostPath.isEmpty() || !f.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&f);
    QString section;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        take(section, line);
    }
}

} // namespace sim
