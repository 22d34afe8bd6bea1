#pragma once
// "Keyboard Layout" (template 131): the keyboard driver's layout shown and
// chosen with five radios; each choice is sent at once and the test box is
// emptied and focused so that the user types to see the new layout.
#include <array>
#include <cstdint>

#include "platform/Device.h"
#include "ui/Dialog.h"

namespace pellam {

class CKeyboardLayoutDlg : public ui::Dialog {
public:
    explicit CKeyboardLayoutDlg(QWidget* parent = nullptr);

    // The radio of layout 1 to 5.
    static int radioOf(int32_t layout);
    // Layout numbers 2 to 5 keep their radio; any other answer (a failed
    // read included) is "Americas QWERTY".
    static int32_t shownLayout(int32_t answer);

    int32_t layout() const { return m_layout; }

protected:
    bool onInitDialog() override;
    void onOK() override {} // Enter types into the test box, never closes

private:
    void onRadio(int32_t layout);

    platform::DeviceHandle m_keyboard;
    int32_t m_layout = 1;
};

} // namespace pellam
