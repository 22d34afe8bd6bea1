#include "vantor/screens/sensor/CRibbonColorDlg.h"

#include <QFile>

#include "platform/DevicePath.h"
#include "ui/Prompts.h"
#include "vantor/framework/SpeedGroup.h"
#include "vantor/res/resource.h"
#include "vantor/screens/sensor/RibbonColorRun.h"

using namespace vantor::sensor;

namespace {
constexpr vantor::SpeedGroupIds kRibbonColourSpeedIds{IDC_RC_CONSTANT, IDC_RC_RAMP_UP, IDC_RC_CONSTANT_SPEED, IDC_RC_RAMP_UP_PATH,
                                          IDC_RC_RAMP_UP_BROWSE, 0, 0, 0};
constexpr int kColourDacIds[3] = {IDC_RC_DAC_RED, IDC_RC_DAC_GREEN, IDC_RC_DAC_BLUE};
constexpr int kColorIds[3] = {IDC_RC_COLOR_RED, IDC_RC_COLOR_GREEN, IDC_RC_COLOR_BLUE};

uint32_t pack(protocol::ColorTriple c) { return uint32_t(c.red) | uint32_t(c.green) << 8 | uint32_t(c.blue) << 16; }
} // namespace

CRibbonColorDlg::CRibbonColorDlg(QWidget* parent)
    : TestDialog(IDD_RIBBON_COLOR, kRibbonColorTest, parent, vantor::Commit::AtClose)
{
    bindSpeedGroup(*this, kRibbonColourSpeedIds, m_values.speed);
    bind(IDC_RC_PULSES, m_values.totalPulses);
    bindVref(*this, IDC_RC_VREF, IDC_RC_VREF_VALUE, m_values.vref);
    bindRadio(IDC_RC_FULL, m_values.stepMode);
    bindComboText(IDC_RC_SENSING, m_values.sensingPerSample);
    bind(IDC_RC_SAMPLING_DELAY, m_values.samplingDelay);
    bind(IDC_RC_LOG_FILE, m_values.filePrefix);
    bind(IDC_RC_COLOR, m_values.color);
    bind(IDC_RC_PANEL_LENGTH, m_values.panelLength);
    bind(IDC_RC_LOT_NUMBER, m_values.lotNumber);
    bind(IDC_RC_UNIT, m_values.unit);
    bind(IDC_RC_RUN_COUNT, m_values.run);
    bind(IDC_RC_EMITTER, m_values.emitterNumber);
    bind(IDC_RC_DETECTOR, m_values.detectorNumber);
    onCommand(IDC_RC_CALIBRATE, [this] { OnCalibrate(); });
    onCommand(IDC_RC_READ, [this] { OnRead(); });
    onCommand(IDC_RC_LOG_BROWSE, [this] { OnLogBrowse(); });
    onMessage(vantor::WM_READINGS_READY, [this](ui::Message& m) { showTriple(kColourDacIds, uint32_t(m.wParam)); });
    onMessage(vantor::WM_BUSY_ENDED, [this](ui::Message& m) {
        showTriple(kColorIds, uint32_t(m.wParam));
        enableReadings(true);
    });
}

CRibbonColorDlg::~CRibbonColorDlg() = default;

void CRibbonColorDlg::showRecord()
{
    comboClear(IDC_RC_SENSING);
    for (const char* n : {"2", "4", "8", "16"})
        comboAdd(IDC_RC_SENSING, QString::fromLatin1(n));
    selectComboText(IDC_RC_SENSING, m_values.sensingPerSample);
    showTriple(kColourDacIds, 0);
    showTriple(kColorIds, 0);
    // One label stands before each row of three: name each box for assistive clients.
    const char* colours[3] = {"red", "green", "blue"};
    for (int i = 0; i < 3; ++i) {
        control(kColourDacIds[i])->setAccessibleName(QStringLiteral("DAC %1").arg(QLatin1String(colours[i])));
        control(kColorIds[i])->setAccessibleName(QStringLiteral("Ribbon Color %1").arg(QLatin1String(colours[i])));
    }
}

bool CRibbonColorDlg::onInitDialog()
{
    TestDialog::onInitDialog();
    // The readings share the worker and PRN1: with the runs; they report
    // through the dialog's port, never by touching the dialog.
    auto port = this->port();
    m_readings = std::make_shared<RibbonColorReadings>(driverRef(), [port](int step, protocol::ColorTriple rgb) {
        port.post(step == colorStep::ReadDacs ? vantor::WM_READINGS_READY : vantor::WM_BUSY_ENDED, pack(rgb));
    });
    runner().setIdleWork([readings = m_readings](vantor::RunSink& sink) { readings->runOne(sink); });
    // RUN waits with "Read" and "Calibrate" until the opening readings are in.
    enableReadings(false);
    enable(vantor::common::kRun, false);
    m_readings->queue({colorStep::ReadDacs, colorStep::ReadColor});
    return true;
}

void CRibbonColorDlg::enableReadings(bool enabled)
{
    enable(IDC_RC_CALIBRATE, enabled);
    enable(IDC_RC_READ, enabled);
    if (enabled && workerIdle())
        enable(vantor::common::kRun, true);
}

void CRibbonColorDlg::showTriple(const int (&ids)[3], uint32_t packed)
{
    for (int i = 0; i < 3; ++i)
        setInt(ids[i], (packed >> (8 * i)) & 0xFF);
}

void CRibbonColorDlg::queue(std::initializer_list<int> steps)
{
    updateData(true);
    enableReadings(false);
    enable(vantor::common::kRun, false);
    m_readings->queue(steps);
}

void CRibbonColorDlg::OnCalibrate()
{
    showTriple(kColourDacIds, 0);
    showTriple(kColorIds, 0);
    queue({colorStep::Calibrate, colorStep::ReadDacs, colorStep::ReadColor});
}

void CRibbonColorDlg::OnRead()
{
    showTriple(kColorIds, 0);
    queue({colorStep::ReadColor});
}

void CRibbonColorDlg::OnRun()
{
    TestDialog::OnRun();
    if (!workerIdle())
        enableReadings(false);
}

void CRibbonColorDlg::onWorkerIdle()
{
    if (!m_readings->pending())
        enableReadings(true);
}

void CRibbonColorDlg::OnLogBrowse()
{
    ui::FileDialogRequest ask;
    ask.save = true;
    ask.defaultExtension = QStringLiteral("txt");
    ask.filter = kResultFilter;
    ask.fileName = text(IDC_RC_LOG_FILE);
    const std::optional<QString> path = ui::fileDialog(ask);
    if (!path || path->isEmpty())
        return;
    // The log starts empty: created, or cut back to nothing.
    QFile file(platform::userFilePath(*path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        message(QStringLiteral("The log file \"%1\" cannot be created.\n").arg(*path));
        return;
    }
    file.close();
    setText(IDC_RC_LOG_FILE, *path);
}

void CRibbonColorDlg::commitValues()
{
    auto& r = record<CRibbonColorSettings>();
    const int32_t vref = r.vref;
    TestDialog::commitValues();
    // The slider's position is not kept; the two drive values have no control.
    r.vref = vref;
    r.frequency = 0;
    r.dutyCycle = 0;
    if (r.sensingPerSample.isEmpty())
        r.sensingPerSample = QStringLiteral("2");
}
