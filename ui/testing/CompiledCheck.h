#pragma once
#include <QString>

namespace ui::testing {

// Empty when the compiled form the build embedded beside the script at
// `script` (":/...") reads and holds exactly the script's parse; else what
// is wrong.
QString compiledFormMismatch(const QString& script);

} // namespace ui::testing
