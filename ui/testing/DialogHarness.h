#pragma once
// Drives a dialog in a test without a modal loop: opens it (build, show,
// initialisation) and acts as the operator would, by control id. Actions a
// user could not take (clicking a disabled or hidden button, typing into a
// read-only box, letters into a digits-only box) are refused and return false.
#include "ui/Dialog.h"

#include <chrono>
#include <functional>

namespace ui::testing {

// Processes events until `done` holds. Bounded by a generous deadline that
// only trips on a real hang; returns the final value of `done`.
bool processUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));
// Processes the events that are pending now (posted messages, timers due).
void processEvents();

class DialogHarness {
public:
    // Opens the dialog; open() is false when its template is missing.
    explicit DialogHarness(Dialog& dialog);
    ~DialogHarness();
    bool open() const { return m_open; }
    Dialog& dialog() { return m_dialog; }

    bool click(int id);
    bool setText(int id, const QString& text); // typed by the user
    bool selectCombo(int id, int index);
    bool selectComboText(int id, const QString& text);
    bool selectListItem(int id, int index);
    bool setSliderPos(int id, int pos); // dragged by the user: notifies
    void pressEnter();
    void pressEscape();
    void closeBox(); // the window's close button

    QString text(int id) const { return m_dialog.text(id); }
    bool checked(int id) const { return m_dialog.isChecked(id); }
    bool enabled(int id) const { return m_dialog.isEnabled(id); }
    bool visible(int id) const { return m_dialog.isShown(id); }
    QStringList listItems(int id) const { return m_dialog.listItems(id); }
    QStringList comboItems(int id) const { return m_dialog.comboItems(id); }
    int comboIndex(int id) const { return m_dialog.comboIndex(id); }
    int sliderPos(int id) const { return m_dialog.sliderPos(id); }
    int radioIndex(int id) const { return m_dialog.radioIndex(id); }

    bool ended() const { return m_dialog.hasEnded(); }
    int endCode() const { return m_dialog.endCode(); }

private:
    bool canAct(int id) const;
    Dialog& m_dialog;
    bool m_open = false;
};

} // namespace ui::testing
