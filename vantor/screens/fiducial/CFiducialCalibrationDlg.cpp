#include "vantor/screens/fiducial/CFiducialCalibrationDlg.h"

#include <algorithm>

#include "vantor/framework/CTestDlg.h"
#include "vantor/res/resource.h"
#include "vantor/settings/TestSettingsStore.h"

using namespace vantor::fiducial;

namespace {
constexpr int kColorNames = kColors;
const char* const kCalibrationColours[kColorNames] = {"Red", "Green", "Blue"};
} // namespace

int CFiducialCalibrationDlg::sliderId(int c) { return IDC_FC_SLIDER_RED + c; }
int CFiducialCalibrationDlg::valueId(int c) { return IDC_FC_VALUE_RED + c; }
int CFiducialCalibrationDlg::detectorId(int c) { return IDC_FC_DET_RED + c; }
int CFiducialCalibrationDlg::markerId(int c) { return IDC_FC_MARK_RED + c; }

CFiducialCalibrationDlg::CFiducialCalibrationDlg(const ColorBytes& dac, const ColorBytes& detector,
                                                 const Flags& flags, QWidget* parent)
    : CReadingDlg(IDD_FIDUCIAL_CALIBRATION, parent), m_dac(dac), m_detector(detector), m_flags(flags)
{
    // The record as the fiducial dialog holds it: fetching it again would
    // load it over that dialog's counts not yet saved.
    m_record = dynamic_cast<CFiducialSettings*>(GetTestSettings(kTestFiducial));
    if (m_record)
        m_color = std::clamp(m_record->colorType, 0, kColors - 1);
    bindRadio(IDC_FC_RED, m_color);
    for (int c = 0; c < kColors; ++c)
        onNotify(sliderId(c), ui::Notify::SliderMoved, [this, c] { OnSlider(c); });
    for (int id : {IDC_FC_RED, IDC_FC_GREEN, IDC_FC_BLUE})
        onCommand(id, [this] { showColor(); });
    onCommand(IDC_FC_READ, &CFiducialCalibrationDlg::OnRead);
    onMessage(vantor::WM_BUSY_ENDED, [this](ui::Message&) {
        refresh();
        enable(IDC_FC_READ, true);
    });
}

CFiducialCalibrationDlg::~CFiducialCalibrationDlg()
{
    stopWorker();
}

void CFiducialCalibrationDlg::initControls()
{
    updateData(false);
    for (int c = 0; c < kColors; ++c) {
        setSliderRange(sliderId(c), 0, 255);
        setSliderPos(sliderId(c), m_dac[size_t(c)]);
        setText(valueId(c), QString::asprintf("%3d", int(m_dac[size_t(c)])));
        setText(markerId(c), m_flags[size_t(c)] == 1 ? QStringLiteral("*") : QString());
        const QString name = QString::fromLatin1(kCalibrationColours[c]);
        control(sliderId(c))->setAccessibleName(name + QStringLiteral(" emitter DAC"));
        control(valueId(c))->setAccessibleName(name + QStringLiteral(" emitter DAC value"));
        control(detectorId(c))->setAccessibleName(name + QStringLiteral(" detector"));
        control(markerId(c))->setAccessibleName(name + QStringLiteral(" not read since changed"));
    }
    refresh();
    showColor();
}

void CFiducialCalibrationDlg::startWorker()
{
    m_steps = std::make_shared<CalibrationSteps>(driver(), m_detector,
                                                 [port = port()] { port.post(vantor::WM_BUSY_ENDED); });
    worker().start([](vantor::sensor::ReadingWorker& w) { w.resetRun(); },
                   [steps = m_steps] { steps->takeStep(); });
}

void CFiducialCalibrationDlg::refresh()
{
    if (m_steps)
        m_detector = m_steps->detector();
    for (int c = 0; c < kColors; ++c)
        setInt(detectorId(c), m_detector[size_t(c)]);
}

void CFiducialCalibrationDlg::showColor()
{
    const int chosen = radioChoice(IDC_FC_RED);
    for (int c = 0; c < kColors; ++c) {
        enable(sliderId(c), c == chosen);
        enable(valueId(c), c == chosen);
    }
}

void CFiducialCalibrationDlg::OnSlider(int c)
{
    setText(valueId(c), QString::asprintf("%3d", sliderPos(sliderId(c))));
    setText(markerId(c), QStringLiteral("*"));
}

void CFiducialCalibrationDlg::OnRead()
{
    updateData(true);
    enable(IDC_FC_READ, false);
    setText(markerId(m_color), QString());
    m_steps->read(m_color, uint8_t(std::clamp(sliderPos(sliderId(m_color)), 0, 255)));
}

void CFiducialCalibrationDlg::onOK()
{
    updateData(true);
    if (m_record) {
        m_record->colorType = m_color;
        StoreTestSettings(kTestFiducial);
    }
    for (int c = 0; c < kColors; ++c) {
        m_dac[size_t(c)] = uint8_t(std::clamp(sliderPos(sliderId(c)), 0, 255));
        m_flags[size_t(c)] = text(markerId(c)).isEmpty() ? 0 : 1;
    }
    stopWorker();
    endDialog(ui::IDOK);
}
