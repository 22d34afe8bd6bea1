#include "Walker.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QFileInfo>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QValidator>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cxxabi.h>
#include <optional>
#include <thread>
#include <typeinfo>
#include <unistd.h>

#include "ui/Messages.h"
#include "ui/testing/DialogHarness.h"

namespace randomop {

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

namespace {

constexpr auto kAnswerLimit = 5s;

template <class T>
const T& pick(std::mt19937_64& rng, const std::vector<T>& items)
{
    return items[size_t(rng() % items.size())];
}

int uniform(std::mt19937_64& rng, int lo, int hi) // [lo, hi]
{
    return lo + int(rng() % uint64_t(int64_t(hi) - lo + 1));
}

} // namespace

QString className(const QObject& o)
{
    const char* mangled = typeid(o).name();
    int status = 0;
    char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    QString name = QString::fromLatin1(status == 0 && plain ? plain : mangled);
    std::free(plain);
    const qsizetype colons = name.lastIndexOf(QLatin1String("::"));
    return colons < 0 ? name : name.mid(colons + 2);
}

const QStringList& hostileTexts()
{
    static const QStringList texts = {
        QString(), QStringLiteral("-1"), QStringLiteral("0"), QStringLiteral("2147483648"),
        QStringLiteral("-2147483649"), QStringLiteral("4294967296"), QStringLiteral("99999999999999999999"),
        QStringLiteral("1e308"), QStringLiteral("-1e308"), QStringLiteral("NaN"), QStringLiteral("inf"),
        QStringLiteral("abc"), QStringLiteral("12abc"), QStringLiteral(" 12 "), QStringLiteral("0x1F"),
        QStringLiteral("-0"), QStringLiteral("3.5"), QStringLiteral("1,5"), QString(300, QLatin1Char('x')),
        QString(300, QLatin1Char('9')), QStringLiteral("%s%n%x%d%p"), QStringLiteral("{0}%1%%"),
        QStringLiteral("..\\..\\..\\Windows\\win.ini"), QStringLiteral("../../../../etc/passwd"),
        QStringLiteral("\\Hard Disk\\..\\..\\x.txt"), QStringLiteral("\u0661\u0662\u0663"),     // Arabic-Indic
        QStringLiteral("\uFF11\uFF12\uFF13"),                                              // full width
        QStringLiteral("\u0968\u096A"), QStringLiteral("\t\r\n"), QStringLiteral("\"quoted\""),
        QStringLiteral("[section]"), QStringLiteral("key=value"), QStringLiteral("\\n\\r\\"),
        QStringLiteral("\U0001F600"), QString(QChar(0xD800)), QStringLiteral("a\u0000b"),
    };
    return texts;
}

std::vector<int> answersOf(ui::MsgButtons buttons)
{
    using ui::MsgButtons;
    switch (buttons) {
    case MsgButtons::Ok: return {ui::IDOK};
    case MsgButtons::OkCancel: return {ui::IDOK, ui::IDCANCEL};
    case MsgButtons::YesNo: return {ui::IDYES, ui::IDNO};
    case MsgButtons::YesNoCancel: return {ui::IDYES, ui::IDNO, ui::IDCANCEL};
    case MsgButtons::RetryCancel: return {ui::IDRETRY, ui::IDCANCEL};
    case MsgButtons::AbortRetryIgnore: return {ui::IDABORT, ui::IDRETRY, ui::IDIGNORE};
    }
    return {ui::IDOK};
}

RandomPrompts::RandomPrompts(uint64_t seed, QString scratch) : m_rng(seed ^ 0x9E3779B97F4A7C15ull), m_scratch(std::move(scratch)) {}

int RandomPrompts::messageBox(const ui::MessageBoxRequest& ask)
{
    std::lock_guard l(m_mutex);
    ++m_boxes;
    if (ask.text.trimmed().isEmpty())
        m_faults << QStringLiteral("a message box without text (caption \"%1\")").arg(ask.caption);
    if (ask.text.startsWith(QLatin1String("Internal error")))
        m_faults << QStringLiteral("a handler threw: \"%1\"").arg(ask.text);
    return pick(m_rng, answersOf(ask.buttons));
}

std::optional<QString> RandomPrompts::fileDialog(const ui::FileDialogRequest& ask)
{
    std::lock_guard l(m_mutex);
    ++m_boxes;
    const QString ext = ask.defaultExtension.isEmpty() ? QStringLiteral("txt") : ask.defaultExtension;
    switch (m_rng() % 6) {
    case 0: return std::nullopt;
    case 1: return m_scratch + QStringLiteral("/picked.") + ext;
    case 2: return m_scratch + QStringLiteral("/sub/../picked2.") + ext;
    case 3: return m_scratch + QStringLiteral("/no such folder/x.") + ext;
    // The name the dialog offers, in the scratch folder as a dialog opened
    // there would give it. A name that leads out of the folder (typed
    // "../../../../etc/passwd", or a whole path) gives its last part there:
    // a walk never picks a file outside its scratch folder.
    case 4: {
        if (ask.fileName.isEmpty())
            return std::nullopt;
        const QString path = QDir::cleanPath(QDir(m_scratch).filePath(ask.fileName));
        if (path.startsWith(m_scratch + QLatin1Char('/')))
            return path;
        const QString last = QFileInfo(ask.fileName).fileName();
        return last.isEmpty() || last == QLatin1String("..") ? std::nullopt : std::optional<QString>(QDir(m_scratch).filePath(last));
    }
    default: return m_scratch; // a folder, not a file
    }
}

QStringList RandomPrompts::takeFaults()
{
    std::lock_guard l(m_mutex);
    QStringList f;
    f.swap(m_faults);
    return f;
}

long long RandomPrompts::boxes() const
{
    std::lock_guard l(m_mutex);
    return m_boxes;
}

Options Options::parse(int argc, char** argv, QString* error)
{
    Options o;
    for (int i = 1; i < argc; i += 2) { // each option and its value
        const QString a = QString::fromLocal8Bit(argv[i]);
        const bool hasValue = i + 1 < argc;
        const QString v = hasValue ? QString::fromLocal8Bit(argv[i + 1]) : QString();
        bool ok = hasValue;
        if (a == QLatin1String("--seed"))
            o.seed = v.toULongLong(&ok);
        else if (a == QLatin1String("--actions"))
            o.actions = v.toLongLong(&ok);
        else if (a == QLatin1String("--screen"))
            o.screen = v;
        else if (a == QLatin1String("--log"))
            o.logPath = v;
        else {
            *error = QStringLiteral("unknown argument %1").arg(a);
            return o;
        }
        if (!ok || o.actions < 0) {
            *error = QStringLiteral("%1 needs a value").arg(a);
            return o;
        }
    }
    return o;
}

// Moves virtual time on all the time, so that waits end (a closing dialog's
// time-outs included) while the user-interface thread is blocked in one;
// and watches that no action takes longer than the limit.
struct Walker::Hand {
    platform::ManualClock& clock;
    std::atomic<bool> stop{false};
    std::atomic<int64_t> actionStartNs{0}; // 0: between actions
    std::function<void()> onHang;
    std::thread thread;
    explicit Hand(platform::ManualClock& c) : clock(c) {}
    void start()
    {
        thread = std::thread([this] {
            while (!stop) {
                clock.advance(20ms);
                std::this_thread::sleep_for(50us);
                const int64_t at = actionStartNs;
                if (at && Steady::now().time_since_epoch().count() - at > std::chrono::nanoseconds(kAnswerLimit).count()
                    && onHang)
                    onHang(); // does not return
            }
        });
    }
    ~Hand()
    {
        stop = true;
        if (thread.joinable())
            thread.join();
    }
};

Walker::Walker(Options options, std::vector<Screen> screens, platform::ManualClock& clock)
    : m_options(std::move(options)), m_screens(std::move(screens)), m_clock(clock), m_rng(m_options.seed),
      m_prompts(m_options.seed, m_options.scratch), m_previousPrompts(&ui::promptService())
{
    ui::setPromptService(&m_prompts);
    if (!m_options.logPath.isEmpty())
        m_log = std::fopen(QFile::encodeName(m_options.logPath).constData(), "w");
}

Walker::~Walker()
{
    m_hand.reset();
    ui::setPromptService(m_previousPrompts == &m_prompts ? nullptr : m_previousPrompts);
    if (m_log)
        std::fclose(m_log);
}

namespace {
std::mutex g_sessionMutex; // the session list, read by the hang watch
}

void Walker::note(const QString& action)
{
    {
        std::lock_guard l(g_sessionMutex);
        m_session << action;
    }
    if (m_log) {
        std::fprintf(m_log, "%lld %s\n", m_done, qPrintable(action));
        std::fflush(m_log);
    }
}

void Walker::fail(const QString& screen, int session, const QString& why)
{
    std::lock_guard l(g_sessionMutex);
    std::fprintf(stderr,
                 "\nRANDOM OPERATOR FAULT: %s\n  seed %llu, action %lld of %lld, screen %s (session %d)\n"
                 "  reproduce: this program with --seed %llu --actions %lld (or the script's line below)\n"
                 "  the session's actions (after opening %s):\n",
                 qPrintable(why), static_cast<unsigned long long>(m_options.seed), m_done, m_options.actions,
                 qPrintable(screen), session, static_cast<unsigned long long>(m_options.seed), m_done + 1,
                 qPrintable(screen));
    for (const QString& a : m_session)
        std::fprintf(stderr, "    %s\n", qPrintable(a));
    std::fflush(stderr);
}

bool Walker::check(const QString& screen, int session, double seconds)
{
    const QStringList faults = m_prompts.takeFaults();
    if (!faults.isEmpty()) {
        fail(screen, session, faults.join(QLatin1String("; ")));
        return false;
    }
    if (seconds > std::chrono::duration<double>(kAnswerLimit).count()) {
        fail(screen, session, QStringLiteral("the screen took %1 s to answer").arg(seconds, 0, 'f', 1));
        return false;
    }
    return true;
}

void Walker::destroy(std::unique_ptr<ui::Dialog>& dialog)
{
    dialog.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString Walker::act(ui::Dialog& d, bool& closed)
{
    closed = false;
    const uint64_t roll = m_rng() % 100;
    if (roll < 6) {
        const int ms = uniform(m_rng, 0, 30);
        const auto until = Steady::now() + std::chrono::milliseconds(ms);
        while (Steady::now() < until) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            std::this_thread::sleep_for(200us);
        }
        return QStringLiteral("wait %1 ms").arg(ms);
    }
    if (roll < 9) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QWidget* target = QApplication::focusWidget();
        QCoreApplication::sendEvent(target && d.isAncestorOf(target) ? target : &d, &press);
        return QStringLiteral("Enter");
    }
    if (roll < 11) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QWidget* target = QApplication::focusWidget();
        QCoreApplication::sendEvent(target && d.isAncestorOf(target) ? target : &d, &press);
        return QStringLiteral("Escape");
    }
    if (roll < 12) {
        d.close();
        return QStringLiteral("close box");
    }
    if (roll < 14) {
        closed = true;
        return QStringLiteral("destroy");
    }
    if (roll < 17 && switchFaults) {
        QStringList what;
        switchFaults(m_rng, what);
        return QStringLiteral("faults: %1").arg(what.join(QLatin1String(", ")));
    }
    // A control the operator can reach.
    std::vector<int> ids;
    for (int id : d.controlIds()) {
        QWidget* w = d.control(id);
        if (w && w->isEnabled() && w->isVisible())
            ids.push_back(id);
    }
    if (ids.empty())
        return QStringLiteral("nothing to press");
    const int id = pick(m_rng, ids);
    QWidget* w = d.control(id);
    const QString name = QStringLiteral("%1 (%2)").arg(id).arg(className(*w));
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->isReadOnly())
            return QStringLiteral("read-only %1").arg(name);
        QString text;
        switch (m_rng() % 3) {
        case 0: text = pick(m_rng, std::vector<QString>(hostileTexts().begin(), hostileTexts().end())); break;
        case 1: text = QString::number(uniform(m_rng, -5, 20)); break;
        default: text = QString::number(uniform(m_rng, 0, 100000)); break;
        }
        // Typed: the box's validator and length limit act as on a keyboard.
        if (const QValidator* v = e->validator()) {
            int pos = 0;
            if (v->validate(text, pos) == QValidator::Invalid)
                return QStringLiteral("type into %1 refused: \"%2\"").arg(name, text.left(40));
        }
        e->setFocus();
        e->setText(text.left(e->maxLength()));
        return QStringLiteral("type into %1: \"%2\"").arg(name, text.left(40));
    }
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        if (e->isReadOnly())
            return QStringLiteral("read-only %1").arg(name);
        const QString& text = hostileTexts()[qsizetype(m_rng() % uint64_t(hostileTexts().size()))];
        e->setPlainText(text);
        return QStringLiteral("type into %1: \"%2\"").arg(name, text.left(40));
    }
    if (auto* cb = qobject_cast<QComboBox*>(w)) {
        if (cb->isEditable() && m_rng() % 2) {
            const QString& text = hostileTexts()[qsizetype(m_rng() % uint64_t(hostileTexts().size()))];
            cb->setEditText(text);
            return QStringLiteral("type into %1: \"%2\"").arg(name, text.left(40));
        }
        if (cb->count() == 0)
            return QStringLiteral("empty %1").arg(name);
        const int index = uniform(m_rng, 0, cb->count() - 1);
        cb->setCurrentIndex(index);
        return QStringLiteral("choose %1 item %2").arg(name).arg(index);
    }
    if (auto* s = qobject_cast<QAbstractSlider*>(w)) {
        const int pos = m_rng() % 4 == 0 ? (m_rng() % 2 ? s->minimum() : s->maximum())
                                         : uniform(m_rng, s->minimum(), s->maximum());
        if (m_rng() % 2) {
            s->setValue(pos);
        } else {
            s->setSliderDown(true); // dragged
            s->setSliderPosition(pos);
            s->setSliderDown(false);
        }
        return QStringLiteral("slide %1 to %2").arg(name).arg(pos);
    }
    if (auto* v = qobject_cast<QAbstractItemView*>(w)) {
        const int rows = v->model() ? v->model()->rowCount() : 0;
        if (rows == 0)
            return QStringLiteral("empty %1").arg(name);
        const int row = uniform(m_rng, 0, rows - 1);
        v->selectionModel()->setCurrentIndex(v->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
        return QStringLiteral("select %1 row %2").arg(name).arg(row);
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        const QString label = b->text();
        b->click();
        return QStringLiteral("click %1 \"%2\"").arg(name, label);
    }
    return QStringLiteral("look at %1").arg(name);
}

bool Walker::walkScreen(const Screen& screen, int session)
{
    {
        std::lock_guard l(g_sessionMutex);
        m_session.clear();
    }
    note(QStringLiteral("== open %1 (session %2)").arg(screen.name).arg(session));
    std::unique_ptr<ui::Dialog> dialog = screen.open();
    std::optional<ui::testing::DialogHarness> harness;
    const auto opened = Steady::now();
    m_hand->actionStartNs = opened.time_since_epoch().count();
    harness.emplace(*dialog);
    m_hand->actionStartNs = 0;
    if (!check(screen.name, session, std::chrono::duration<double>(Steady::now() - opened).count()))
        return false;
    if (!harness->open()) {
        note(QStringLiteral("no template"));
        harness.reset();
        destroy(dialog);
        return true;
    }
    const long long budget = std::min<long long>(uniform(m_rng, 1, 400), m_options.actions - m_done);
    for (long long k = 0; k < budget; ++k) {
        const auto t0 = Steady::now();
        m_hand->actionStartNs = t0.time_since_epoch().count();
        bool destroyIt = false;
        QString what = dialog->hasEnded() ? QStringLiteral("ended") : act(*dialog, destroyIt);
        note(what);
        ++m_done;
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (destroyIt || dialog->hasEnded()) {
            harness.reset();
            destroy(dialog);
        }
        m_hand->actionStartNs = 0;
        if (!check(screen.name, session, std::chrono::duration<double>(Steady::now() - t0).count()))
            return false;
        if (!dialog)
            return true;
    }
    // The session's end: closed as the operator would, or destroyed at once.
    const auto t0 = Steady::now();
    m_hand->actionStartNs = t0.time_since_epoch().count();
    switch (m_rng() % 3) {
    case 0: harness->pressEscape(); note(QStringLiteral("end: Escape")); break;
    case 1: harness->closeBox(); note(QStringLiteral("end: close box")); break;
    default: note(QStringLiteral("end: destroy")); break;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    harness.reset();
    destroy(dialog);
    m_hand->actionStartNs = 0;
    return check(screen.name, session, std::chrono::duration<double>(Steady::now() - t0).count());
}

int Walker::run()
{
    std::vector<const Screen*> screens;
    for (const Screen& s : m_screens)
        if (m_options.screen.isEmpty() || s.name.compare(m_options.screen, Qt::CaseInsensitive) == 0)
            screens.push_back(&s);
    if (screens.empty()) {
        std::fprintf(stderr, "no screen named %s here\n", qPrintable(m_options.screen));
        return 0;
    }
    QString current;
    int session = 0;
    m_hand = std::make_unique<Hand>(m_clock);
    m_hand->onHang = [this, &current, &session] {
        fail(current, session, QStringLiteral("the screen did not answer for 5 s"));
        ::_exit(3);
    };
    m_hand->start();
    // Modal boxes opened from a screen (a preview, a sub-dialog, a screen of
    // the menu) run a loop of their own: they are closed after a few turns.
    QTimer nested;
    int nestedTurns = 0;
    QObject::connect(&nested, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            nestedTurns = 0;
            return;
        }
        if (++nestedTurns < int(m_rng() % 8))
            return;
        nestedTurns = 0;
        note(QStringLiteral("close the modal %1").arg(className(*modal)));
        if (auto* d = dynamic_cast<ui::Dialog*>(modal); d && !d->hasEnded())
            d->endDialog(ui::IDCANCEL);
        else if (auto* q = qobject_cast<QDialog*>(modal))
            q->reject();
        else
            modal->close();
    });
    nested.start(5);
    while (m_done < m_options.actions) {
        const Screen& s = *screens[size_t(m_rng() % screens.size())];
        current = s.name;
        if (!walkScreen(s, ++session))
            return 1;
    }
    m_hand.reset();
    return 0;
}

} // namespace randomop
