#pragma once
// The engineering program's built-in resources; resource.h names the
// templates and controls for the code as for the script.
#include "vantor/res/resource.h"

namespace vantor {

inline constexpr const char* kBuiltinScript = ":/vantor/vantor.rc";

// Makes the embedded script the resources in force (start-up, tools, tests).
void installBuiltinResources();

} // namespace vantor
