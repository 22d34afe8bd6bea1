#pragma once
// The maker's file system checks, on device paths (\Hard Disk, \store\x.txt).
// A path that does not map below the device root exists nowhere.
#include <QString>

namespace DevkitFs {

bool DirExists(const QString& path);
bool FileExists(const QString& path);

} // namespace DevkitFs
