#pragma once
// Files the printer writes under names its records carry (ribbon colour
// logs, print data files) and the spool folder of captured print images,
// all below the device root.
#include <QString>

#include "sim/printer/RequestContext.h"

namespace sim::files {

// The host path for a name from a record: a device path ("\Hard Disk\x.txt")
// or a bare name ("T001.txt", the device's root folder) maps below the
// device root; a host path is taken only when it lies below the device root.
// Empty, with the request refused, for anything else or a missing folder.
QString outputPath(RequestContext& ctx, const QString& name, const char* what);

// \Simulator\Spool below the device root (created when missing).
QString spoolFolder();

} // namespace sim::files
