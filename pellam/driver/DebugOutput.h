#pragma once
// The platform's debug output: text for whoever watches the device (a
// debugger there, standard error here). Tests install a sink to read it.
// Safe from any thread.
#include <QString>
#include <functional>

namespace pellam::driver {

using DebugSink = std::function<void(const QString&)>;

// Sends the text as it is (no line end is added).
void debugOutput(const QString& text);
// Installs a sink in place of standard error; an empty one restores it.
void setDebugSink(DebugSink sink);

} // namespace pellam::driver
