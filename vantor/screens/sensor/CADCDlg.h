#pragma once
// "ADC TEST" (template 153): reads the eight analogue inputs about every
// half second from "READ" until "Stop" and shows the raw readings.
#include <memory>

#include "vantor/screens/sensor/CDacSettingDlg.h"
#include "vantor/screens/sensor/CReadingDlg.h"

class CADCDlg : public vantor::sensor::CReadingDlg {
    Q_OBJECT
public:
    explicit CADCDlg(QWidget* parent = nullptr);
    ~CADCDlg() override;
    CDacSettingDlg* panel() const { return m_panel.get(); }

protected:
    void initControls() override;
    void startWorker() override;

private:
    void OnRead();
    void OnStop();

    std::unique_ptr<CDacSettingDlg> m_panel;
    std::shared_ptr<vantor::sensor::AdcReader> m_reader;
};
