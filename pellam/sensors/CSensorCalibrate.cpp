#include "CSensorCalibrate.h"

#include "pellam/app/ReadingLabels.h"
#include "pellam/driver/UserDriver.h"
#include "pellam/res/PellamResources.h"
#include "pellam/sensors/SensorSteps.h"
#include "records/Calibration.h"
#include "records/ProgramRecorder.h"
#include "ui/Messages.h"

namespace pellam {

namespace {

// Named in English whatever the language, so that a history query finds
// them. The driver does not say what a sensor's DAC held before, so the
// record has the values after only. A value that could not be read fails it.
void recordSensorCalibration(const QDateTime& start, QString caption, std::vector<records::CalibrationValue> values,
                             QStringList refused)
{
    records::Calibration c;
    c.caption = std::move(caption);
    c.start = start;
    c.end = QDateTime::currentDateTime();
    c.values = std::move(values);
    c.refused = std::move(refused);
    records::submitProgramRecord(records::calibrationRecord(c));
}

QJsonValue none() { return QJsonValue(QJsonValue::Null); }

} // namespace

CSensorCalibrate::CSensorCalibrate(QWidget* parent) : ui::Dialog(IDD_SENSOR_CALIBRATE, parent)
{
    onCommand(IDC_SC_GAP_SENSOR, [] {
        CGapSensorCalibrate wizard;
        wizard.doModal();
    });
    onCommand(IDC_SC_COLOR_SENSOR, [] {
        CColorSensorCalibrate wizard;
        wizard.doModal();
    });
}

CGapSensorCalibrate::CGapSensorCalibrate(QWidget* parent) : ui::Dialog(IDD_GAP_SENSOR_CALIBRATE, parent)
{
    onCommand(IDC_WIZ_NEXT, [this] { onFirstNext(); });
    onCommand(IDC_WIZ_NEXT2, [this] { onSecondNext(); });
    onCommand(IDC_WIZ_FINISH, [this] { endDialog(ui::IDCANCEL); });
}

bool CGapSensorCalibrate::onInitDialog()
{
    for (int id : {IDC_WIZ_STEP3, IDC_WIZ_STEP4, IDC_WIZ_GAP_RESULT, IDC_WIZ_NEXT2, IDC_WIZ_FINISH})
        show(id, false);
    nameReadings(*this);
    m_driver = driver::openPrinter();
    return true;
}

void CGapSensorCalibrate::onFirstNext()
{
    m_start = QDateTime::currentDateTime();
    enable(IDC_WIZ_STEP1, false);
    enable(IDC_WIZ_STEP2, false);
    sensors::gapStepOnLiner(m_driver, m_block);
    show(IDC_WIZ_STEP3);
    show(IDC_WIZ_STEP4);
    show(IDC_WIZ_NEXT, false);
    show(IDC_WIZ_NEXT2);
}

void CGapSensorCalibrate::onSecondNext()
{
    enable(IDC_WIZ_STEP3, false);
    enable(IDC_WIZ_STEP4, false);
    show(IDC_WIZ_NEXT2, false);
    show(IDC_WIZ_GAP_RESULT);
    bool read = false;
    const uint8_t dac = sensors::gapStepOnTape(m_driver, m_block, &read);
    setText(IDC_WIZ_GAP_RESULT, QString::fromStdString(sensors::gapResultText(dac)));
    show(IDC_WIZ_FINISH);
    QStringList refused;
    if (!read)
        refused << QStringLiteral("The gap sensor's DAC value could not be read.");
    recordSensorCalibration(m_start, QStringLiteral("Gap Sensor Calibration"), {{QStringLiteral("DAC"), none(), int(dac), {}}}, refused);
}

CColorSensorCalibrate::CColorSensorCalibrate(QWidget* parent) : ui::Dialog(IDD_COLOR_SENSOR_CALIBRATE, parent)
{
    onCommand(IDC_WIZ_NEXT, [this] { onNext(); });
    onCommand(IDC_WIZ_FINISH, [this] { endDialog(ui::IDCANCEL); });
    onCommand(IDC_CLOSE, [this] { endDialog(ui::IDCANCEL); });
}

bool CColorSensorCalibrate::onInitDialog()
{
    m_driver = driver::openPrinter();
    show(IDC_WIZ_FINISH, false);
    nameReadings(*this);
    return true;
}

void CColorSensorCalibrate::onNext()
{
    show(IDC_WIZ_NEXT, false);
    const QDateTime start = QDateTime::currentDateTime();
    const sensors::ColorCalibration result = sensors::calibrateColorSensor(m_driver, m_block);
    setText(IDC_WIZ_DAC_RESULT, QString::fromStdString(sensors::dacResultText(result.dacs)));
    std::vector<records::CalibrationValue> values{
        {QStringLiteral("DAC red"), none(), int(result.dacs.red), {}},
        {QStringLiteral("DAC green"), none(), int(result.dacs.green), {}},
        {QStringLiteral("DAC blue"), none(), int(result.dacs.blue), {}},
    };
    if (result.colorRead) {
        values.push_back({QStringLiteral("RGB red"), none(), int(result.color.red), {}});
        values.push_back({QStringLiteral("RGB green"), none(), int(result.color.green), {}});
        values.push_back({QStringLiteral("RGB blue"), none(), int(result.color.blue), {}});
    }
    recordSensorCalibration(start, QStringLiteral("Color Sensor Calibration"), std::move(values),
                            result.colorRead ? QStringList() : QStringList{QStringLiteral("The colour could not be read.")});
    if (!result.colorRead)
        return; // "Close" stays the only way out
    setText(IDC_WIZ_RGB_RESULT, QString::fromStdString(sensors::colorResultText(result.color)));
    show(IDC_WIZ_FINISH);
}

} // namespace pellam
