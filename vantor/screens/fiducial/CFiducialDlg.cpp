#include "vantor/screens/fiducial/CFiducialDlg.h"

#include <algorithm>

#include "vantor/res/resource.h"

using namespace vantor::fiducial;

namespace {
const char* const kEmitterColours[kColors] = {"Red", "Green", "Blue"};
} // namespace

CFiducialDlg::CFiducialDlg(QWidget* parent)
    : TestDialog(IDD_FIDUCIAL, kFiducialTest, parent, vantor::Commit::AtClose)
{
    m_values.colorType = std::clamp(m_values.colorType, 0, kColors - 1);
    bindRadio(IDC_FID_RED, m_values.colorType);
    for (int c = 0; c < kColors; ++c) {
        bind(crossOffsetId(c), m_values.crosswebOffset[size_t(c)]);
        bind(downOffsetId(c), m_values.downwebOffset[size_t(c)]);
    }
    bind(IDC_FID_CUT_FILE, m_values.cutFile);
    bindBrowse(IDC_FID_CUT_FILE_BROWSE, IDC_FID_CUT_FILE);
    bindRadio(IDC_FID_CROSSWEB, m_axis);
    addRule([this] { showColor(); }, {IDC_FID_RED, IDC_FID_GREEN, IDC_FID_BLUE});
    addRule([this] { showAxis(); }, {IDC_FID_CROSSWEB, IDC_FID_DOWNWEB});
    onCommand(IDC_FID_CALIBRATE, &CFiducialDlg::OnCalibrate);
    onMessage(vantor::WM_READINGS_READY, [this](ui::Message&) { refresh(false); });
    onMessage(vantor::WM_BUSY_ENDED, [this](ui::Message&) { refresh(true); });

    // The worker's steps report through the port, never the dialog.
    const ui::MessagePort p = port();
    FiducialSteps::Reports reports;
    reports.post = [p](QString line) { p.post(vantor::WM_ADD_LINE, 0, 0, ui::Payload::of(std::move(line))); };
    reports.send = [p](QString line) { p.send(vantor::WM_ADD_LINE, 0, 0, ui::Payload::of(std::move(line))); };
    reports.valuesRead = [p] { p.post(vantor::WM_READINGS_READY); };
    reports.busyEnded = [p] { p.post(vantor::WM_BUSY_ENDED); };
    m_steps = std::make_shared<FiducialSteps>(nullptr, std::move(reports));
    runner().setIdleWork([steps = m_steps](vantor::RunSink&) { steps->takeStep(); });
}

CFiducialDlg::~CFiducialDlg() = default;

bool CFiducialDlg::onInitDialog()
{
    const bool focus = TestDialog::onInitDialog();
    // PRN1: is open now; the first step is taken at the first time-out.
    m_steps->setDriver(driverRef());
    return focus;
}

void CFiducialDlg::showRecord()
{
    for (int c = 0; c < kColors; ++c) {
        const QString name = QString::fromLatin1(kEmitterColours[c]);
        control(dacId(c))->setAccessibleName(QStringLiteral("DAC ") + name);
        control(detectorId(c))->setAccessibleName(QStringLiteral("Detector ") + name);
        control(markerId(c))->setAccessibleName(QStringLiteral("Detector ") + name + QStringLiteral(" marker"));
        control(crossOffsetId(c))->setAccessibleName(QStringLiteral("Crossweb Offset ") + name);
        control(downOffsetId(c))->setAccessibleName(QStringLiteral("Downweb Offset ") + name);
        setText(markerId(c), QString());
    }
    m_cross = std::make_unique<CFiducialSettingDlg>(CFiducialSettingDlg::kCrossweb, this, m_values);
    m_down = std::make_unique<CFiducialSettingDlg>(CFiducialSettingDlg::kDownweb, this, m_values);
    m_cross->Create(kPanelPos);
    m_down->Create(kPanelPos);
    refresh(false);
    // The emitter values and the detector are read at the first two time-outs.
    m_steps->queue({kStepReadDacs, kStepReadDetector});
    busy();
}

void CFiducialDlg::busy()
{
    enable(vantor::common::kRun, false);
    enable(IDC_FID_CALIBRATE, false);
}

void CFiducialDlg::refresh(bool busyEnded)
{
    const ColorBytes dac = m_steps->dacValues();
    const ColorBytes detector = m_steps->detector();
    for (int c = 0; c < kColors; ++c) {
        setInt(dacId(c), dac[size_t(c)]);
        setInt(detectorId(c), detector[size_t(c)]);
    }
    if (busyEnded && !m_steps->busy() && workerIdle()) {
        enable(vantor::common::kRun, true);
        enable(IDC_FID_CALIBRATE, true);
    }
}

void CFiducialDlg::showColor()
{
    const int chosen = radioChoice(IDC_FID_RED);
    for (int c = 0; c < kColors; ++c) {
        enable(crossOffsetId(c), c == chosen);
        enable(downOffsetId(c), c == chosen);
    }
}

void CFiducialDlg::showAxis()
{
    if (!m_cross || !m_down)
        return;
    const bool down = radioChoice(IDC_FID_CROSSWEB) == 1;
    m_cross->setVisible(!down);
    m_down->setVisible(down);
}

void CFiducialDlg::readPanels()
{
    if (m_cross)
        m_cross->updateData(true);
    if (m_down)
        m_down->updateData(true);
}

QString CFiducialDlg::validate()
{
    readPanels();
    return TestDialog::validate();
}

vantor::PreparedRun CFiducialDlg::prepareRun()
{
    // The colour's value as the "DAC:" box shows it.
    return PrepareFiducialRun(values(), m_steps->dacValues(), driverRef());
}

void CFiducialDlg::commitValues()
{
    readPanels();
    TestDialog::commitValues();
}

void CFiducialDlg::OnRun()
{
    TestDialog::OnRun();
    if (!workerIdle()) // the run started
        enable(IDC_FID_CALIBRATE, false);
}

void CFiducialDlg::onWorkerIdle()
{
    // A run ended or was stopped: both buttons come back, unless steps wait.
    if (m_steps->busy())
        busy();
    else
        enable(IDC_FID_CALIBRATE, true);
}

void CFiducialDlg::OnCalibrate()
{
    updateData(true);
    readPanels();
    CFiducialCalibrationDlg::Flags flags{};
    for (int c = 0; c < kColors; ++c)
        flags[size_t(c)] = text(markerId(c)).isEmpty() ? 0 : 1;
    int code = 0;
    ColorBytes dac = m_steps->dacValues();
    {
        CFiducialCalibrationDlg dlg(dac, m_steps->detector(), flags, this);
        code = m_runCalibration ? m_runCalibration(dlg) : dlg.doModal();
        dac = dlg.dacValues(); // changed only by OK
    }
    Q_UNUSED(code);
    // Written, read back and the detector read, one step per time-out (after
    // Cancel too: the emitters get the values shown).
    m_steps->setDacValues(dac);
    m_steps->queue({kStepWriteDacs, kStepReadDacs, kStepReadDetector});
    refresh(false);
    busy();
}
