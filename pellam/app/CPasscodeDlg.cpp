#include "CPasscodeDlg.h"

#include "pellam/res/PellamResources.h"
#include "ui/Messages.h"
#include "ui/Prompts.h"
#include "ui/Resources.h"

namespace pellam {

CPasscodeDlg::CPasscodeDlg(QWidget* parent) : ui::Dialog(IDD_PASSCODE, parent)
{
    const int keys[10] = {IDC_KEY_0, IDC_KEY_1, IDC_KEY_2, IDC_KEY_3, IDC_KEY_4,
                          IDC_KEY_5, IDC_KEY_6, IDC_KEY_7, IDC_KEY_8, IDC_KEY_9};
    for (int digit = 0; digit < 10; ++digit)
        onCommand(keys[digit], [this, digit] { OnDigit(QChar(u'0' + digit)); });
    onCommand(IDC_KEY_CLEAR, &CPasscodeDlg::OnClear);
    onCommand(IDC_KEY_CANCEL, &CPasscodeDlg::OnCancel);
    onNotify(IDC_PASSCODE, ui::Notify::EditChanged, &CPasscodeDlg::OnEditChanged);
}

bool CPasscodeDlg::onInitDialog()
{
    m_entered.clear();
    m_unlocked = 0;
    showEntry(m_entered);
    setFocus(IDC_PASSCODE);
    return false;
}

void CPasscodeDlg::showEntry(const QString& text)
{
    // The keypad checks once itself; the change notice of its own write
    // must not check a second time.
    m_settingText = true;
    setText(IDC_PASSCODE, text);
    m_settingText = false;
}

void CPasscodeDlg::OnDigit(QChar digit)
{
    m_entered += digit;
    showEntry(m_entered);
    CheckPasscode();
}

void CPasscodeDlg::OnClear()
{
    m_entered.clear();
    showEntry(m_entered);
    CheckPasscode();
}

void CPasscodeDlg::OnCancel()
{
    m_unlocked = 0;
    endDialog(ui::IDCANCEL);
}

void CPasscodeDlg::OnEditChanged()
{
    if (!m_settingText)
        CheckPasscode();
}

void CPasscodeDlg::CheckPasscode()
{
    if (hasEnded())
        return;
    m_entered = text(IDC_PASSCODE);
    if (m_entered.size() != 6)
        return;
    if (m_entered == QString::fromUtf16(kPasscode)) {
        m_unlocked = 1;
        endDialog(ui::IDCANCEL);
        return;
    }
    ui::messageBox(ui::loadString(IDS_CODE_ERROR), {}, ui::MsgIcon::Error);
    m_entered.clear();
    showEntry(m_entered);
}

} // namespace pellam
