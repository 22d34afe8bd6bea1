#pragma once
// "FIDUCIAL CALIBRATION" (template 140), run by "MANUAL CALIBRATE": one
// colour's emitter DAC value set with its slider and the detector read back
// ("Read" lights only that colour). OK keeps the slider positions as the
// DAC values and the colour as "ColorType"; Cancel keeps the values it was
// given. Its worker takes one pending step at each time-out.
#include <array>
#include <memory>

#include "vantor/screens/fiducial/FiducialSteps.h"
#include "vantor/screens/sensor/CReadingDlg.h"

class CFiducialSettings;

class CFiducialCalibrationDlg : public vantor::sensor::CReadingDlg {
    Q_OBJECT
public:
    using ColorBytes = vantor::fiducial::ColorBytes;
    using Flags = std::array<int, vantor::fiducial::kColors>;

    // The fiducial dialog's DAC values, detector readings and markers (1: "*").
    CFiducialCalibrationDlg(const ColorBytes& dac, const ColorBytes& detector, const Flags& flags,
                            QWidget* parent = nullptr);
    ~CFiducialCalibrationDlg() override;

    ColorBytes dacValues() const { return m_dac; }
    Flags flags() const { return m_flags; }

    static int sliderId(int color);
    static int valueId(int color);
    static int detectorId(int color);
    static int markerId(int color);

protected:
    void initControls() override;
    void startWorker() override;
    void onOK() override;

private:
    void OnRead();
    void OnSlider(int color);
    void showColor();
    void refresh();

    CFiducialSettings* m_record;
    int m_color = 0;
    ColorBytes m_dac;
    ColorBytes m_detector;
    Flags m_flags;
    std::shared_ptr<vantor::fiducial::CalibrationSteps> m_steps;
};
