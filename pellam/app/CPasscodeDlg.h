#pragma once
// The passcode keypad (template 134). Every change of the entry is checked:
// six characters that are the passcode unlock and close the dialog; any
// other six show "Code Error." and clear the entry.
#include <QString>

#include "ui/Dialog.h"

namespace pellam {

inline constexpr const char16_t* kPasscode = u"581920";

class CPasscodeDlg : public ui::Dialog {
public:
    explicit CPasscodeDlg(QWidget* parent = nullptr);

    // 1 after the right passcode, else 0; the menu reads it after the dialog closed.
    int unlocked() const { return m_unlocked; }
    const QString& entered() const { return m_entered; }

protected:
    bool onInitDialog() override;
    void onOK() override {} // Enter does nothing: the sixth digit decides

private:
    void OnDigit(QChar digit);
    void OnClear();
    void OnCancel();
    void OnEditChanged();
    void CheckPasscode();
    void showEntry(const QString& text);

    QString m_entered;
    int m_unlocked = 0;
    bool m_settingText = false; // the program itself fills the edit box
};

} // namespace pellam
