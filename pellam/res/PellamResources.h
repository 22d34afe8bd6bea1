#pragma once
// The user program's built-in resources; resource.h names the templates,
// controls and strings for the code as for the scripts.
#include <QString>

#include "pellam/res/resource.h"

namespace pellam {

inline constexpr const char* kBuiltinScript = ":/pellam/pellam.rc";

// Makes the built-in English script the resources in force (start-up step
// before any language library is tried).
void installBuiltinResources();

} // namespace pellam
