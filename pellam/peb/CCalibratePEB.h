#pragma once
// "PEB Calibration" (template 151): the ten distances and the cut-force
// coefficients M and C read from the driver, edited, checked against the
// defaults and tolerances of \boot\Pellam.ini, and written back.
#include <QDateTime>
#include <array>
#include <vector>

#include "pellam/driver/PebWrite.h"
#include "pellam/peb/PebCheck.h"
#include "platform/Device.h"
#include "ui/Dialog.h"

namespace pellam {

class CCalibratePEB : public ui::Dialog {
public:
    explicit CCalibratePEB(QWidget* parent = nullptr);

protected:
    bool onInitDialog() override;

private:
    void showValues();
    void onSave();
    void onRestore();
    // The save as a record of its own: what the driver held, what it holds now.
    void recordSave(const std::vector<const peb::PebField*>& failed, const QDateTime& start);
    void rememberDriverValues();

    platform::DeviceHandle m_driver;
    protocol::CommandBlock m_block;
    // The driver answers each write into the value it was sent, so the
    // values live in caller memory.
    driver::PebItemValues m_values;
    driver::CutForceValues m_cutForce;
    // What the driver holds as far as this screen knows (read at the start,
    // then each save's writes).
    std::array<uint32_t, peb::kPebFields.size()> m_driverWords{};
    float m_driverM = 0.0f, m_driverC = 0.0f;
};

} // namespace pellam
