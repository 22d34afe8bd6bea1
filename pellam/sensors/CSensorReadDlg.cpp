#include "CSensorReadDlg.h"

#include "pellam/app/ReadingLabels.h"
#include "pellam/driver/SensorReads.h"
#include "pellam/driver/UserDriver.h"
#include "pellam/res/PellamResources.h"
#include "pellam/sensors/SensorSteps.h"
#include "protocol/RequestCodes.h"
#include "ui/Messages.h"

namespace pellam {

using namespace sensors;

CSensorReadDlg::CSensorReadDlg(QWidget* parent) : ui::Dialog(IDD_SENSOR_READ, parent)
{
    onCommand(IDC_SR_READ, [this] { onRead(); });
    onCommand(IDC_CLOSE, [this] { endDialog(ui::IDCANCEL); });
}

bool CSensorReadDlg::onInitDialog()
{
    nameReadings(*this);
    m_driver = driver::openPrinter();
    return true;
}

void CSensorReadDlg::onRead()
{
    const uint32_t read = protocol::cmd::sensor::Read;
    for (const OnOffRow& row : kOnOffRows) {
        uint32_t state = 0;
        if (!driver::readSensorState(m_driver, m_block, row.item, read, state))
            continue;
        setChecked(row.firstButton, state == 0);
        setChecked(row.secondButton, state != 0);
    }
    for (const NotchRow& row : kNotchRows) {
        uint32_t state = 0;
        if (driver::readSensorState(m_driver, m_block, row.item, read, state))
            setText(row.text, QString::fromStdString(notchText(state)));
    }
    for (const AnalogRow& row : kAnalogRows) {
        if (row.kind == AnalogKind::Float) {
            double value = 0.0;
            if (driver::readSensorAnalog(m_driver, m_block, row.item, value))
                setText(row.text, QString::fromStdString(analogText(value)));
        } else {
            protocol::ColorTriple rgb;
            if (driver::readSensorTriple(m_driver, m_block, row.item, read, rgb))
                setText(row.text, QString::fromStdString(tripleText(rgb)));
        }
    }
}

} // namespace pellam
