#pragma once
// The sensor calibrations: the small menu "Sensor Calibration" (148) and its
// two wizards, "Gap Sensor Calibration" (149) and "Color Sensor
// Calibration" (150). Each wizard step sends its requests from the
// user-interface thread. A wizard that ends its last step leaves a run
// record of its own with the values it read.
#include <QDateTime>

#include "platform/Device.h"
#include "protocol/CommandBlock.h"
#include "ui/Dialog.h"

namespace pellam {

class CSensorCalibrate : public ui::Dialog {
public:
    explicit CSensorCalibrate(QWidget* parent = nullptr);
};

class CGapSensorCalibrate : public ui::Dialog {
public:
    explicit CGapSensorCalibrate(QWidget* parent = nullptr);

protected:
    bool onInitDialog() override;

private:
    void onFirstNext();
    void onSecondNext();

    platform::DeviceHandle m_driver;
    protocol::CommandBlock m_block;
    QDateTime m_start; // of the first step, for the record
};

class CColorSensorCalibrate : public ui::Dialog {
public:
    explicit CColorSensorCalibrate(QWidget* parent = nullptr);

protected:
    bool onInitDialog() override;

private:
    void onNext();

    platform::DeviceHandle m_driver;
    protocol::CommandBlock m_block;
};

} // namespace pellam
