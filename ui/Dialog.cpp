#include "Dialog.h"

#include "HandlerGuard.h"
#include "Prompts.h"
#include "Resources.h"
#include "ResultList.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QThread>
#include <QWindow>
#include <deque>
#include <limits>
#include <mutex>
#include <set>

#include "Numbers.h"

namespace ui {

using namespace style;

// ---------------------------------------------------------------------------
// Message ports

namespace detail {

// A dialog's queue. Messages wait here (not inside Qt's event queue) so that
// the hand-over from a worker is ordered by this mutex; Qt only delivers a
// wake-up.
struct PortState {
    struct Entry {
        Message message;
        std::shared_ptr<CallState> call; // set for a worker's send()
    };
    std::mutex mutex;
    Dialog* target = nullptr; // null once the dialog is gone
    bool open = true;
    bool wakePending = false;
    std::deque<Entry> queue;
    CallGroup sends;

    // Caller holds the mutex.
    void wake()
    {
        if (!wakePending) {
            wakePending = true;
            QCoreApplication::postEvent(target, new QEvent(kWakeEvent()));
        }
    }
    static QEvent::Type kWakeEvent()
    {
        static const QEvent::Type t = QEvent::Type(QEvent::registerEventType());
        return t;
    }
    // Empties the queue and stops taking messages; the caller destroys
    // what it returns outside the lock.
    std::deque<Entry> close()
    {
        std::deque<Entry> dropped;
        {
            std::lock_guard lock(mutex);
            open = false;
            dropped.swap(queue);
        }
        sends.cancelAll(true);
        return dropped;
    }
};

namespace {

struct Registry {
    std::mutex mutex;
    std::set<std::shared_ptr<PortState>> ports;
};
Registry& registry()
{
    static Registry r;
    return r;
}

} // namespace

} // namespace detail

namespace {

bool postTo(const std::shared_ptr<detail::PortState>& s, Message m)
{
    if (!s)
        return false;
    std::lock_guard lock(s->mutex);
    if (!s->target || !s->open)
        return false;
    s->queue.push_back({std::move(m), nullptr});
    s->wake();
    return true;
}

// From a worker: queue with a call state and wait until the interface
// thread dispatched it or the dialog stopped taking messages.
bool sendFromWorker(const std::shared_ptr<detail::PortState>& s, Message m)
{
    if (!s)
        return false;
    auto call = std::make_shared<detail::CallState>();
    if (!s->sends.add(call))
        return false;
    {
        std::lock_guard lock(s->mutex);
        if (!s->target || !s->open) {
            s->sends.remove(call.get());
            return false;
        }
        s->queue.push_back({std::move(m), call});
        s->wake();
    }
    const bool ran = call->wait();
    s->sends.remove(call.get());
    return ran;
}

QString stripMnemonic(QString text)
{
    text.replace(QLatin1String("&&"), QChar(0xE000));
    text.remove(u'&');
    text.replace(QChar(0xE000), u'&');
    return text.simplified();
}

// The id of a control the program never addresses (IDC_STATIC).
constexpr int kStaticId = -1;

bool isTextStatic(const ControlTemplate& c)
{
    if (c.className.compare(QLatin1String("Static"), Qt::CaseInsensitive) != 0)
        return false;
    const uint32_t t = c.style & SS_TYPEMASK;
    return t == SS_LEFT || t == SS_CENTER || t == SS_RIGHT || t == SS_SIMPLE || t == SS_LEFTNOWORDWRAP;
}

bool isClass(const ControlTemplate& c, const char* name)
{
    return c.className.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
}

QIcon standardIcon(const QString& name)
{
    QStyle* st = QApplication::style();
    const QString n = name.toUpper();
    if (n == u"IDI_ERROR" || n == u"IDI_HAND" || n == u"32513")
        return st->standardIcon(QStyle::SP_MessageBoxCritical);
    if (n == u"IDI_WARNING" || n == u"IDI_EXCLAMATION" || n == u"32515")
        return st->standardIcon(QStyle::SP_MessageBoxWarning);
    if (n == u"IDI_INFORMATION" || n == u"IDI_ASTERISK" || n == u"32516")
        return st->standardIcon(QStyle::SP_MessageBoxInformation);
    if (n == u"IDI_QUESTION" || n == u"32514")
        return st->standardIcon(QStyle::SP_MessageBoxQuestion);
    if (!QApplication::windowIcon().isNull())
        return QApplication::windowIcon();
    return st->standardIcon(QStyle::SP_ComputerIcon);
}

} // namespace

bool MessagePort::post(int msg, intptr_t wParam, intptr_t lParam, Payload payload) const
{
    return postTo(m_state, Message{msg, wParam, lParam, std::move(payload)});
}

bool MessagePort::send(int msg, intptr_t wParam, intptr_t lParam, Payload payload) const
{
    if (!m_state)
        return false;
    Dialog* target = nullptr;
    {
        // The dialog is read only under the lock: its destructor clears the
        // pointer under the same lock, on the thread that owns it. Once we
        // know we are that thread, nobody else can destroy it meanwhile.
        std::lock_guard lock(m_state->mutex);
        if (m_state->target && QThread::currentThread() == m_state->target->thread())
            target = m_state->target;
    }
    if (target)
        return target->send(msg, wParam, lParam, std::move(payload)); // the interface thread owns the dialog
    return sendFromWorker(m_state, Message{msg, wParam, lParam, std::move(payload)});
}

bool MessagePort::open() const
{
    if (!m_state)
        return false;
    std::lock_guard lock(m_state->mutex);
    return m_state->target && m_state->open;
}

// ---------------------------------------------------------------------------
// Data exchange

struct Dialog::Binding {
    enum Kind { Int, UInt, Float, Double, Text, CheckInt, CheckBool, Radio, Slider, ComboText, ComboIndex };
    int id;
    Kind kind;
    void* member;
};

// ---------------------------------------------------------------------------

Dialog::Dialog(int templateId, QWidget* parent)
    : QDialog(parent), m_templateId(templateId), m_port(std::make_shared<detail::PortState>())
{
    m_port->target = this;
    auto& r = detail::registry();
    std::lock_guard lock(r.mutex);
    r.ports.insert(m_port);
}

Dialog::~Dialog()
{
    {
        auto& r = detail::registry();
        std::lock_guard lock(r.mutex);
        r.ports.erase(m_port);
    }
    auto dropped = m_port->close(); // queued payloads are freed here
    {
        std::lock_guard lock(m_port->mutex);
        m_port->target = nullptr;
    }
    dropped.clear();
    if (m_promptsRefused)
        reopenWorkerPrompts();
}

int Dialog::doModal()
{
    if (!create())
        return -1;
    if (m_ended) // onInitDialog ended it
        return m_endCode;
    const int r = exec();
    return m_ended ? m_endCode : r;
}

bool Dialog::create()
{
    if (m_created)
        return true;
    bool built = false;
    const bool ok = guarded([&] {
        built = build();
        if (!built)
            return;
        m_created = true;
        if (onInitDialog()) {
            for (const Control& c : m_controls) {
                if (c.widget->isEnabled() && !c.widget->isHidden() && (c.tmpl.style & WS_TABSTOP) &&
                    c.widget->focusPolicy() != Qt::NoFocus) {
                    c.widget->setFocus();
                    break;
                }
            }
        }
    });
    if (!ok) {
        // A screen that failed to set itself up (reported already) does not open.
        m_ended = true;
        m_endCode = IDCANCEL;
        closeMessages();
        return false;
    }
    return built;
}

bool Dialog::createChild(QWidget* owner, QPoint pos)
{
    m_isPanel = true;
    setParent(owner, Qt::Widget);
    if (!create())
        return false;
    int top = 0;
    if (auto* od = qobject_cast<Dialog*>(owner))
        top = od->clientTop();
    move(pos + QPoint(0, top));
    QWidget::show();
    return true;
}

void Dialog::endDialog(int code)
{
    m_ended = true;
    m_endCode = code;
    closeMessages();
    if (m_isPanel) {
        hide();
        return;
    }
    done(code);
}

int Dialog::clientTop() const
{
    return m_caption && !m_caption->isHidden() ? m_caption->height() : 0;
}

bool Dialog::build()
{
    m_template = Resources::dialog(m_templateId);
    if (!m_template) {
        qWarning("dialog template %d not found%s%s", m_templateId,
                 Resources::builtinError().isEmpty() ? "" : ": ", qPrintable(Resources::builtinError()));
        return false;
    }
    const DialogTemplate& t = *m_template;
    const QFont font = dialogFont(t.fontName, t.fontName.isEmpty() ? 8 : t.fontPointSize);
    setFont(font);
    m_units = baseUnits(font);
    setWindowTitle(t.caption);
    setObjectName(t.idName.isEmpty() ? QStringLiteral("IDD_%1").arg(t.id) : t.idName);

    int top = 0;
    if (m_isPanel && (t.style & WS_CAPTION) == WS_CAPTION) {
        // A child dialog with a caption keeps its title bar inside the owner.
        m_caption = new QLabel(t.caption, this);
        m_caption->setObjectName(QStringLiteral("caption"));
        m_caption->setAutoFillBackground(true);
        m_caption->setBackgroundRole(QPalette::Highlight);
        m_caption->setForegroundRole(QPalette::HighlightedText);
        m_caption->setContentsMargins(4, 0, 4, 0);
        m_caption->setFixedHeight(QFontMetrics(font).height() + 6);
        top = m_caption->height();
    }
    const QSize client = dialogUnitsToPixels(t.rect.size(), m_units);
    if (m_isPanel) {
        resize(client.width(), client.height() + top);
        if (m_caption)
            m_caption->setGeometry(0, 0, client.width(), top);
        if (t.style & (WS_BORDER | WS_CAPTION))
            setStyleSheet(QStringLiteral("ui--Dialog#%1 { border: 1px solid palette(mid); }").arg(objectName()));
    } else {
        setFixedSize(client);
        setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    }

    int group = 0;
    for (const ControlTemplate& ct : t.controls) {
        if (ct.style & WS_GROUP)
            ++group;
        QWidget* w = nullptr;
        auto f = m_factories.find(ct.id);
        if (f != m_factories.end() && f->second)
            w = f->second(this, ct);
        if (!w)
            w = makeControl(ct, this);
        w->setParent(this);
        QRect px = dialogUnitsToPixels(ct.rect, m_units);
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            // The template gives the height with the list dropped down.
            const int itemHeight = std::max(1, QFontMetrics(font).height());
            combo->setMaxVisibleItems(std::max(1, (px.height() - combo->sizeHint().height()) / itemHeight));
            px.setHeight(std::min(px.height(), combo->sizeHint().height()));
        }
        if (ct.statement == u"ICON" && (px.width() == 0 || px.height() == 0))
            px.setSize(QSize(32, 32));
        w->setGeometry(px.translated(0, top));
        w->setObjectName(ct.idName.isEmpty() ? QStringLiteral("id_%1").arg(ct.id) : ct.idName);
        w->setProperty("ui_id", ct.id);
        w->setEnabled(!(ct.style & WS_DISABLED));
        w->setVisible(ct.style & WS_VISIBLE);
        if (!(ct.style & WS_TABSTOP) && w->focusPolicy() != Qt::NoFocus)
            w->setFocusPolicy(Qt::ClickFocus);
        Control c;
        c.id = ct.id;
        c.widget = w;
        c.tmpl = ct;
        c.group = group;
        m_controls.push_back(std::move(c));
        if (ct.id != -1 && !m_byId.count(ct.id))
            m_byId[ct.id] = m_controls.size() - 1;
    }
    for (Control& c : m_controls) {
        if (auto* radio = qobject_cast<QRadioButton*>(c.widget)) {
            QButtonGroup*& g = m_radioGroups[c.group];
            if (!g) {
                g = new QButtonGroup(this);
                g->setExclusive(true);
            }
            // The group keeps the buttons exclusive (a button in a group
            // leaves its siblings alone); auto-exclusive is left on because
            // it is what makes assistive clients see a radio button rather
            // than a check box.
            g->addButton(radio, c.id);
        }
        connectControl(c);
    }
    setAccessibleNames();
    return true;
}

QWidget* Dialog::makeControl(const ControlTemplate& c, QWidget* parent)
{
    if (isClass(c, "Static")) {
        const uint32_t type = c.style & SS_TYPEMASK;
        if (type == SS_ICON) {
            auto* l = new QLabel(parent);
            const int side = c.rect.width() > 0 ? dialogUnitsToPixels(c.rect, m_units).width() : 32;
            l->setPixmap(standardIcon(c.text).pixmap(std::clamp(side, 16, 64)));
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return l;
        }
        if (type == SS_BITMAP) {
            auto* l = new QLabel(parent);
            return l;
        }
        if ((type >= SS_BLACKRECT && type <= SS_WHITEFRAME) || type == SS_ETCHEDHORZ || type == SS_ETCHEDVERT ||
            type == SS_ETCHEDFRAME) {
            auto* f = new QFrame(parent);
            if (type == SS_ETCHEDHORZ)
                f->setFrameStyle(QFrame::HLine | QFrame::Sunken);
            else if (type == SS_ETCHEDVERT)
                f->setFrameStyle(QFrame::VLine | QFrame::Sunken);
            else if (type == SS_ETCHEDFRAME)
                f->setFrameStyle(QFrame::Box | QFrame::Sunken);
            else if (type >= SS_BLACKFRAME)
                f->setFrameStyle(QFrame::Box | QFrame::Plain);
            else {
                f->setAutoFillBackground(true);
                f->setBackgroundRole(type == SS_BLACKRECT ? QPalette::WindowText : type == SS_GRAYRECT ? QPalette::Mid : QPalette::Base);
            }
            return f;
        }
        auto* l = new QLabel(c.text, parent);
        l->setTextFormat(Qt::PlainText);
        Qt::Alignment a = type == SS_CENTER ? Qt::AlignHCenter : type == SS_RIGHT ? Qt::AlignRight : Qt::AlignLeft;
        a |= (c.style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop;
        l->setAlignment(a);
        l->setWordWrap(type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP);
        if (c.style & SS_SUNKEN)
            l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return l;
    }
    if (isClass(c, "Button")) {
        const uint32_t type = c.style & BS_TYPEMASK;
        switch (type) {
        case BS_GROUPBOX: {
            auto* g = new QGroupBox(c.text, parent);
            g->setFocusPolicy(Qt::NoFocus);
            return g;
        }
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE: {
            if (c.style & BS_PUSHLIKE) {
                auto* b = new QPushButton(c.text, parent);
                b->setCheckable(true);
                b->setAutoDefault(false);
                return b;
            }
            auto* b = new QCheckBox(c.text, parent);
            b->setTristate(type == BS_3STATE || type == BS_AUTO3STATE);
            if (c.style & BS_LEFTTEXT)
                b->setLayoutDirection(Qt::RightToLeft);
            return b;
        }
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON: {
            auto* b = new QRadioButton(c.text, parent);
            if (c.style & BS_LEFTTEXT)
                b->setLayoutDirection(Qt::RightToLeft);
            return b;
        }
        default: {
            auto* b = new QPushButton(c.text, parent);
            b->setAutoDefault(false); // Enter goes to the dialog, which picks the button
            b->setDefault(type == BS_DEFPUSHBUTTON);
            return b;
        }
        }
    }
    if (isClass(c, "Edit")) {
        if (c.style & ES_MULTILINE) {
            auto* e = new QPlainTextEdit(parent);
            e->setReadOnly(c.style & ES_READONLY);
            e->setLineWrapMode((c.style & WS_HSCROLL) ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
            e->setVerticalScrollBarPolicy((c.style & WS_VSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
            e->setTabChangesFocus(true);
            e->setPlainText(c.text);
            return e;
        }
        auto* e = new QLineEdit(c.text, parent);
        e->setReadOnly(c.style & ES_READONLY);
        if (c.style & ES_NUMBER)
            e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
        if (c.style & ES_PASSWORD)
            e->setEchoMode(QLineEdit::Password);
        e->setAlignment((c.style & ES_RIGHT) ? Qt::AlignRight : (c.style & ES_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft);
        e->setFrame((c.style & WS_BORDER) || (c.exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)));
        return e;
    }
    if (isClass(c, "ListBox")) {
        auto* l = new QListWidget(parent);
        l->setUniformItemSizes(true);
        l->setSortingEnabled(c.style & LBS_SORT);
        l->setSelectionMode((c.style & LBS_NOSEL)          ? QAbstractItemView::NoSelection
                            : (c.style & LBS_EXTENDEDSEL)  ? QAbstractItemView::ExtendedSelection
                            : (c.style & LBS_MULTIPLESEL) ? QAbstractItemView::MultiSelection
                                                           : QAbstractItemView::SingleSelection);
        l->setVerticalScrollBarPolicy((c.style & LBS_DISABLENOSCROLL) ? Qt::ScrollBarAlwaysOn
                                      : (c.style & WS_VSCROLL)        ? Qt::ScrollBarAsNeeded
                                                                      : Qt::ScrollBarAlwaysOff);
        l->setHorizontalScrollBarPolicy((c.style & WS_HSCROLL) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        if (!(c.style & WS_BORDER) && !(c.exStyle & WS_EX_CLIENTEDGE))
            l->setFrameShape(QFrame::NoFrame);
        return l;
    }
    if (isClass(c, "ComboBox")) {
        auto* cb = new QComboBox(parent);
        cb->setEditable((c.style & CBS_TYPEMASK) != CBS_DROPDOWNLIST);
        cb->setInsertPolicy(QComboBox::NoInsert);
        cb->setProperty("ui_sorted", bool(c.style & CBS_SORT));
        return cb;
    }
    if (isClass(c, "msctls_trackbar32")) {
        auto* s = new QSlider((c.style & TBS_VERT) ? Qt::Vertical : Qt::Horizontal, parent);
        s->setRange(0, 100); // the trackbar's own default range
        if (c.style & TBS_AUTOTICKS)
            s->setTickPosition((c.style & TBS_BOTH)  ? QSlider::TicksBothSides
                               : (c.style & TBS_TOP) ? QSlider::TicksAbove
                                                     : QSlider::TicksBelow);
        else
            s->setTickPosition(QSlider::NoTicks);
        s->setTickInterval(1);
        s->setPageStep(20); // a fifth of the range, as the trackbar pages
        return s;
    }
    if (isClass(c, "msctls_progress32")) {
        auto* p = new QProgressBar(parent);
        p->setRange(0, 100);
        p->setTextVisible(false);
        p->setOrientation((c.style & PBS_VERTICAL) ? Qt::Vertical : Qt::Horizontal);
        return p;
    }
    if (isClass(c, "ScrollBar"))
        return new QScrollBar((c.style & SBS_VERT) ? Qt::Vertical : Qt::Horizontal, parent);
    // A class of the program's own: a plain pane until substitute() supplies one.
    auto* pane = new QFrame(parent);
    pane->setFrameStyle((c.style & WS_BORDER) ? QFrame::Box | QFrame::Plain : QFrame::NoFrame);
    return pane;
}

void Dialog::connectControl(Control& c)
{
    const int id = c.id;
    QWidget* w = c.widget;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        connect(b, &QAbstractButton::clicked, this, [this, id] { command(id); });
        return;
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        connect(e, &QLineEdit::textChanged, this, [this, id] { notify(id, Notify::EditChanged); });
        return;
    }
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        connect(e, &QPlainTextEdit::textChanged, this, [this, id] { notify(id, Notify::EditChanged); });
        return;
    }
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        connect(l, &QListWidget::itemSelectionChanged, this, [this, id] { notify(id, Notify::SelectionChanged); });
        connect(l, &QListWidget::itemDoubleClicked, this, [this, id] { notify(id, Notify::DoubleClicked); });
        return;
    }
    if (auto* cb = qobject_cast<QComboBox*>(w)) {
        connect(cb, &QComboBox::currentIndexChanged, this, [this, id] { notify(id, Notify::SelectionChanged); });
        if (cb->isEditable())
            connect(cb, &QComboBox::editTextChanged, this, [this, id] { notify(id, Notify::EditChanged); });
        return;
    }
    if (auto* s = qobject_cast<QSlider*>(w)) {
        connect(s, &QSlider::valueChanged, this, [this, id] { notify(id, Notify::SliderMoved); });
        return;
    }
}

void Dialog::setAccessibleNames()
{
    QString label;
    QLabel* labelWidget = nullptr;
    QString before; // what the control right before says it is: a label's text, an input's label
    for (Control& c : m_controls) {
        if (isTextStatic(c.tmpl)) {
            label = stripMnemonic(c.tmpl.text);
            labelWidget = qobject_cast<QLabel*>(c.widget);
            if (c.id != kStaticId && labelWidget) {
                // A text the program can replace (a reading, a slider's value):
                // with no name of its own, a label is named by the text it shows
                // now; it is described by the label before it.
                c.widget->setAccessibleName(QString());
                c.widget->setAccessibleDescription(before);
            } else {
                c.widget->setAccessibleName(label);
            }
            before = label;
            continue;
        }
        const bool named = isClass(c.tmpl, "Edit") || isClass(c.tmpl, "ComboBox") || isClass(c.tmpl, "ListBox") ||
                           isClass(c.tmpl, "msctls_trackbar32") || qobject_cast<QAbstractItemView*>(c.widget);
        if (named) {
            c.widget->setAccessibleName(label);
            if (labelWidget && !labelWidget->buddy())
                labelWidget->setBuddy(c.widget);
        } else {
            c.widget->setAccessibleName(stripMnemonic(c.tmpl.text));
        }
        before = named ? label : QString();
        labelWidget = nullptr;
        if (!qobject_cast<QGroupBox*>(c.widget))
            label.clear();
    }
    nameInputsAfterChoices();
}

// An input with no text label of its own is often labelled by the radio
// button or check box that switches it on ("Constant (pps):" before its
// speed). Templates list such choices before their inputs, so the label is
// found by place: the nearest control to the left on the input's row, when
// that is a choice.
void Dialog::nameInputsAfterChoices()
{
    for (Control& input : m_controls) {
        const bool takesLabel = isClass(input.tmpl, "Edit") || isClass(input.tmpl, "ComboBox") ||
                                isClass(input.tmpl, "msctls_trackbar32");
        if (!takesLabel || !input.widget->accessibleName().isEmpty())
            continue;
        const QRect in = input.tmpl.rect;
        const Control* nearest = nullptr;
        for (const Control& c : m_controls) {
            const QRect r = c.tmpl.rect;
            const int middle = r.top() + r.height() / 2;
            if (&c == &input || qobject_cast<QGroupBox*>(c.widget) || middle < in.top() || middle > in.bottom() ||
                r.left() >= in.left())
                continue;
            if (!nearest || r.right() > nearest->tmpl.rect.right())
                nearest = &c;
        }
        if (nearest && (qobject_cast<QRadioButton*>(nearest->widget) || qobject_cast<QCheckBox*>(nearest->widget)))
            input.widget->setAccessibleName(stripMnemonic(nearest->tmpl.text));
    }
}

// ---------------------------------------------------------------------------
// Maps and dispatch

void Dialog::onCommand(int id, std::function<void()> handler)
{
    m_commands[id] = std::move(handler);
}

void Dialog::onNotify(int id, Notify code, std::function<void()> handler)
{
    m_notifications[{id, int(code)}] = std::move(handler);
}

void Dialog::onMessage(int msg, std::function<void(Message&)> handler)
{
    m_messages[msg] = std::move(handler);
}

void Dialog::command(int id)
{
    // IDOK (Enter) ends a dialog as the close box does, so it obeys the
    // same rule: not while a screen has closing disabled.
    if (id == IDOK && !m_closeEnabled)
        return;
    guarded([&] {
        auto it = m_commands.find(id);
        if (it != m_commands.end() && it->second) {
            auto handler = it->second; // the handler may replace itself
            handler();
        } else if (id == IDOK) {
            onOK();
        } else if (id == IDCANCEL) {
            onCancel();
        }
    });
    guarded([&] { emit dispatched(); });
}

void Dialog::notify(int id, Notify code)
{
    if (m_quiet > 0 && code != Notify::EditChanged)
        return;
    auto it = m_notifications.find({id, int(code)});
    if (it != m_notifications.end() && it->second) {
        auto handler = it->second;
        guarded(handler);
        guarded([&] { emit dispatched(); });
    }
}

bool Dialog::dispatch(Message& m)
{
    const bool ok = guarded([&] {
        auto it = m_messages.find(m.msg);
        if (it != m_messages.end() && it->second) {
            auto handler = it->second;
            handler(m);
        }
    });
    guarded([&] { emit dispatched(); });
    return ok;
}

bool Dialog::event(QEvent* e)
{
    if (e->type() != detail::PortState::kWakeEvent())
        return QDialog::event(e);
    // A bounded share per wake-up, so that timers and painting get their
    // turn while a worker floods the dialog.
    constexpr size_t kPerWake = 2000;
    std::deque<detail::PortState::Entry> batch;
    {
        std::lock_guard lock(m_port->mutex);
        if (m_port->queue.size() <= kPerWake) {
            batch.swap(m_port->queue);
            m_port->wakePending = false;
        } else {
            auto end = m_port->queue.begin() + kPerWake;
            std::move(m_port->queue.begin(), end, std::back_inserter(batch));
            m_port->queue.erase(m_port->queue.begin(), end);
            QCoreApplication::postEvent(this, new QEvent(detail::PortState::kWakeEvent()));
        }
    }
    for (auto& entry : batch) {
        bool open;
        {
            std::lock_guard lock(m_port->mutex);
            open = m_port->open;
        }
        if (!open)
            break; // a handler closed the dialog: the rest is dropped
        if (entry.call) {
            if (!entry.call->begin())
                continue; // its sender gave up
            // A handler that threw still releases its sender, with false.
            const bool ok = dispatch(entry.message);
            entry.call->finish(ok ? detail::CallState::Done : detail::CallState::Failed);
        } else {
            dispatch(entry.message);
        }
    }
    return true;
}

bool Dialog::post(int msg, intptr_t wParam, intptr_t lParam, Payload payload)
{
    return postTo(m_port, Message{msg, wParam, lParam, std::move(payload)});
}

bool Dialog::send(int msg, intptr_t wParam, intptr_t lParam, Payload payload)
{
    if (QThread::currentThread() != thread())
        return sendFromWorker(m_port, Message{msg, wParam, lParam, std::move(payload)});
    {
        std::lock_guard lock(m_port->mutex);
        if (!m_port->open)
            return false;
    }
    Message m{msg, wParam, lParam, std::move(payload)};
    return dispatch(m);
}

MessagePort Dialog::port() const
{
    return MessagePort(m_port);
}

void Dialog::closeMessages()
{
    m_port->close();
    if (!m_promptsRefused) {
        m_promptsRefused = true;
        cancelWorkerPrompts();
    }
}

void Dialog::broadcast(int msg, intptr_t wParam, intptr_t lParam)
{
    std::vector<std::shared_ptr<detail::PortState>> ports;
    {
        auto& r = detail::registry();
        std::lock_guard lock(r.mutex);
        ports.assign(r.ports.begin(), r.ports.end());
    }
    for (const auto& p : ports)
        postTo(p, Message{msg, wParam, lParam, {}});
}

// ---------------------------------------------------------------------------
// Closing

void Dialog::onOK()
{
    if (updateData(true))
        endDialog(IDOK);
}

void Dialog::onCancel()
{
    endDialog(IDCANCEL);
}

void Dialog::reject()
{
    // Escape and the close box
    if (!m_closeEnabled || m_isPanel)
        return;
    command(IDCANCEL);
}

void Dialog::accept()
{
    command(IDOK);
}

void Dialog::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (m_isPanel) {
            e->ignore(); // the owner decides
            return;
        }
        QWidget* focus = QApplication::focusWidget();
        if (auto* b = qobject_cast<QPushButton*>(focus); b && isAncestorOf(b) && b->isEnabled()) {
            b->click();
            return;
        }
        int id = IDOK;
        for (const Control& c : m_controls) {
            if (isClass(c.tmpl, "Button") && (c.tmpl.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
                id = c.id;
                break;
            }
        }
        const Control* def = find(id);
        if (def && !def->widget->isEnabled())
            return;
        command(id);
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        if (m_isPanel) {
            e->ignore();
            return;
        }
        reject();
        return;
    }
    QDialog::keyPressEvent(e);
}

void Dialog::setCloseEnabled(bool enabled)
{
    m_closeEnabled = enabled;
    if (m_isPanel)
        return;
    Qt::WindowFlags f = windowFlags();
    f.setFlag(Qt::WindowCloseButtonHint, enabled);
    f.setFlag(Qt::CustomizeWindowHint, true);
    f.setFlag(Qt::WindowTitleHint, true);
    // Changing the flags through QWidget would hide the window (and end a
    // modal loop); tell the window system directly instead.
    overrideWindowFlags(f);
    if (QWindow* w = windowHandle())
        w->setFlags(f);
}

// ---------------------------------------------------------------------------
// Panels

void Dialog::setCaptionVisible(bool visible)
{
    if (!m_caption || m_caption->isHidden() == !visible)
        return;
    const int dy = visible ? m_caption->height() : -m_caption->height();
    m_caption->setVisible(visible);
    for (Control& c : m_controls)
        c.widget->move(c.widget->pos() + QPoint(0, dy));
    resize(width(), height() + dy);
}

bool Dialog::captionVisible() const
{
    return m_caption && !m_caption->isHidden();
}

void Dialog::setPanelSize(QSize pixels)
{
    if (m_isPanel)
        resize(pixels);
    else
        setFixedSize(pixels);
}

QRect Dialog::mapDialogRect(const QRect& dlu) const
{
    return dialogUnitsToPixels(dlu, m_units);
}

// ---------------------------------------------------------------------------
// Controls

const Dialog::Control* Dialog::find(int id) const
{
    auto it = m_byId.find(id);
    return it == m_byId.end() ? nullptr : &m_controls[it->second];
}

QWidget* Dialog::control(int id) const
{
    const Control* c = find(id);
    return c ? c->widget : nullptr;
}

const ControlTemplate* Dialog::controlTemplate(int id) const
{
    const Control* c = find(id);
    return c ? &c->tmpl : nullptr;
}

std::vector<int> Dialog::controlIds() const
{
    std::vector<int> ids;
    for (const Control& c : m_controls)
        ids.push_back(c.id);
    return ids;
}

QString Dialog::text(int id) const
{
    QWidget* w = control(id);
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* e = qobject_cast<QPlainTextEdit*>(w))
        return e->toPlainText();
    if (auto* cb = qobject_cast<QComboBox*>(w))
        return cb->currentText();
    if (auto* lw = qobject_cast<QListWidget*>(w))
        return lw->currentItem() ? lw->currentItem()->text() : QString();
    return {};
}

void Dialog::setText(int id, const QString& text)
{
    QWidget* w = control(id);
    if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(text);
        // Its name is the text shown (see setAccessibleNames): tell clients.
        if (l->accessibleName().isEmpty()) {
            QAccessibleEvent changed(l, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        }
    } else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(text);
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(text);
    else if (auto* e = qobject_cast<QPlainTextEdit*>(w))
        e->setPlainText(text);
    else if (auto* cb = qobject_cast<QComboBox*>(w)) {
        ++m_quiet;
        if (cb->isEditable())
            cb->setEditText(text);
        else
            cb->setCurrentIndex(cb->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive));
        --m_quiet;
    }
}

int Dialog::intValue(int id) const { return leadingInt(text(id)); }
unsigned Dialog::uintValue(int id) const { return leadingUInt(text(id)); }
double Dialog::doubleValue(int id) const { return leadingDouble(text(id)); }
std::optional<int> Dialog::strictInt(int id) const { return ui::strictInt(text(id)); }
std::optional<unsigned> Dialog::strictUInt(int id) const { return ui::strictUInt(text(id)); }
std::optional<double> Dialog::strictDouble(int id) const { return ui::strictDouble(text(id)); }
void Dialog::setInt(int id, long long value) { setText(id, formatInt(value)); }
void Dialog::setUInt(int id, unsigned long long value) { setText(id, formatUInt(value)); }
void Dialog::setDouble(int id, double value) { setText(id, formatDouble(value)); }

bool Dialog::isChecked(int id) const
{
    auto* b = qobject_cast<QAbstractButton*>(control(id));
    return b && b->isChecked();
}

void Dialog::setChecked(int id, bool checked)
{
    auto* b = qobject_cast<QAbstractButton*>(control(id));
    if (!b)
        return;
    QButtonGroup* g = buttonGroupOf(id);
    if (g && !checked && b->isChecked()) {
        // an exclusive group refuses to uncheck its checked button
        g->setExclusive(false);
        b->setChecked(false);
        g->setExclusive(true);
        return;
    }
    b->setChecked(checked);
}

QButtonGroup* Dialog::buttonGroupOf(int id) const
{
    auto* b = qobject_cast<QAbstractButton*>(control(id));
    return b ? b->group() : nullptr;
}

std::vector<int> Dialog::radioGroup(int anyId) const
{
    std::vector<int> ids;
    QButtonGroup* g = buttonGroupOf(anyId);
    if (!g)
        return ids;
    for (const Control& c : m_controls)
        if (auto* b = qobject_cast<QAbstractButton*>(c.widget); b && b->group() == g)
            ids.push_back(c.id);
    return ids;
}

int Dialog::radioIndex(int anyId) const
{
    const auto ids = radioGroup(anyId);
    for (size_t i = 0; i < ids.size(); ++i)
        if (isChecked(ids[i]))
            return int(i);
    return -1;
}

void Dialog::setRadioIndex(int anyId, int index)
{
    const auto ids = radioGroup(anyId);
    if (index >= 0 && size_t(index) < ids.size()) {
        setChecked(ids[size_t(index)], true);
    } else {
        for (int id : ids)
            setChecked(id, false);
    }
}

void Dialog::enable(int id, bool enabled)
{
    if (QWidget* w = control(id))
        w->setEnabled(enabled);
}

bool Dialog::isEnabled(int id) const
{
    QWidget* w = control(id);
    return w && w->isEnabled();
}

void Dialog::show(int id, bool visible)
{
    if (QWidget* w = control(id))
        w->setVisible(visible);
}

bool Dialog::isShown(int id) const
{
    QWidget* w = control(id);
    return w && !w->isHidden();
}

void Dialog::moveControl(int id, const QRect& pixels)
{
    if (QWidget* w = control(id))
        w->setGeometry(pixels.translated(0, clientTop()));
}

void Dialog::moveControlBy(int id, int dx, int dy)
{
    if (QWidget* w = control(id))
        w->move(w->pos() + QPoint(dx, dy));
}

QRect Dialog::controlRect(int id) const
{
    QWidget* w = control(id);
    return w ? w->geometry().translated(0, -clientTop()) : QRect();
}

void Dialog::setFocus(int id)
{
    if (QWidget* w = control(id))
        w->setFocus();
}

ResultList* Dialog::resultList(int id) const
{
    return qobject_cast<ResultList*>(control(id));
}

int Dialog::listAdd(int id, const QString& text)
{
    if (auto* r = resultList(id)) {
        r->appendLine(text);
        return int(std::min<qsizetype>(r->count() - 1, std::numeric_limits<int>::max()));
    }
    auto* l = controlAs<QListWidget>(id);
    if (!l)
        return -1;
    auto* item = new QListWidgetItem(text);
    ++m_quiet;
    l->addItem(item); // a sorting list puts it in order
    --m_quiet;
    return l->row(item);
}

void Dialog::listClear(int id)
{
    ++m_quiet;
    if (auto* r = resultList(id))
        r->clear();
    else if (auto* l = controlAs<QListWidget>(id))
        l->clear();
    --m_quiet;
}

int Dialog::listCount(int id) const
{
    if (auto* r = resultList(id))
        return int(std::min<qsizetype>(r->count(), std::numeric_limits<int>::max()));
    auto* l = controlAs<QListWidget>(id);
    return l ? l->count() : 0;
}

void Dialog::listSelect(int id, int index, bool select)
{
    if (auto* r = resultList(id))
        r->flush();
    auto* view = controlAs<QAbstractItemView>(id);
    if (!view || !view->model())
        return;
    ++m_quiet;
    if (index < 0) {
        view->selectionModel()->clearSelection();
    } else if (index < view->model()->rowCount()) {
        const QModelIndex mi = view->model()->index(index, 0);
        if (view->selectionMode() == QAbstractItemView::SingleSelection)
            view->selectionModel()->setCurrentIndex(mi, select ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Deselect);
        else
            view->selectionModel()->setCurrentIndex(mi, select ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
        if (select)
            view->scrollTo(mi);
    }
    --m_quiet;
}

int Dialog::listCurrent(int id) const
{
    if (auto* r = resultList(id))
        r->flush();
    auto* view = controlAs<QAbstractItemView>(id);
    return view && view->currentIndex().isValid() ? view->currentIndex().row() : -1;
}

std::vector<int> Dialog::listSelected(int id) const
{
    if (auto* r = resultList(id))
        r->flush();
    std::vector<int> rows;
    auto* view = controlAs<QAbstractItemView>(id);
    if (!view || !view->selectionModel())
        return rows;
    for (const QModelIndex& i : view->selectionModel()->selectedRows())
        rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

QStringList Dialog::listItems(int id) const
{
    if (auto* r = resultList(id))
        return r->lines();
    QStringList out;
    if (auto* l = controlAs<QListWidget>(id))
        for (int i = 0; i < l->count(); ++i)
            out << l->item(i)->text();
    return out;
}

int Dialog::comboAdd(int id, const QString& text)
{
    auto* cb = controlAs<QComboBox>(id);
    if (!cb)
        return -1;
    int at = cb->count();
    if (cb->property("ui_sorted").toBool()) {
        at = 0;
        while (at < cb->count() && QString::compare(cb->itemText(at), text, Qt::CaseInsensitive) <= 0)
            ++at;
    }
    ++m_quiet;
    cb->insertItem(at, text);
    if (!cb->isEditable() && cb->count() == 1)
        cb->setCurrentIndex(-1); // a drop-down list starts with nothing selected
    --m_quiet;
    return at;
}

void Dialog::comboClear(int id)
{
    if (auto* cb = controlAs<QComboBox>(id)) {
        ++m_quiet;
        cb->clear();
        --m_quiet;
    }
}

QStringList Dialog::comboItems(int id) const
{
    QStringList out;
    if (auto* cb = controlAs<QComboBox>(id))
        for (int i = 0; i < cb->count(); ++i)
            out << cb->itemText(i);
    return out;
}

int Dialog::comboIndex(int id) const
{
    auto* cb = controlAs<QComboBox>(id);
    return cb ? cb->currentIndex() : -1;
}

void Dialog::setComboIndex(int id, int index)
{
    if (auto* cb = controlAs<QComboBox>(id)) {
        ++m_quiet;
        cb->setCurrentIndex(index >= 0 && index < cb->count() ? index : -1);
        --m_quiet;
    }
}

bool Dialog::selectComboText(int id, const QString& text)
{
    auto* cb = controlAs<QComboBox>(id);
    if (!cb)
        return false;
    const int i = cb->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i < 0)
        return false;
    setComboIndex(id, i);
    return true;
}

void Dialog::setSliderRange(int id, int min, int max)
{
    if (auto* s = controlAs<QAbstractSlider>(id)) {
        ++m_quiet;
        s->setRange(min, max);
        s->setPageStep(std::max(1, (max - min) / 5));
        --m_quiet;
    }
}

int Dialog::sliderPos(int id) const
{
    auto* s = controlAs<QAbstractSlider>(id);
    return s ? s->value() : 0;
}

void Dialog::setSliderPos(int id, int pos)
{
    if (auto* s = controlAs<QAbstractSlider>(id)) {
        ++m_quiet;
        s->setValue(pos);
        --m_quiet;
    }
}

// ---------------------------------------------------------------------------
// Data exchange

void Dialog::bind(int id, int& value) { m_bindings.push_back({id, Binding::Int, &value}); }
void Dialog::bind(int id, unsigned& value) { m_bindings.push_back({id, Binding::UInt, &value}); }
void Dialog::bind(int id, float& value) { m_bindings.push_back({id, Binding::Float, &value}); }
void Dialog::bind(int id, double& value) { m_bindings.push_back({id, Binding::Double, &value}); }
void Dialog::bind(int id, QString& text) { m_bindings.push_back({id, Binding::Text, &text}); }
void Dialog::bindCheck(int id, int& state) { m_bindings.push_back({id, Binding::CheckInt, &state}); }
void Dialog::bindCheck(int id, bool& checked) { m_bindings.push_back({id, Binding::CheckBool, &checked}); }
void Dialog::bindRadio(int anyIdOfGroup, int& index) { m_bindings.push_back({anyIdOfGroup, Binding::Radio, &index}); }
void Dialog::bindSlider(int id, int& pos) { m_bindings.push_back({id, Binding::Slider, &pos}); }
void Dialog::bindComboText(int id, QString& text) { m_bindings.push_back({id, Binding::ComboText, &text}); }
void Dialog::bindComboIndex(int id, int& index) { m_bindings.push_back({id, Binding::ComboIndex, &index}); }

void Dialog::bindBrowse(int buttonId, int editId, const QString& filter)
{
    onCommand(buttonId, [this, editId, filter] {
        FileDialogRequest ask;
        ask.filter = filter;
        ask.hideReadOnly = true;
        ask.overwritePrompt = true;
        ask.fileName = text(editId);
        if (const std::optional<QString> path = fileDialog(ask); path && !path->isEmpty())
            setText(editId, *path);
    });
}

int Dialog::radioChoice(int anyId) const
{
    return std::max(0, radioIndex(anyId));
}

bool Dialog::isEmptyField(int id) const
{
    return text(id).trimmed().isEmpty();
}

bool Dialog::updateData(bool save)
{
    if (!m_created)
        return false;
    for (const Binding& b : m_bindings) {
        switch (b.kind) {
        case Binding::Int:
            if (save) *static_cast<int*>(b.member) = intValue(b.id);
            else setInt(b.id, *static_cast<int*>(b.member));
            break;
        case Binding::UInt:
            if (save) *static_cast<unsigned*>(b.member) = uintValue(b.id);
            else setUInt(b.id, *static_cast<unsigned*>(b.member));
            break;
        case Binding::Float:
            if (save) *static_cast<float*>(b.member) = float(doubleValue(b.id));
            else setText(b.id, formatFloat(*static_cast<float*>(b.member)));
            break;
        case Binding::Double:
            if (save) *static_cast<double*>(b.member) = doubleValue(b.id);
            else setDouble(b.id, *static_cast<double*>(b.member));
            break;
        case Binding::Text:
        case Binding::ComboText:
            if (save) *static_cast<QString*>(b.member) = text(b.id);
            else setText(b.id, *static_cast<QString*>(b.member));
            break;
        case Binding::CheckInt:
            if (save) *static_cast<int*>(b.member) = isChecked(b.id) ? 1 : 0;
            else setChecked(b.id, *static_cast<int*>(b.member) != 0);
            break;
        case Binding::CheckBool:
            if (save) *static_cast<bool*>(b.member) = isChecked(b.id);
            else setChecked(b.id, *static_cast<bool*>(b.member));
            break;
        case Binding::Radio:
            if (save) *static_cast<int*>(b.member) = radioIndex(b.id);
            else setRadioIndex(b.id, *static_cast<int*>(b.member));
            break;
        case Binding::Slider:
            if (save) *static_cast<int*>(b.member) = sliderPos(b.id);
            else setSliderPos(b.id, *static_cast<int*>(b.member));
            break;
        case Binding::ComboIndex:
            if (save) *static_cast<int*>(b.member) = comboIndex(b.id);
            else setComboIndex(b.id, *static_cast<int*>(b.member));
            break;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------
// Custom controls

void Dialog::substitute(int id, ControlFactory factory)
{
    m_factories[id] = std::move(factory);
}

void Dialog::useResultList(int id)
{
    substitute(id, [](QWidget* parent, const ControlTemplate& c) -> QWidget* {
        auto* r = new ResultList(parent);
        r->setSelectionMode((c.style & LBS_NOSEL)          ? QAbstractItemView::NoSelection
                            : (c.style & LBS_EXTENDEDSEL)  ? QAbstractItemView::ExtendedSelection
                            : (c.style & LBS_MULTIPLESEL) ? QAbstractItemView::MultiSelection
                                                           : QAbstractItemView::SingleSelection);
        r->setVerticalScrollBarPolicy((c.style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
        return r;
    });
}

} // namespace ui
