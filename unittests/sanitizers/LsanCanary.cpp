// A leak in a handler that Qt's event loop calls (a posted call and a button
// click, with Qt and, where Qt dispatches through it, GLib frames below).
// The leak sanitizer must report it; CI fails when it does not.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "ui/Dialog.h"
#include "ui/ResourceScript.h"
#include "ui/Resources.h"

namespace {

struct CanaryRecord {
    char bytes[4096];
};

CanaryRecord* volatile g_sink = nullptr;

__attribute__((noinline)) void canaryLeakingHandler()
{
    g_sink = new CanaryRecord(); // never freed, and the pointer is dropped below
    g_sink = nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto script = ui::parseResourceScript(
        QStringLiteral("1 DIALOGEX 0,0,100,40\nCAPTION \"Canary\"\nBEGIN\n  PUSHBUTTON \"RUN\",1022,5,5,50,14\nEND\n"),
        QStringLiteral("canary.rc"));
    if (!script.ok())
        return 2;
    ui::Resources::setBuiltin(std::move(*script.script));
    ui::Dialog dlg(1);
    dlg.onCommand(1022, [] { canaryLeakingHandler(); });
    if (!dlg.create())
        return 2;
    // Once from the event loop, once from a click delivered by it.
    QTimer::singleShot(0, &dlg, [&dlg] {
        canaryLeakingHandler();
        dlg.controlAs<QPushButton>(1022)->click();
        QCoreApplication::quit();
    });
    app.exec();
    std::printf("canary ran\n");
    return 0;
}
