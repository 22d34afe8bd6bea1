#pragma once
// "RIBBON ADVANCE TEST" (template 134): each cycle up to three moves in a
// fixed order, rocker arm counter-clockwise, rocker arm clockwise, slip
// clutch (with the platen from the embedded panel). The view radios choose
// which move's controls are on show; each move's check box puts it in the
// run. "PH Triggered:" counts the successful counter-clockwise moves
// (message 1130). Section "Ribbon Advance" keeps only the cumulative count.
#include <memory>

#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/CPlatenSettingDlg.h"
#include "vantor/screens/motion/RibbonTests.h"

class CRibbonAdvanceDlg : public vantor::TestDialog<CRibbonAdvanceSettings> {
    Q_OBJECT
public:
    static constexpr QPoint kPanelAt{18, 240};
    enum View { kCounterClockwise = 0, kClockwise = 1, kSlipClutch = 2 };

    explicit CRibbonAdvanceDlg(QWidget* parent = nullptr);
    CPlatenSettingDlg* platenPanel() const { return m_panel.get(); }

protected:
    void showRecord() override;
    // With no move checked RUN does nothing at all.
    void OnRun() override;
    vantor::PreparedRun prepareRun() override;

private:
    void applyViewRule();
    void applyCounterClockwiseRule();
    void applyClockwiseRule();
    void applySlipClutchRule();
    void showPanel();

    std::unique_ptr<CPlatenSettingDlg> m_panel;
    int m_phTriggered = 0;
};
