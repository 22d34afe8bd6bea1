#include "vantor/screens/fiducial/CFiducialSettingDlg.h"

#include "vantor/framework/SpeedGroup.h"
#include "vantor/res/resource.h"

namespace {
constexpr vantor::SpeedGroupIds kFiducialSpeedIds{IDC_FS_CONSTANT,       IDC_FS_RAMP_UP,        IDC_FS_CONSTANT_SPEED,
                                          IDC_FS_RAMP_UP_PATH,   IDC_FS_RAMP_UP_BROWSE, IDC_FS_USE_RAMP_DOWN,
                                          IDC_FS_RAMP_DOWN_PATH, IDC_FS_RAMP_DOWN_BROWSE};
} // namespace

CFiducialSettingDlg::CFiducialSettingDlg(int axis, ui::Dialog* owner, CFiducialSettings& values)
    : ui::Dialog(IDD_FIDUCIAL_SETTING, owner), m_axis(axis == kDownweb ? kDownweb : kCrossweb), m_owner(owner)
{
    const bool cross = m_axis == kCrossweb;
    SpeedSettings& speed = cross ? values.crossweb : values.downweb;
    vantor::bindSpeedPanel(*this, kFiducialSpeedIds, speed);
    bindRadio(IDC_FS_FULL, cross ? values.stepMode : values.downwebStepMode);
    bind(IDC_FS_PULSES, cross ? values.totalPulses : values.downwebTotalPulses);
    if (cross) {
        bind(IDC_FS_HOME, values.homeDistance);
    } else {
        values.downwebRunType = values.downwebRunType != 0 ? 1 : 0;
        bindRadio(IDC_FS_ENCODER, values.downwebRunType);
        bind(IDC_FS_MARK, values.downwebMarkDistance);
    }
}

bool CFiducialSettingDlg::Create(QPoint pos)
{
    return createChild(m_owner, pos);
}

bool CFiducialSettingDlg::onInitDialog()
{
    const bool cross = m_axis == kCrossweb;
    setText(IDC_FS_TITLE, cross ? QStringLiteral("Crossweb") : QStringLiteral("Downweb"));
    for (int id : {IDC_FS_HOME_LABEL, IDC_FS_HOME})
        show(id, cross);
    for (int id : {IDC_FS_RUN_FRAME, IDC_FS_ENCODER, IDC_FS_STEP, IDC_FS_MARK_LABEL, IDC_FS_MARK})
        show(id, !cross);
    updateData(false);
    vantor::applySpeedRules(*this, kFiducialSpeedIds);
    return false;
}
