#pragma once
// Device paths such as \Store\Error_Log.txt or \Hard Disk\... live below one
// device root folder: DIAG_DEVICE_ROOT, or by default the "device" folder of
// the data folder (DataFolder.h: beside the program in the build, where the
// build seeds it from sample/; the user's data folder when installed). Components match
// case-insensitively, as on the platform's file system.
#include <QString>

namespace platform {

QString deviceRoot();
void setDeviceRoot(const QString& hostFolder); // empty: back to the default

// The host folder that \Hard Disk (the printer's USB drive) stands for:
// DIAG_HARD_DISK, or by default none, and \Hard Disk is the folder of that
// name below the device root. Pointed at a mounted USB stick, the copies to
// the drive land on the stick; a folder that does not exist is a drive that
// is not plugged in.
QString hardDiskFolder();
void setHardDiskFolder(const QString& hostFolder); // empty: back to the environment / below the root

// The host path for a device path, or an empty string when the path is
// refused: a ".." component, a zero character, or a symbolic link below the
// root that leads outside it. Below a separate \Hard Disk folder the same rules hold, with
// that folder as the root. Existing components are matched without regard to case;
// missing ones keep the spelling given.
QString hostPath(const QString& devicePath);

// The program's own folder with a trailing separator (the module file name up
// to its last separator).
QString programFolder();

} // namespace platform

namespace platform {
// A file name as the user or a settings file gives it: a path that starts
// with a backslash is a device path (mapped below the device root), any other
// is a host path used as it is.
QString userFilePath(const QString& path);
} // namespace platform
