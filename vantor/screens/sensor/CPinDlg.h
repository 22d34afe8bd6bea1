#pragma once
// The pin panel (template 159) of the GPIO dialog: for bits 7 (left) to 0
// (right) a pin number, a type ("I", "O" or "U" unknown) and a one-bit box
// (CBoolEdit), and at the right the group's value as "0x%02X". A pin box is
// editable only when its type is the mode's ("O" in output, "I" in input)
// and that mode is editable; in mode none every box is disabled.
#include <QPoint>
#include <array>
#include <cstdint>

#include "ui/Dialog.h"

class CPinDlg : public ui::Dialog {
    Q_OBJECT
public:
    enum Mode { kOutput = 0, kInput = 1, kNone = 2 };
    static constexpr int kPins = 8;

    explicit CPinDlg(ui::Dialog* owner);
    bool Create(QPoint pos);

    // Pin texts empty, types "U", pin values 0, value 0x00, mode none.
    void clear();
    void setPin(int k, const QString& number, char type);
    void setMode(Mode mode) { m_mode = mode; }
    Mode mode() const { return m_mode; }
    void setEditable(Mode mode, bool editable);
    // A byte, or -1 for unknown ("?" in each box, "0x??").
    void showValue(int32_t value);
    // The composed byte; -1 when unknown.
    int32_t byteValue() const { return m_values[kPins]; }
    int32_t pinValue(int k) const { return m_values[size_t(k)]; }
    bool hasType(char type) const;
    // Values, texts and box enabling into the controls.
    void refresh();

    static int numberId(int k);
    static int typeId(int k);
    static int valueId(int k);

private:
    void onPinTyped(int k);
    bool pinEditable(int k) const;

    ui::Dialog* m_owner;
    std::array<QString, kPins> m_numbers;
    std::array<char, kPins> m_types{};
    std::array<int32_t, kPins + 1> m_values{}; // pins 0..7, then the byte
    Mode m_mode = kNone;
    bool m_editable[2] = {false, false};
    int m_showing = 0; // >0 while the panel itself writes the boxes
};
