#include "vantor/screens/motion/CXYCutterSettingDlg.h"

#include <algorithm>

#include "vantor/res/resource.h"

namespace {
constexpr vantor::SpeedGroupIds kXYCutterSpeedIds{IDC_XYS_CONSTANT,       IDC_XYS_RAMP_UP,        IDC_XYS_CONSTANT_SPEED,
                                          IDC_XYS_RAMP_UP_PATH,   IDC_XYS_RAMP_UP_BROWSE, IDC_XYS_USE_RAMP_DOWN,
                                          IDC_XYS_RAMP_DOWN_PATH, IDC_XYS_RAMP_DOWN_BROWSE};
} // namespace

CXYCutterSettingDlg::CXYCutterSettingDlg(int axis, ui::Dialog* owner, CXYCutterLifeSettings& values)
    : ui::Dialog(IDD_XY_CUTTER_SETTING, owner), m_axis(axis == kDownweb ? kDownweb : kCrossweb), m_owner(owner)
{
    const bool cross = m_axis == kCrossweb;
    SpeedSettings& speed = cross ? values.crossweb : values.downweb;
    vantor::bindSpeedPanel(*this, kXYCutterSpeedIds, speed);
    int32_t& vref = cross ? values.crosswebVref : values.downwebVref;
    vref = std::clamp(vref, 1, 255);
    bindSlider(IDC_XYS_VREF, vref);
    bindRadio(IDC_XYS_FULL, cross ? values.stepMode : values.downwebStepMode);
    if (cross) {
        bind(IDC_XYS_BLOCKED, values.forwardBlocked);
        bind(IDC_XYS_UNBLOCKED, values.forwardUnblocked);
    } else {
        bindRadio(IDC_XYS_ENCODER, values.downwebRunBy);
    }
    onNotify(IDC_XYS_VREF, ui::Notify::SliderMoved, [this] { showVref(); });
}

bool CXYCutterSettingDlg::Create(QPoint pos)
{
    return createChild(m_owner, pos);
}

bool CXYCutterSettingDlg::onInitDialog()
{
    const bool cross = m_axis == kCrossweb;
    setText(IDC_XYS_TITLE, cross ? QStringLiteral("Crossweb") : QStringLiteral("Downweb"));
    for (int id : {IDC_XYS_BLOCKED_LABEL, IDC_XYS_BLOCKED, IDC_XYS_UNBLOCKED_LABEL, IDC_XYS_UNBLOCKED})
        show(id, cross);
    for (int id : {IDC_XYS_RUN_BY_LABEL, IDC_XYS_ENCODER, IDC_XYS_STEP})
        show(id, !cross);
    setSliderRange(IDC_XYS_VREF, 1, 255);
    updateData(false);
    showVref();
    vantor::applySpeedRules(*this, kXYCutterSpeedIds);
    return false;
}

void CXYCutterSettingDlg::showVref()
{
    setText(IDC_XYS_VREF_VALUE, QString::asprintf("%3d", sliderPos(IDC_XYS_VREF)));
}
