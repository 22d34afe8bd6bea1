// A leak in a handler that Qt's event loop calls (a posted call and a button
// click, with Qt and, where Qt dispatches through it, GLib frames below).
// The leak sanitizer must report it; CI fails when it does not.
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "CanaryDialog.h"

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
    std::unique_ptr<ui::Dialog> canary = makeCanaryDialog([] { canaryLeakingHandler(); });
    if (!canary)
        return 2;
    ui::Dialog& dlg = *canary;
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
