#pragma once
// "GPIO TEST" (template 158): reads or sets one 8-pin group, bit by bit,
// through the pin panel. "In" reads, "Out" sets; only output pins are
// editable.
#include <memory>

#include "vantor/screens/sensor/CPinDlg.h"
#include "vantor/screens/sensor/ConverterRuns.h"
#include "vantor/screens/sensor/CReadingDlg.h"

class CGPIODlg : public vantor::sensor::CReadingDlg {
    Q_OBJECT
public:
    explicit CGPIODlg(QWidget* parent = nullptr);
    ~CGPIODlg() override;
    CPinDlg* pins() const { return m_pins.get(); }

protected:
    void initControls() override;
    void startWorker() override;

private:
    void OnSelect();
    void OnDirection();
    void OnRead();
    void OnSet();
    void OnReadingsReady(ui::Message& m);
    void enableByDirection();
    // The chosen row's group, or null.
    const protocol::GpioGroup* selectedGroup() const;

    int m_direction = 1; // 0 "Out", 1 "In"
    std::unique_ptr<CPinDlg> m_pins;
    std::shared_ptr<vantor::sensor::GpioRequest> m_request;
};
