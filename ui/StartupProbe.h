#pragma once
// For the start-up benchmark (bench/startup): with DIAG_STARTUP_PROBE set,
// the first top-level window that is shown prints "shown <resident kB>
// <title>" on standard output and ends the program at once. Without the
// variable nothing is installed.
#include <QApplication>
#include <QByteArray>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QWidget>
#include <cstdio>
#include <unistd.h>

namespace ui {

class StartupProbe : public QObject {
public:
    using QObject::QObject;

    static void installIfAsked()
    {
        if (qEnvironmentVariableIsSet("DIAG_STARTUP_PROBE"))
            QApplication::instance()->installEventFilter(new StartupProbe(QApplication::instance()));
    }

    // VmRSS of this process in kB, 0 where /proc has none.
    static long residentKb()
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                return line.mid(6).trimmed().split(' ').value(0).toLong();
        return 0;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Painted, not only mapped: the window is on the screen.
        if (event->type() == QEvent::Paint) {
            auto* w = qobject_cast<QWidget*>(watched);
            if (w && w->isWindow() && w->isVisible()) {
                std::printf("shown %ld %s\n", residentKb(), qPrintable(w->windowTitle()));
                std::fflush(stdout);
                ::_exit(0); // nothing after the first window is measured
            }
        }
        return false;
    }
};

} // namespace ui
