#pragma once
// What both screenshot programs share: a working copy of the sample device
// root, prompts that refuse to wait for a user, a PNG of a widget, and an
// event loop turned on a manual clock until a condition holds.
#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <functional>
#include <QTemporaryDir>
#include <memory>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QWidget>
#include <cstdio>

#include "platform/Clock.h"
#include "sim/printer/SimulatedDevices.h"
#include "ui/Dialog.h"
#include "ui/Messages.h"
#include "ui/Prompts.h"

namespace shots {

// A box would wait for a user: its text is an error here.
class RefusingPrompts final : public ui::PromptService {
public:
    int messageBox(const ui::MessageBoxRequest& ask) override
    {
        std::fprintf(stderr, "message box: %s\n", qPrintable(ask.text));
        ++boxes;
        return ui::IDCANCEL;
    }
    std::optional<QString> fileDialog(const ui::FileDialogRequest&) override { return std::nullopt; }
    int boxes = 0;
};

inline bool copyTree(const QString& folder, const QString& to)
{
    const QDir from(folder);
    QDirIterator it(from.absolutePath(), QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = to + QLatin1Char('/') + from.relativeFilePath(file);
        if (!QDir().mkpath(QFileInfo(target).path()) || !QFile::copy(file, target))
            return false;
    }
    return true;
}

inline bool save(QWidget& w, const QDir& out, const QString& name)
{
    const QString file = out.filePath(name);
    if (!w.grab().save(file)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    return true;
}

// Turns the event loop, moving the manual clock on, until `done` holds.
template <class F>
bool runUntil(platform::ManualClock& clock, F done)
{
    for (int i = 0; i < 20000; ++i) {
        if (done())
            return true;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        clock.advance(platform::Millis(50));
    }
    return done();
}

// Turns the event loop for `span` of manual-clock time: long enough for a
// worker's one-second wait to time out and its posted work to arrive.
inline void settle(platform::ManualClock& clock, platform::Millis span = platform::Millis(2500))
{
    for (platform::Millis t{0}; t < span; t += platform::Millis(50)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        clock.advance(platform::Millis(50));
    }
    QCoreApplication::processEvents();
}

// Sets the manual clock's wall time to one fixed moment, so that the time
// stamps a screen writes are the same in every rendering of its picture.
inline void resetWallTime(platform::ManualClock& clock)
{
    // The wall time is the start plus all virtual time so far: start that
    // much earlier.
    const auto elapsed = clock.now().count();
    clock.setLocalTime({2026, 1, 2, 9, 0, -static_cast<int>(elapsed / 1000), -static_cast<int>(elapsed % 1000)});
}

// Clicks a button as the operator would: refused (false) when the button is
// missing, hidden or disabled, so that a picture never shows a state that a
// user could not reach.
inline bool click(ui::Dialog& d, int id)
{
    auto* b = qobject_cast<QAbstractButton*>(d.control(id));
    if (!b || !b->isEnabled() || !d.isShown(id)) {
        std::fprintf(stderr, "cannot click %d in template %d\n", id, d.templateId());
        return false;
    }
    b->click();
    return true;
}

// Runs `act` on the modal screen that `open` brings up, from within that
// screen's own event loop, then closes the screen if `act` left it open.
// False when no screen came up or `act` said so.
inline bool withNextModal(const std::function<void()>& open, const std::function<bool(ui::Dialog&)>& act)
{
    bool ok = false;
    bool reached = false;
    QWidget* const outer = QApplication::activeModalWidget();
    QTimer::singleShot(0, qApp, [&] {
        reached = true;
        QWidget* const top = QApplication::activeModalWidget();
        auto* d = top == outer ? nullptr : dynamic_cast<ui::Dialog*>(top);
        if (!d) {
            std::fprintf(stderr, "no screen opened\n");
            return;
        }
        ok = act(*d);
        if (!d->hasEnded())
            d->command(ui::IDCANCEL);
        if (!d->hasEnded())
            d->endDialog(ui::IDCANCEL);
    });
    open();
    if (!reached)
        QCoreApplication::processEvents();
    return ok;
}

// Offscreen, the simulator answering at once, its seed fixed, below `root`.
inline void useSimulatorAt(const QString& root)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("DIAG_DEVICE_ROOT", QFile::encodeName(root));
    qputenv("DIAG_SIM_TIME_SCALE", "0");
    qputenv("DIAG_SIM_SEED", "1");
}

// One picture run: a copy of the sample device root in a temporary folder,
// the application, the output folder, refusing prompts, a manual clock and
// the simulated printer. `ready()` is false (and said on stderr) when any of
// it could not be had.
class Session {
public:
    Session(int& argc, char** argv, const QString& appName)
    {
        m_sample = QString::fromLocal8Bit(argv[1]);
        root = work.filePath(QStringLiteral("device"));
        const bool copied = work.isValid() && copyTree(m_sample + QStringLiteral("/device"), root);
        useSimulatorAt(root);
        app = std::make_unique<QApplication>(argc, argv);
        QCoreApplication::setApplicationName(appName);
        out = QDir(QString::fromLocal8Bit(argv[2]));
        if (!copied)
            std::fprintf(stderr, "cannot copy the sample from %s\n", argv[1]);
        else if (!out.mkpath(QStringLiteral(".")))
            std::fprintf(stderr, "cannot create %s\n", argv[2]);
        else
            m_ready = true;
        ui::setPromptService(&prompts);
        devices = sim::registerSimulatedDevices();
    }
    ~Session()
    {
        sim::unregisterSimulatedDevices(devices);
        ui::setPromptService(nullptr);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool ready() const { return m_ready; }
    // The sample folder's file `name` copied into the work folder: its path
    // there, or empty (and a message) when the session or the copy failed.
    QString copyFromSample(const QString& name)
    {
        const QString copy = work.filePath(name);
        if (!m_ready || !QFile::copy(m_sample + u'/' + name, copy)) {
            std::fprintf(stderr, "cannot set up %s in %s\n", qPrintable(name), qPrintable(work.path()));
            return QString();
        }
        return copy;
    }
    bool save(QWidget& w, const QString& name) { return shots::save(w, out, name); }

    QTemporaryDir work;
    QString root;
    QDir out;
    std::unique_ptr<QApplication> app;
    RefusingPrompts prompts;
    platform::ManualClock clock;
    platform::ScopedClock useClock{clock};
    sim::SimulatedDevices devices;

private:
    QString m_sample;
    bool m_ready = false;
};

} // namespace shots
