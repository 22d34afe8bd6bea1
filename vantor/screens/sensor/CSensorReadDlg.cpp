#include "vantor/screens/sensor/CSensorReadDlg.h"

#include "ui/Prompts.h"
#include "vantor/framework/CTestDlg.h"
#include "vantor/res/resource.h"

using namespace vantor::sensor;

namespace {
constexpr int kSensorDacIds[kAnalogRows] = {IDC_SR_DAC0, IDC_SR_DAC1, IDC_SR_DAC2, IDC_SR_DAC3};
constexpr int kSelectIds[kAnalogRows] = {IDC_SR_SELECT0, IDC_SR_SELECT1, IDC_SR_SELECT2, IDC_SR_SELECT3};
constexpr int kWriteIds[kAnalogRows] = {IDC_SR_WRITE0, IDC_SR_WRITE1, IDC_SR_WRITE2, IDC_SR_WRITE3};
constexpr int kButtonIds[] = {IDC_SR_READ, IDC_SR_CALIBRATE, IDC_SR_WRITE_DAC};

// Four significant digits: a tenth of a degree, and -1 for no reading.
QString temperatureText(double t)
{
    return QString::number(t, 'g', 4);
}
} // namespace

int CSensorReadDlg::stateId(int row, int state)
{
    return IDC_SR_STATE0_0 + 2 * row + (state ? 1 : 0);
}

CSensorReadDlg::CSensorReadDlg(QWidget* parent) : CReadingDlg(IDD_SENSOR_READ, parent)
{
    onCommand(IDC_SR_READ, &CSensorReadDlg::OnRead);
    onCommand(IDC_SR_CALIBRATE, &CSensorReadDlg::OnCalibrate);
    onCommand(IDC_SR_WRITE_DAC, &CSensorReadDlg::OnWriteDac);
    onCommand(IDC_SR_STOP, &CSensorReadDlg::OnStop);
    for (int row = 0; row < kAnalogRows; ++row)
        onCommand(kSelectIds[row], [this, row] { OnSelectAnalog(row); });
    // The state radios only show: a click puts the shown state back.
    for (int row = 0; row < kStateRows; ++row)
        for (int state = 0; state < 2; ++state)
            onCommand(stateId(row, state), [this] {
                if (m_run)
                    showStates(m_run->values());
            });
    onMessage(vantor::WM_READINGS_READY, &CSensorReadDlg::OnReadingsReady);
}

CSensorReadDlg::~CSensorReadDlg()
{
    stopWorker();
}

void CSensorReadDlg::initControls()
{
    setText(IDC_SR_ROOM_TEMP, QStringLiteral("-"));
    // The template's labels stand beside, not before, these controls: name
    // each with its row for assistive clients.
    for (int row = 0; row < kStateRows; ++row)
        for (int state = 0; state < 2; ++state) {
            const SensorRowText& t = kSensorRowTexts[row];
            control(stateId(row, state))
                ->setAccessibleName(QString::fromUtf8(t.label) + QLatin1Char(' ') +
                                    QString::fromUtf8(state ? t.state1 : t.state0));
        }
    for (int row = 0; row < kAnalogRows; ++row) {
        const QString label = QString::fromUtf8(kAnalogLabels[row]);
        control(kSensorDacIds[row])->setAccessibleName(label + QStringLiteral(" DAC setting"));
        control(kSelectIds[row])->setAccessibleName(label);
        control(kWriteIds[row])->setAccessibleName(label + QStringLiteral(" Write DAC"));
    }
}

void CSensorReadDlg::startWorker()
{
    auto prompt = [](const QString& text) { return ui::messageBox(text, vantor::kProgramName); };
    auto notify = [port = port()] { port.post(vantor::WM_READINGS_READY); };
    m_run = std::make_shared<SensorReadRun>(driver(), prompt, notify);
    refresh();
    OnSelectAnalog(0);
    setRadioIndex(IDC_SR_SELECT0, 0);
    worker().start([run = m_run](ReadingWorker& w) {
        const int pauseMs = run->step([&w] { w.resetRun(); });
        if (pauseMs > 0)
            w.pause(pauseMs);
    });
}

void CSensorReadDlg::enableButtons(bool enabled)
{
    for (int id : kButtonIds)
        enable(id, enabled);
}

void CSensorReadDlg::start()
{
    enableButtons(false);
    worker().setRun();
}

void CSensorReadDlg::OnRead()
{
    m_run->startRead();
    refresh();
    start();
}

void CSensorReadDlg::OnCalibrate()
{
    m_run->startCalibrate(m_selected);
    start();
}

void CSensorReadDlg::OnWriteDac()
{
    m_run->startWriteDac(m_selected, intValue(kWriteIds[m_selected]));
    start();
}

void CSensorReadDlg::OnStop()
{
    m_run->stop();
    enableButtons(true);
    worker().resetRun();
}

void CSensorReadDlg::OnSelectAnalog(int row)
{
    m_selected = row;
    for (int r = 0; r < kAnalogRows; ++r)
        enable(kWriteIds[r], r == row);
}

void CSensorReadDlg::OnReadingsReady(ui::Message&)
{
    refresh();
    if (!m_run->continuous() && !m_run->busy()) {
        worker().resetRun();
        enableButtons(true);
    }
}

void CSensorReadDlg::showStates(const SensorValues& v)
{
    for (int row = 0; row < kStateRows; ++row) {
        const int32_t s = v.states[size_t(row)];
        setChecked(stateId(row, 0), s == 0);
        setChecked(stateId(row, 1), s == 1);
    }
}

void CSensorReadDlg::refresh()
{
    const SensorValues v = m_run->values();
    showStates(v);
    setText(IDC_SR_THERMISTOR, temperatureText(v.temperatures[0]));
    setText(IDC_SR_ROOM_TEMP, v.roomTempRead ? temperatureText(v.temperatures[1]) : QStringLiteral("-"));
    for (int r = 0; r < kAnalogRows; ++r)
        setInt(kSensorDacIds[r], v.dacSettings[size_t(r)]);
}
