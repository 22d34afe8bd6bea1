// A data race in a dialog's button handler: the handler, reached through a
// real click (Qt Widgets and Qt Core frames below it), writes a counter that
// a worker writes too, without a lock. The thread sanitizer must report it;
// CI fails when it does not.
#include <QApplication>
#include <QPushButton>
#include <atomic>
#include <cstdio>
#include <thread>

#include "CanaryDialog.h"

namespace {

int g_counter = 0; // deliberately shared without synchronisation

__attribute__((noinline)) void canaryRacingHandler()
{
    ++g_counter;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::unique_ptr<ui::Dialog> canary = makeCanaryDialog([] { canaryRacingHandler(); });
    if (!canary)
        return 2;
    ui::Dialog& dlg = *canary;

    // Relaxed atomics order nothing for the sanitizer: the two writes stay
    // concurrent in its eyes even though the worker's comes first.
    std::atomic<bool> written{false};
    std::thread worker([&] {
        canaryRacingHandler();
        written.store(true, std::memory_order_relaxed);
    });
    while (!written.load(std::memory_order_relaxed))
        std::this_thread::yield();
    dlg.controlAs<QPushButton>(1022)->click();
    worker.join();
    std::printf("canary ran: %d\n", g_counter);
    return 0;
}
