#pragma once
// "DAC TEST" (template 152): writes the typed 8-bit value to every channel
// of each ticked DAC once per "READ" and shows the level each channel
// should now have.
#include <array>
#include <memory>

#include "vantor/screens/sensor/CDacSettingDlg.h"
#include "vantor/screens/sensor/CReadingDlg.h"

class CDacDlg : public vantor::sensor::CReadingDlg {
    Q_OBJECT
public:
    explicit CDacDlg(QWidget* parent = nullptr);
    ~CDacDlg() override;
    CDacSettingDlg* panel(int dac) const { return m_panels[size_t(dac)].get(); }

protected:
    void initControls() override;
    void startWorker() override;

private:
    void OnRead();
    void applyEnabling();

    std::array<int, vantor::sensor::kDacs> m_enabled{}; // check boxes
    std::array<int, vantor::sensor::kDacs> m_values{};  // value boxes
    std::array<std::unique_ptr<CDacSettingDlg>, vantor::sensor::kDacs> m_panels;
    std::shared_ptr<vantor::sensor::DacWriter> m_writer;
};
