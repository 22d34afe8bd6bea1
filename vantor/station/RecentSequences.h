#pragma once
// The sequence files an operator used last, newest first, at most five. Kept
// beside Vantor.ini ("Station.recent", one path a line, UTF-8): like the
// settings they belong to the station's host, not to the printer whose store
// the device root stands for.
#include <QString>
#include <QStringList>

namespace vantor::station {

class RecentSequences {
public:
    static constexpr int kKept = 5;

    // No file: nothing is remembered.
    RecentSequences() = default;
    explicit RecentSequences(QString file);
    // "Station.recent" beside the settings file (or in the program's folder
    // when the settings have no path).
    static QString defaultFile();

    const QStringList& paths() const { return m_paths; }
    // To the front (absolute, once), the oldest past five dropped, the file
    // rewritten. False when the file could not be written (the list in
    // memory is still updated).
    bool add(const QString& path);
    const QString& file() const { return m_file; }

private:
    bool save() const;

    QString m_file;
    QStringList m_paths;
};

} // namespace vantor::station
