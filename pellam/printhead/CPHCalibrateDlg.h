#pragma once
// "Printhead Calibration" (template 144): stores a print head resistor value
// in the driver, within fixed limits, and reads back the one it holds.
#include <cstdint>
#include <optional>
#include <QString>

#include "platform/Device.h"
#include "ui/Dialog.h"

namespace pellam {

constexpr int32_t kHeadResistorMin = 1074;
constexpr int32_t kHeadResistorMax = 1184;
// A read-back above this (unsigned) means no value has been set.
constexpr uint32_t kHeadResistorUnsetAbove = 2157;

bool headResistorInRange(int32_t value);
// What "Read" shows for the driver's word.
QString headResistorText(uint32_t value);

class CPHCalibrateDlg : public ui::Dialog {
public:
    explicit CPHCalibrateDlg(QWidget* parent = nullptr);

protected:
    bool onInitDialog() override;

private:
    void onSave();
    void onRead();
    void resetEntry();

    platform::DeviceHandle m_driver;
    int32_t m_value = 0;
    std::optional<uint32_t> m_readBack; // the last value "Read" showed
    bool m_validating = false;
};

} // namespace pellam
