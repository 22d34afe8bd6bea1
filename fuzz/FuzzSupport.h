#pragma once
// What the fuzz targets share: a failed property ends the run (so libFuzzer
// keeps the input), and a scratch device root made once per process.
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <cstdlib>

#include "platform/DevicePath.h"

namespace fuzzing {

inline void check(bool ok)
{
    if (!ok)
        std::abort();
}

// A temporary device root holding `folder`, set as the device root on every
// call (a target may be run after others in one process).
inline const QTemporaryDir& scratchRoot(const QString& folder)
{
    static QTemporaryDir dir;
    QDir(dir.path()).mkpath(folder);
    platform::setDeviceRoot(dir.path());
    return dir;
}

} // namespace fuzzing
