#include "vantor/screens/motion/CEjectorDlg.h"

#include "vantor/framework/SpeedGroup.h"
#include "vantor/res/resource.h"
#include "vantor/screens/motion/EjectorRun.h"
#include "vantor/framework/SpeedGroup.h"

using namespace vantor::motion;

namespace {
constexpr vantor::SpeedGroupIds kEjectorSpeedIds{IDC_EJ_CONSTANT,       IDC_EJ_RAMP_UP,        IDC_EJ_CONSTANT_SPEED,
                                          IDC_EJ_RAMP_UP_PATH,   IDC_EJ_RAMP_UP_BROWSE, IDC_EJ_USE_RAMP_DOWN,
                                          IDC_EJ_RAMP_DOWN_PATH, IDC_EJ_RAMP_DOWN_BROWSE};
}

CEjectorDlg::CEjectorDlg(int mode, QWidget* parent)
    : TestDialog(IDD_EJECTOR, kEjectorTest, parent, vantor::Commit::AtClose), m_mode(mode == 1 ? 1 : 0)
{
    bindSpeedGroup(*this, kEjectorSpeedIds, m_values.speed);
    bind(IDC_EJ_PULSES, m_values.totalPulses);
    bindLabelledSlider(*this, IDC_EJ_VREF, IDC_EJ_VREF_VALUE, m_values.vref, 1, 255);
    bindRadio(IDC_EJ_FULL, m_values.stepMode);
    bind(IDC_EJ_POST_HOLD, m_values.postHold);
    bindLabelledSlider(*this, IDC_EJ_REV, IDC_EJ_REV_VALUE, m_values.rev, 1, 3);
    bind(IDC_EJ_FORWARD_UNBLOCKED, m_values.forwardUnblocked);
    bind(IDC_EJ_FORWARD_BLOCKED, m_values.forwardBlocked);
    bind(IDC_EJ_MIN_CHANGE, m_minSensorChange);
    onMessage(vantor::WM_ADD_REV, &CEjectorDlg::onAddRev);
}

void CEjectorDlg::showRecord()
{
    setInt(IDC_EJ_TOTAL_REV, 0);
    if (m_mode == 1) {
        setWindowTitle(QStringLiteral("EJECT LIFE TEST"));
        show(IDC_EJ_MIN_CHANGE_LABEL, true);
        show(IDC_EJ_MIN_CHANGE, true);
    }
}

vantor::PreparedRun CEjectorDlg::prepareRun()
{
    vantor::PreparedRun prepared = TestDialog::prepareRun();
    if (!prepared)
        return prepared;
    // The pause and total go into the record at RUN; the rest when the dialog closes.
    auto& r = record<CEjectorSettings>();
    r.cycle = totalCycles();
    r.pause = pauseMs();
    m_totalRev = 0;
    setInt(IDC_EJ_TOTAL_REV, 0);
    auto& run = static_cast<EjectorRun&>(*prepared.run);
    run.onRevolutions([port = port()](int32_t counted) { port.post(vantor::WM_ADD_REV, counted); });
    return prepared;
}

void CEjectorDlg::onAddRev(ui::Message& m)
{
    m_totalRev += int32_t(m.wParam);
    setInt(IDC_EJ_TOTAL_REV, m_totalRev);
}
