#include "HandlerGuard.h"

#include "Prompts.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cstdio>
#include <exception>

namespace ui {

namespace {

// Set while a failure box is open on this thread: a handler that throws
// again from inside it is noted on standard error instead of opening boxes
// without end.
thread_local bool t_reporting = false;

void show(const QString& text) noexcept
{
    try {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    } catch (...) {
    }
    if (t_reporting)
        return;
    t_reporting = true;
    try {
        messageBox(text, QString(), MsgIcon::Error, MsgButtons::Ok);
    } catch (...) {
        // The box itself failed; standard error has the text.
    }
    t_reporting = false;
}

QString describe(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return QStringLiteral("out of memory");
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("unknown error");
    }
}

void report(const QString& text, Report when) noexcept
{
    try {
        QCoreApplication* app = QCoreApplication::instance();
        if (when == Report::Later && app) {
            QMetaObject::invokeMethod(app, [text] { show(text); }, Qt::QueuedConnection);
            return;
        }
    } catch (...) {
    }
    show(text);
}

} // namespace

QString handlerFailureText(const QString& what)
{
    return QStringLiteral("Internal error: %1\nThe action was stopped; the program goes on.").arg(what);
}

bool guarded(const std::function<void()>& fn, Report when) noexcept
{
    try {
        fn();
        return true;
    } catch (...) {
        QString text;
        try {
            text = handlerFailureText(describe(std::current_exception()));
        } catch (...) {
            std::fputs("Internal error (out of memory); the action was stopped.\n", stderr);
            return false;
        }
        report(text, when);
        return false;
    }
}

} // namespace ui
