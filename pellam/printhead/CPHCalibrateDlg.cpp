#include "CPHCalibrateDlg.h"

#include "pellam/driver/UserDriver.h"
#include "pellam/res/PellamResources.h"
#include "records/Calibration.h"
#include "records/ProgramRecorder.h"
#include "ui/Messages.h"
#include "ui/Prompts.h"
#include "ui/Resources.h"

namespace pellam {

bool headResistorInRange(int32_t value) { return value >= kHeadResistorMin && value <= kHeadResistorMax; }

QString headResistorText(uint32_t value)
{
    return value > kHeadResistorUnsetAbove ? QStringLiteral("Not Set") : QString::asprintf("%d", int(value));
}

CPHCalibrateDlg::CPHCalibrateDlg(QWidget* parent) : ui::Dialog(IDD_PH_CALIBRATE, parent)
{
    onCommand(IDC_PH_SAVE, [this] { onSave(); });
    onCommand(IDC_PH_READ, [this] { onRead(); });
}

bool CPHCalibrateDlg::onInitDialog()
{
    m_validating = false;
    m_driver = driver::openPrinter();
    setText(IDC_PH_CURRENT, QString::asprintf("%d", 0));
    resetEntry();
    return false; // the focus is on the edit
}

void CPHCalibrateDlg::resetEntry()
{
    m_value = kHeadResistorMin;
    setText(IDC_PH_ENTRY, QString::asprintf("%d", m_value));
    setFocus(IDC_PH_ENTRY);
}

void CPHCalibrateDlg::onSave()
{
    m_validating = true;
    m_value = intValue(IDC_PH_ENTRY);
    if (!headResistorInRange(m_value)) {
        ui::messageBox(ui::loadString(IDS_HEAD_RESISTOR_RANGE));
        resetEntry();
        return;
    }
    m_validating = false;
    m_value = intValue(IDC_PH_ENTRY);
    const QDateTime start = QDateTime::currentDateTime();
    driver::setHeadResistance(m_driver, m_value);
    // Before is what "Read" last showed; the screen asks the driver nothing more.
    records::Calibration c;
    c.caption = QStringLiteral("Printhead Calibration");
    c.section = QStringLiteral("Printhead");
    c.start = start;
    c.end = QDateTime::currentDateTime();
    c.values.push_back({QStringLiteral("Printhead Resistor"),
                        m_readBack ? QJsonValue(qint64(*m_readBack)) : QJsonValue(QJsonValue::Null),
                        QJsonValue(m_value), {}});
    records::submitProgramRecord(records::calibrationRecord(c));
}

void CPHCalibrateDlg::onRead()
{
    uint32_t value = 0; // a failed read shows 0
    driver::readHeadResistance(m_driver, value);
    setText(IDC_PH_CURRENT, headResistorText(value));
    m_readBack = value;
}

} // namespace pellam
