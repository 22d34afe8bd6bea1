#include "CKeyboardLayoutDlg.h"

#include "pellam/driver/UserDriver.h"
#include "pellam/res/PellamResources.h"

namespace pellam {

namespace {
constexpr std::array<int, 5> kRadios = {IDC_KB_AMERICAS_QWERTY, IDC_KB_EUROPE_AZERTY, IDC_KB_EUROPE_QWERTZ,
                                        IDC_KB_EUROPE_QWERTY, IDC_KB_EUROPE_CYRILLIC};
} // namespace

int32_t CKeyboardLayoutDlg::shownLayout(int32_t answer)
{
    return answer >= 2 && answer <= 5 ? answer : 1;
}

int CKeyboardLayoutDlg::radioOf(int32_t layout) { return kRadios[size_t(shownLayout(layout) - 1)]; }

CKeyboardLayoutDlg::CKeyboardLayoutDlg(QWidget* parent) : ui::Dialog(IDD_KEYBOARD_LAYOUT, parent)
{
    for (int32_t layout = 1; layout <= 5; ++layout)
        onCommand(kRadios[size_t(layout - 1)], [this, layout] { onRadio(layout); });
    onCommand(IDC_CLOSE, [this] { onCancel(); });
}

bool CKeyboardLayoutDlg::onInitDialog()
{
    m_keyboard = driver::openKeyboard();
    int32_t answer = 0; // a failed read is 0
    driver::readKeyboardLayout(m_keyboard, answer);
    m_layout = shownLayout(answer);
    setChecked(radioOf(m_layout), true);
    return true;
}

void CKeyboardLayoutDlg::onRadio(int32_t layout)
{
    m_layout = layout;
    driver::setKeyboardLayout(m_keyboard, layout);
    setText(IDC_KB_TEST, QString());
    setFocus(IDC_KB_TEST);
}

} // namespace pellam
