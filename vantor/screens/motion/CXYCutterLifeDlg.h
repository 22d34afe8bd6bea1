#pragma once
// "XY CUTTER LIFE TEST" (template 143): one complete test sequence of the XY
// cutter per cycle ("Homing", "Aging" or "Pinch"), with the two axis panels
// (template 149) at (0, 55), one visible at a time. The values go into the
// "XY Cutter Life" record when the dialog closes.
#include <memory>

#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/motion/CXYCutterSettingDlg.h"
#include "vantor/screens/motion/XYCutterRun.h"

class CXYCutterLifeDlg : public vantor::TestDialog<CXYCutterLifeSettings> {
public:
    explicit CXYCutterLifeDlg(QWidget* parent = nullptr);
    ~CXYCutterLifeDlg() override;

    static constexpr QPoint kPanelPos{0, 55};
    CXYCutterSettingDlg* panel(int axis) const { return axis == 1 ? m_down.get() : m_cross.get(); }

protected:
    void showRecord() override;
    QString validate() override;
    void commitValues() override;

private:
    void readPanels();
    void showPanel();
    void showTestType();

    std::unique_ptr<CXYCutterSettingDlg> m_cross;
    std::unique_ptr<CXYCutterSettingDlg> m_down;
};
