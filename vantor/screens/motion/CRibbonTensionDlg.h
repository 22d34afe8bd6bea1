#pragma once
// "RIBBON TENSION TEST" (template 133): each cycle a pulsed ribbon tension,
// with or without a slip-clutch move (and the platen with it, from the
// embedded platen panel). Section "Ribbon Tension" keeps only the cumulative
// count: every other value starts afresh at each opening.
#include <memory>

#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/CPlatenSettingDlg.h"
#include "vantor/screens/motion/RibbonTests.h"

class CRibbonTensionDlg : public vantor::TestDialog<CRibbonTensionSettings> {
    Q_OBJECT
public:
    // Where the panel sits in the dialog (pixels of the client area).
    static constexpr QPoint kPanelAt{18, 294};

    explicit CRibbonTensionDlg(QWidget* parent = nullptr);
    CPlatenSettingDlg* platenPanel() const { return m_panel.get(); }

protected:
    void showRecord() override;
    vantor::PreparedRun prepareRun() override;

private:
    void applySlipClutchRule();

    std::unique_ptr<CPlatenSettingDlg> m_panel;
};
