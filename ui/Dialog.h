#pragma once
// ui::Dialog: one class per screen over a template of the resource script.
//
//     class CPasscodeDlg : public ui::Dialog {
//     public:
//         explicit CPasscodeDlg(QWidget* parent = nullptr) : ui::Dialog(IDD_PASSCODE, parent)
//         {
//             onCommand(IDC_CLEAR, &CPasscodeDlg::OnClear);            // button click
//             onNotify(IDC_CODE, ui::Notify::EditChanged, [this] { Check(); });
//             onMessage(WM_USER + 101, [this](ui::Message& m) { ... m.payload.get<QString>() ... });
//             bind(IDC_CODE, m_text);                                   // data exchange
//         }
//     protected:
//         bool onInitDialog() override { setFocus(IDC_CODE); return false; }
//         void onOK() override {}                                       // Enter does nothing
//     private:
//         void OnClear() { m_text.clear(); updateData(false); }
//         QString m_text;
//     };
//     CPasscodeDlg dlg;  int code = dlg.doModal();
//
// Controls are addressed by their template id. Handlers run on the
// user-interface thread; workers reach a dialog only through post() and
// send() (or a MessagePort they keep), never through its widgets.
#include "DialogUnits.h"
#include "Messages.h"
#include "ResourceScript.h"
#include "UiThread.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QButtonGroup;
class QLabel;

namespace ui {

class ResultList;
class Dialog;

namespace detail {
struct PortState;
}

// Control notifications besides clicks.
enum class Notify {
    EditChanged,      // an edit's text changed (by the user or the program, as EN_CHANGE)
    SelectionChanged, // a list or combo selection changed by the user
    SliderMoved,      // a slider moved by the user (the horizontal scroll notification)
    DoubleClicked,    // a list item double-clicked
};

// A handle to a dialog's message queue that a worker may keep. Posting or
// sending through it after the dialog is gone (or stopped taking messages)
// does nothing and returns false; the payload is freed.
class MessagePort {
public:
    MessagePort() = default;
    bool post(int msg, intptr_t wParam = 0, intptr_t lParam = 0, Payload payload = {}) const;
    bool send(int msg, intptr_t wParam = 0, intptr_t lParam = 0, Payload payload = {}) const;
    bool open() const;

private:
    friend class Dialog;
    explicit MessagePort(std::shared_ptr<detail::PortState> s) : m_state(std::move(s)) {}
    std::shared_ptr<detail::PortState> m_state;
};

// Makes the widget for a control in place of the default one. The widget
// must be a child of `parent`; the dialog positions it.
using ControlFactory = std::function<QWidget*(QWidget* parent, const ControlTemplate& control)>;

class Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Dialog(int templateId, QWidget* parent = nullptr);
    ~Dialog() override;

    int templateId() const { return m_templateId; }

    // Builds the controls (first time only), runs onInitDialog() and the
    // modal loop; returns the code given to endDialog().
    int doModal();
    // Builds and initialises without showing or a modal loop (test helper,
    // tools). False when the template is missing or the initialisation threw
    // (reported; the dialog has then ended with IDCANCEL).
    bool create();
    // Creates this dialog as a child panel of `owner` at a pixel position
    // (relative to the owner's client area) and shows it.
    bool createChild(QWidget* owner, QPoint pos);
    bool isCreated() const { return m_created; }

    // Ends the modal loop (or hides a modeless dialog) with `code`.
    void endDialog(int code);
    bool hasEnded() const { return m_ended; }
    int endCode() const { return m_endCode; }

    // --- maps ---------------------------------------------------------
    void onCommand(int id, std::function<void()> handler);
    template <class D>
    void onCommand(int id, void (D::*fn)())
    {
        onCommand(id, [this, fn] { (static_cast<D*>(this)->*fn)(); });
    }
    void onNotify(int id, Notify code, std::function<void()> handler);
    template <class D>
    void onNotify(int id, Notify code, void (D::*fn)())
    {
        onNotify(id, code, [this, fn] { (static_cast<D*>(this)->*fn)(); });
    }
    void onMessage(int msg, std::function<void(Message&)> handler);
    template <class D>
    void onMessage(int msg, void (D::*fn)(Message&))
    {
        onMessage(msg, [this, fn](Message& m) { (static_cast<D*>(this)->*fn)(m); });
    }

    // Runs the command handler of `id` (or onOK/onCancel for IDOK/IDCANCEL),
    // as a click would.
    void command(int id);

    // --- messages -------------------------------------------------------
    // Queues a message; safe from any thread. False when the dialog takes no
    // messages any more (the payload is then freed at once).
    bool post(int msg, intptr_t wParam = 0, intptr_t lParam = 0, Payload payload = {});
    // Runs the message's handler on the user-interface thread: at once when
    // called there; from a worker it blocks the worker until the handler has
    // run. When the dialog stops taking messages first (closeMessages(),
    // endDialog() or destruction), the waiting worker is released and send()
    // returns false without the handler having run: a dialog that waits for
    // its worker while closing never deadlocks on a send, provided it ended
    // or called closeMessages() before waiting. A handler that throws is
    // reported (see HandlerGuard.h) and its send() returns false.
    bool send(int msg, intptr_t wParam = 0, intptr_t lParam = 0, Payload payload = {});
    MessagePort port() const;
    // Stops taking messages: pending and later posts are dropped, waiting
    // sends and prompts raised by workers are released (a prompt answers
    // IDCANCEL). Call it in a close path before waiting for a worker.
    void closeMessages();
    // Posts a message to every open dialog (platform notifications such as
    // WM_DEVICECHANGE). Safe from any thread.
    static void broadcast(int msg, intptr_t wParam = 0, intptr_t lParam = 0);

    // --- controls by id -------------------------------------------------
    using QDialog::isEnabled;
    using QDialog::setFocus;
    using QDialog::show;
    QWidget* control(int id) const;
    template <class W>
    W* controlAs(int id) const
    {
        return qobject_cast<W*>(control(id));
    }
    const ControlTemplate* controlTemplate(int id) const;
    std::vector<int> controlIds() const; // in template order

    QString text(int id) const;
    void setText(int id, const QString& text);
    // Empty or no number reads as 0.
    int intValue(int id) const;
    unsigned uintValue(int id) const;
    double doubleValue(int id) const;
    // nullopt: "not a number".
    std::optional<int> strictInt(int id) const;
    std::optional<unsigned> strictUInt(int id) const;
    std::optional<double> strictDouble(int id) const;
    void setInt(int id, long long value);
    void setUInt(int id, unsigned long long value);
    void setDouble(int id, double value);

    bool isChecked(int id) const;
    void setChecked(int id, bool checked);
    // Radio groups start at a control with WS_GROUP; `anyId` is any radio of
    // the group. The index counts the group's radios in template order; -1
    // when none is checked.
    int radioIndex(int anyId) const;
    void setRadioIndex(int anyId, int index);
    // Ids of the radios in the group of `anyId`.
    std::vector<int> radioGroup(int anyId) const;

    void enable(int id, bool enabled = true);
    bool isEnabled(int id) const;
    void show(int id, bool visible = true);
    bool isShown(int id) const; // not hidden (whether or not the dialog is visible)
    void moveControl(int id, const QRect& pixels);
    void moveControlBy(int id, int dx, int dy);
    QRect controlRect(int id) const; // pixels, relative to the client area
    void setFocus(int id);

    // List boxes (and the result list).
    int listAdd(int id, const QString& text); // index of the new item (sorted lists insert in order)
    void listClear(int id);
    int listCount(int id) const;
    void listSelect(int id, int index, bool select = true); // -1 clears the selection
    int listCurrent(int id) const;
    std::vector<int> listSelected(int id) const;
    QStringList listItems(int id) const;

    // Combo boxes.
    int comboAdd(int id, const QString& text);
    void comboClear(int id);
    QStringList comboItems(int id) const;
    int comboIndex(int id) const; // -1 when nothing is selected
    void setComboIndex(int id, int index);
    bool selectComboText(int id, const QString& text); // the item with exactly this text

    // Sliders.
    void setSliderRange(int id, int min, int max);
    int sliderPos(int id) const;
    void setSliderPos(int id, int pos);

    // --- data exchange ----------------------------------------------------
    // Declared once (in the constructor); updateData(true) reads the
    // controls into the members, updateData(false) shows the members.
    void bind(int id, int& value);
    void bind(int id, unsigned& value);
    void bind(int id, float& value);
    void bind(int id, double& value);
    void bind(int id, QString& text);
    void bindCheck(int id, int& state); // 0 or 1
    void bindCheck(int id, bool& checked);
    void bindRadio(int anyIdOfGroup, int& index);
    void bindSlider(int id, int& pos);
    void bindComboText(int id, QString& text);
    void bindComboIndex(int id, int& index);
    bool updateData(bool save = true);
    // A "Browse" button beside a file edit: the open-file dialog (the
    // filter in the platform's "text|pattern||" form), and the chosen path
    // into the edit. Nothing is read at that time.
    void bindBrowse(int buttonId, int editId, const QString& filter = QStringLiteral("All Files (*.*)|*.*||"));
    // A radio group's index, 0 when none is checked.
    int radioChoice(int anyId) const;
    // The edit holds nothing but blanks.
    bool isEmptyField(int id) const;

    // --- custom controls --------------------------------------------------
    // Replaces the widget made for a control; call before the dialog is
    // created (the constructor is the place).
    void substitute(int id, ControlFactory factory);
    // The control `id` (a LISTBOX in the template) becomes a ResultList.
    void useResultList(int id);
    ResultList* resultList(int id) const;

    // --- panels and window ------------------------------------------------
    // A child panel's caption strip (shown when the template has a caption).
    void setCaptionVisible(bool visible);
    bool captionVisible() const;
    void setPanelSize(QSize pixels);
    // Greys the close box and refuses Escape, the close box and IDOK (Enter)
    // while false.
    void setCloseEnabled(bool enabled);
    bool closeEnabled() const { return m_closeEnabled; }

    QRect mapDialogRect(const QRect& dlu) const;
    BaseUnits units() const { return m_units; }
    const DialogTemplate* dialogTemplate() const { return m_template ? &*m_template : nullptr; }

signals:
    // After every dispatched command or message (tests wait on it).
    void dispatched();

protected:
    // After the controls exist; true lets the framework put the focus on
    // the first control that takes it.
    virtual bool onInitDialog() { return true; }
    // Enter (IDOK without a handler of its own): reads the bindings and ends
    // the dialog with IDOK. Test dialogs override it with an empty body.
    virtual void onOK();
    // Escape, the close box and IDCANCEL: ends the dialog with IDCANCEL.
    virtual void onCancel();

    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void reject() override;
    void accept() override;

private:
    struct Binding;
    struct Control {
        int id = -1;
        QWidget* widget = nullptr;
        ControlTemplate tmpl;
        int group = 0; // radio group number (increments at each WS_GROUP)
    };

    bool build();
    QWidget* makeControl(const ControlTemplate& c, QWidget* parent);
    void connectControl(Control& c);
    void setAccessibleNames();
    void nameInputsAfterChoices();
    bool dispatch(Message& m); // false when the handler threw
    void notify(int id, Notify code);
    const Control* find(int id) const;
    QButtonGroup* buttonGroupOf(int id) const;
    int clientTop() const;

    int m_templateId;
    std::optional<DialogTemplate> m_template;
    BaseUnits m_units;
    bool m_created = false;
    bool m_ended = false;
    int m_endCode = 0;
    bool m_closeEnabled = true;
    bool m_isPanel = false;
    bool m_promptsRefused = false;
    int m_quiet = 0; // >0 while the program itself changes selections and sliders
    QLabel* m_caption = nullptr;
    std::vector<Control> m_controls;
    std::map<int, size_t> m_byId;
    std::map<int, QButtonGroup*> m_radioGroups; // by group number
    std::map<int, std::function<void()>> m_commands;
    std::map<std::pair<int, int>, std::function<void()>> m_notifications;
    std::map<int, std::function<void(Message&)>> m_messages;
    std::map<int, ControlFactory> m_factories;
    std::vector<Binding> m_bindings;
    std::shared_ptr<detail::PortState> m_port;
};

} // namespace ui
