#pragma once
// The barrier between Qt and the program's handlers. Qt does not let an
// exception pass through its event loop (the program would end), so every
// place where Qt calls project code (command, notification and message
// handlers, posted calls, event overrides) runs it through guarded(): an
// exception becomes a message box that says what failed, and the program
// goes on.
#include <QString>
#include <functional>

namespace ui {

// The text of the box for a handler that failed with `what`.
QString handlerFailureText(const QString& what);

// How a failure is shown: at once (a click, a message), or after the
// current event (painting, where a modal box cannot open).
enum class Report { Now, Later };

// Runs `fn`. False when it threw; the exception is then reported and does
// not leave this call.
bool guarded(const std::function<void()>& fn, Report report = Report::Now) noexcept;

} // namespace ui
