#pragma once
// The checks at the end of a walk over the engineering program: Vantor.ini
// still loads and holds only what the screens could have written.
#include <QString>
#include <QStringList>
#include <map>

namespace randomop {

using IniImage = std::map<QString, std::map<QString, QString>>; // section -> key -> stored value

// The sections and keys of a serialized store (UTF-16LE, CR LF).
IniImage parseImage(const QByteArray& bytes);

// Loads `path`, reads every test record from it and writes each back: a
// value a screen could have written comes back as it was. The problems
// found (empty when the file is good). Values as `starter` holds them are
// the user's own and pass.
QStringList checkSettingsFile(const QString& path, const IniImage& starter = {});
IniImage loadImage(const QString& path);

} // namespace randomop
