#pragma once
// "FIDUCIAL TEST" (template 138): the emitter DAC values and detector
// readings, read at opening and again after "MANUAL CALIBRATE" (which runs
// CFiducialCalibrationDlg and writes the values back), and the fiducial test
// run for a number of cycles. The two axis panels (template 141) sit at
// (10, 210), the chosen axis's shown. The worker takes one pending step at
// each time-out of its wait; the values go into "Fiducial" when the dialog
// closes.
#include <QPoint>
#include <array>
#include <functional>
#include <memory>

#include "vantor/framework/CTestDlg.h"
#include "vantor/screens/fiducial/CFiducialCalibrationDlg.h"
#include "vantor/screens/fiducial/CFiducialSettingDlg.h"
#include "vantor/screens/fiducial/FiducialSteps.h"

class CFiducialDlg : public vantor::TestDialog<CFiducialSettings> {
    Q_OBJECT
public:
    explicit CFiducialDlg(QWidget* parent = nullptr);
    ~CFiducialDlg() override;

    static constexpr QPoint kPanelPos{10, 210};
    CFiducialSettingDlg* panel(int axis) const { return axis == 1 ? m_down.get() : m_cross.get(); }
    const vantor::fiducial::FiducialSteps& steps() const { return *m_steps; }

    // How "MANUAL CALIBRATE" runs the calibration dialog: modally, unless a
    // test drives it; returns its end code.
    using CalibrationRunner = std::function<int(CFiducialCalibrationDlg&)>;
    void setCalibrationRunner(CalibrationRunner run) { m_runCalibration = std::move(run); }

    static int dacId(int color) { return IDC_FID_DAC_RED + color; }
    static int detectorId(int color) { return IDC_FID_DET_RED + color; }
    static int markerId(int color) { return IDC_FID_MARK_RED + color; }
    static int crossOffsetId(int color) { return IDC_FID_CROSS_RED + color; }
    static int downOffsetId(int color) { return IDC_FID_DOWN_RED + color; }

protected:
    bool onInitDialog() override;
    void showRecord() override;
    QString validate() override;
    vantor::PreparedRun prepareRun() override;
    void commitValues() override;
    void onWorkerIdle() override;
    void OnRun() override;

private:
    void OnCalibrate();
    void refresh(bool busyEnded);
    void busy();
    void showColor();
    void showAxis();
    void readPanels();

    int m_axis = 0; // 0 cross-web, 1 down-web panel shown
    std::shared_ptr<vantor::fiducial::FiducialSteps> m_steps;
    std::unique_ptr<CFiducialSettingDlg> m_cross;
    std::unique_ptr<CFiducialSettingDlg> m_down;
    CalibrationRunner m_runCalibration;
};
