// screenshots <sample folder> <output folder>
//
// Renders what a user of vantor sees first, offscreen, to PNG files: the test
// menu (vantor-menu.png) and the platen test after a run of the sample
// settings against the simulated printer (platen-run.png). It works on a copy
// of the sample settings and device root, with the simulator answering at
// once and a fixed clock, so the pictures change only when the screens do.
// scripts/screenshots.sh keeps docs/images/ up to date with it.
#include <QAbstractButton>
#include <QApplication>
#include <QTemporaryDir>

#include "VantorShots.h"

#include "platform/Clock.h"
#include "sim/printer/SimulatedDevices.h"
#include "ui/Dialog.h"
#include "ui/Messages.h"
#include "ui/Prompts.h"
#include "ui/ResultList.h"
#include "vantor/app/CVantorDlg.h"

namespace {

using shots::runUntil;

constexpr int kPlatenTest = 1006, kRun = 1022, kResultList = 1004;

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: screenshots <sample folder> <output folder>\n");
        return 2;
    }
    shots::Session session(argc, argv, QStringLiteral("Vantor"));
    if (shots::startVantor(session).isEmpty())
        return 1;

    bool ok = true;
    vantor::CVantorDlg menu;
    if (!menu.create()) {
        std::fprintf(stderr, "the menu did not build\n");
        return 1;
    }
    menu.show();
    QCoreApplication::processEvents();
    ok = session.save(menu, QStringLiteral("vantor-menu.png")) && ok;

    // The platen screen opens modally from its button; it is run and pictured
    // from within its own event loop.
    bool pictured = false;
    QMetaObject::invokeMethod(
        session.app.get(),
        [&] {
            auto* platen = qobject_cast<ui::Dialog*>(QApplication::activeModalWidget());
            ui::ResultList* list = platen ? platen->findChild<ui::ResultList*>() : nullptr;
            if (!list || list != platen->control(kResultList)) {
                std::fprintf(stderr, "the platen screen did not open\n");
                if (platen)
                    platen->command(ui::IDCANCEL);
                return;
            }
            platen->command(kRun);
            auto* run = qobject_cast<QAbstractButton*>(platen->control(kRun));
            // The run ends with a line holding one space; RUN comes back when
            // the worker is idle again.
            const bool ended = runUntil(session.clock, [&] {
                return list->lines().contains(QStringLiteral(" ")) && run && run->isEnabled();
            });
            QCoreApplication::processEvents();
            if (ended)
                pictured = session.save(*platen, QStringLiteral("platen-run.png"));
            else
                std::fprintf(stderr, "the platen run did not end\n");
            platen->command(ui::IDCANCEL);
        },
        Qt::QueuedConnection);
    menu.command(kPlatenTest);
    ok = ok && pictured && session.prompts.boxes == 0;

    menu.hide();
    return ok ? 0 : 1;
}
