#include "vantor/screens/sensor/CPinDlg.h"

#include "vantor/res/resource.h"
#include "vantor/screens/sensor/CBoolEdit.h"

CPinDlg::CPinDlg(ui::Dialog* owner) : ui::Dialog(IDD_PIN, owner), m_owner(owner)
{
    m_types.fill('U');
    for (int k = 0; k < kPins; ++k) {
        substitute(valueId(k), [](QWidget* parent, const ui::ControlTemplate&) -> QWidget* {
            auto* box = new CBoolEdit(parent);
            box->setMaxLength(1);
            return box;
        });
        onNotify(valueId(k), ui::Notify::EditChanged, [this, k] { onPinTyped(k); });
    }
}

int CPinDlg::numberId(int k) { return IDC_PIN_NUMBER0 + k; }
int CPinDlg::typeId(int k) { return IDC_PIN_TYPE0 + k; }
int CPinDlg::valueId(int k) { return IDC_PIN_VALUE0 + k; }

bool CPinDlg::Create(QPoint pos)
{
    if (!createChild(m_owner, pos))
        return false;
    clear();
    refresh();
    return true;
}

void CPinDlg::clear()
{
    for (int k = 0; k < kPins; ++k) {
        m_numbers[size_t(k)].clear();
        m_types[size_t(k)] = 'U';
    }
    m_values.fill(0);
    m_mode = kNone;
}

void CPinDlg::setPin(int k, const QString& number, char type)
{
    if (k < 0 || k >= kPins)
        return;
    m_numbers[size_t(k)] = number;
    m_types[size_t(k)] = type;
}

void CPinDlg::setEditable(Mode mode, bool editable)
{
    if (mode == kOutput || mode == kInput)
        m_editable[mode] = editable;
}

void CPinDlg::showValue(int32_t value)
{
    if (value < 0) {
        m_values.fill(-1);
        return;
    }
    const int32_t byte = value & 0xFF;
    for (int k = 0; k < kPins; ++k)
        m_values[size_t(k)] = (byte >> k) & 1;
    m_values[kPins] = byte;
}

bool CPinDlg::hasType(char type) const
{
    for (char t : m_types)
        if (t == type)
            return true;
    return false;
}

bool CPinDlg::pinEditable(int k) const
{
    if (m_mode == kNone)
        return false;
    const char wanted = m_mode == kOutput ? 'O' : 'I';
    return m_types[size_t(k)] == wanted && m_editable[m_mode];
}

void CPinDlg::refresh()
{
    ++m_showing;
    for (int k = 0; k < kPins; ++k) {
        const QString type{QLatin1Char(m_types[size_t(k)])};
        setText(numberId(k), m_numbers[size_t(k)]);
        setText(typeId(k), type);
        const int32_t v = m_values[size_t(k)];
        setText(valueId(k), v < 0 ? QStringLiteral("?") : QString::number(v));
        enable(valueId(k), pinEditable(k));
        // Read by assistive clients with the pin they belong to.
        const QString pin = QStringLiteral("GPIO Pin: %1").arg(m_numbers[size_t(k)]);
        control(numberId(k))->setAccessibleName(pin);
        control(typeId(k))->setAccessibleName(pin + QStringLiteral(" Type: ") + type);
        control(valueId(k))->setAccessibleName(pin + QStringLiteral(" Value:"));
    }
    const int32_t byte = m_values[kPins];
    setText(IDC_PIN_BYTE, byte < 0 ? QStringLiteral("0x??") : QString::asprintf("0x%02X", unsigned(byte)));
    control(IDC_PIN_BYTE)->setAccessibleName(QStringLiteral("Value:"));
    --m_showing;
}

void CPinDlg::onPinTyped(int k)
{
    if (m_showing)
        return;
    const int32_t v = intValue(valueId(k)); // 0 when empty
    m_values[size_t(k)] = v;
    int32_t byte = m_values[kPins] < 0 ? 0 : m_values[kPins];
    byte = v != 0 ? (byte | (1 << k)) : (byte & ~(1 << k));
    m_values[kPins] = byte;
    setText(IDC_PIN_BYTE, QString::asprintf("0x%02X", unsigned(byte)));
}
