#pragma once
// The control groups the platen screens share: a speed group's enabling
// rules, its values, and the reading of the Platen and Tape Rewind groups
// into the widget-free inputs of PlatenRecords.h.
#include <QString>

#include "ui/Dialog.h"
#include "vantor/framework/CTestDlg.h"
#include "vantor/res/resource.h"
#include "vantor/settings/CTestSettings.h"
#include "vantor/screens/motion/PlatenRecords.h"

namespace vantor::platen {

// The ids of one speed group: "Constant (pps):" / "Ramp Up Profile:" and the
// " Ramp Down Profile:" box, each path with its "Browse".
struct SpeedGroupIds {
    int constant, rampUp, constantSpeed, rampUpPath, rampUpBrowse, useRampDown, rampDownPath, rampDownBrowse;
};
inline constexpr SpeedGroupIds kPlatenSpeedIds{IDC_PL_CONSTANT,     IDC_PL_RAMP_UP,         IDC_PL_CONSTANT_SPEED,
                                               IDC_PL_RAMP_UP_PATH, IDC_PL_RAMP_UP_BROWSE,  IDC_PL_USE_RAMP_DOWN,
                                               IDC_PL_RAMP_DOWN_PATH, IDC_PL_RAMP_DOWN_BROWSE};
inline constexpr SpeedGroupIds kTapeRewindSpeedIds{
    IDC_PL_TR_CONSTANT,       IDC_PL_TR_RAMP_UP,       IDC_PL_TR_CONSTANT_SPEED, IDC_PL_TR_RAMP_UP_PATH,
    IDC_PL_TR_RAMP_UP_BROWSE, IDC_PL_TR_USE_RAMP_DOWN, IDC_PL_TR_RAMP_DOWN_PATH, IDC_PL_TR_RAMP_DOWN_BROWSE};

// Constant speed enables the constant box and disables the ramp-up Browse,
// ramp-up the reverse; the ramp-down Browse follows its check box.
void applySpeedRules(ui::Dialog& dlg, const SpeedGroupIds& ids);
// Applies the rules whenever the speed choice or the ramp-down box changes.
void connectSpeedRules(ui::Dialog& dlg, const SpeedGroupIds& ids);

void showSpeed(ui::Dialog& dlg, const SpeedGroupIds& ids, const SpeedSettings& speed);
SpeedSettings readSpeed(const ui::Dialog& dlg, const SpeedGroupIds& ids);

// A Browse button of a panel: the open-file dialog, and the chosen path into
// the edit (the test dialogs have CTestDlg::bindBrowse).
void browseInto(ui::Dialog& dlg, int editId);

// The move parameters of a group from its speed settings.
void applySpeed(driver::MotorGroupParams& g, const SpeedSettings& speed);

// A radio group's index, 0 when none is checked.
int radioChoice(const ui::Dialog& dlg, int anyId);

// The Platen group (templates 135 and 136; no "VRef :" in 136) and the Tape
// Rewind group, as the platen and platen sensor tests read them at RUN.
PlatenMoveInput readPlatenMoveInput(const ui::Dialog& dlg);

// "Total No. of Pulses:" holds nothing but blanks.
bool isEmptyField(const ui::Dialog& dlg, int id);

// The worker's reports with the per-pulse batches sent rather than posted:
// the worker waits until the dialog has appended a batch before it hands
// over the next, so the window never has more than one batch to take in
// before it responds again, however fast the lines are made. The other
// reports pass through; the order of the lines is kept (one queue).
class PacedSink : public vantor::RunSink {
public:
    PacedSink(vantor::RunSink& inner, ui::MessagePort port) : m_inner(inner), m_port(std::move(port)) {}
    void addLine(QString line) override { m_inner.addLine(std::move(line)); }
    void addLines(QStringList lines) override;
    void cycleDone() override { m_inner.cycleDone(); }
    void idle() override { m_inner.idle(); }

private:
    vantor::RunSink& m_inner;
    ui::MessagePort m_port;
};

// Ends a test dialog's worker before the dialog's own members go: the
// worker's cycle reads the records that the derived dialog owns, and the
// base stops the worker only after they are destroyed. Closing first (the
// normal path) makes this a no-op.
void endWorker(vantor::CTestDlg& dlg);

} // namespace vantor::platen
