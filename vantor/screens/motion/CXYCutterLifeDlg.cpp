#include "vantor/screens/motion/CXYCutterLifeDlg.h"

#include "vantor/framework/SpeedGroup.h"
#include "vantor/res/resource.h"
#include "vantor/screens/motion/XYCutterControls.h"

using namespace vantor::motion;

namespace {
constexpr vantor::SpeedGroupIds kTapeRewindSpeed{IDC_XYL_TR_CONSTANT,       IDC_XYL_TR_RAMP_UP,
                                                 IDC_XYL_TR_CONSTANT_SPEED, IDC_XYL_TR_RAMP_UP_PATH,
                                                 IDC_XYL_TR_RAMP_UP_BROWSE, IDC_XYL_TR_USE_RAMP_DOWN,
                                                 IDC_XYL_TR_RAMP_DOWN_PATH, IDC_XYL_TR_RAMP_DOWN_BROWSE};
// The groups a test type enables, each a contiguous id range.
constexpr int kCutFile[2] = {IDC_XYL_CUT_FILE_GROUP, IDC_XYL_CUT_FILE_BROWSE};
constexpr int kTapeRewind[2] = {IDC_XYL_TR_GROUP, IDC_XYL_TR_SIXTEENTH};
constexpr int kPinch[2] = {IDC_XYL_PINCH_GROUP, IDC_XYL_DEPINCH_AFTER};
constexpr int kVoiceCoil[2] = {IDC_XYL_FORCE_GROUP, IDC_XYL_FORCE_VALUE};
} // namespace

CXYCutterLifeDlg::CXYCutterLifeDlg(QWidget* parent)
    : TestDialog(IDD_XY_CUTTER_LIFE, kXYCutterLifeTest, parent, vantor::Commit::AtClose)
{
    m_values.testType = kXYHoming;
    m_values.axis = CXYCutterSettingDlg::kCrossweb;
    bindRadio(IDC_XYL_HOMING, m_values.testType);
    bindRadio(IDC_XYL_CROSSWEB, m_values.axis);
    bind(IDC_XYL_CUT_FILE, m_values.cutFile);
    bindBrowse(IDC_XYL_CUT_FILE_BROWSE, IDC_XYL_CUT_FILE);
    bindSpeedGroup(*this, kTapeRewindSpeed, m_values.tapeRewind);
    bind(IDC_XYL_TR_VREF, m_values.tapeRewindVref);
    bindRadio(IDC_XYL_TR_FULL, m_values.tapeRewindStepMode);
    bind(IDC_XYL_PERIOD, m_values.periodInUS);
    bindCurrentLevel(*this, IDC_XYL_LEVEL, m_values.currentLevel);
    bindLabelledSlider(*this, IDC_XYL_DUTY, IDC_XYL_DUTY_VALUE, m_values.dutyCycle, 1, 100);
    bind(IDC_XYL_PINCH_AFTER, m_values.pinchAfterTriggered);
    bind(IDC_XYL_DEPINCH_AFTER, m_values.dePinchAfterTriggered);
    bindLabelledSlider(*this, IDC_XYL_FORCE, IDC_XYL_FORCE_VALUE, m_values.force, 0, 255);
    addRule([this] { showTestType(); }, {IDC_XYL_HOMING, IDC_XYL_AGING, IDC_XYL_PINCH_TEST});
    addRule([this] { showPanel(); }, {IDC_XYL_CROSSWEB, IDC_XYL_DOWNWEB});
}

CXYCutterLifeDlg::~CXYCutterLifeDlg() = default;

void CXYCutterLifeDlg::showRecord()
{
    m_cross = std::make_unique<CXYCutterSettingDlg>(CXYCutterSettingDlg::kCrossweb, this, m_values);
    m_down = std::make_unique<CXYCutterSettingDlg>(CXYCutterSettingDlg::kDownweb, this, m_values);
    m_cross->Create(kPanelPos);
    m_down->Create(kPanelPos);
    showPanel();
    showTestType();
}

void CXYCutterLifeDlg::readPanels()
{
    if (m_cross)
        m_cross->updateData(true);
    if (m_down)
        m_down->updateData(true);
}

QString CXYCutterLifeDlg::validate()
{
    readPanels();
    return TestDialog::validate();
}

void CXYCutterLifeDlg::commitValues()
{
    readPanels();
    TestDialog::commitValues();
}

void CXYCutterLifeDlg::showPanel()
{
    if (!m_cross || !m_down)
        return;
    const bool down = radioChoice(IDC_XYL_CROSSWEB) == 1;
    m_cross->setVisible(!down);
    m_down->setVisible(down);
}

void CXYCutterLifeDlg::showTestType()
{
    const int test = radioChoice(IDC_XYL_HOMING);
    const bool aging = test == kXYAging;
    auto enableRange = [this](const int (&range)[2], bool on) {
        for (int id = range[0]; id <= range[1]; ++id)
            if (control(id))
                enable(id, on);
    };
    enableRange(kCutFile, aging);
    enableRange(kTapeRewind, aging);
    enableRange(kPinch, aging || test == kXYLifePinch);
    enableRange(kVoiceCoil, aging); // still read for the pinch test
    if (aging)
        vantor::applySpeedRules(*this, kTapeRewindSpeed);
    if (m_cross)
        m_cross->setEnabled(test == kXYHoming || aging);
    if (m_down)
        m_down->setEnabled(aging);
}
