#include "vantor/screens/cartridge/CalibrationDlg.h"

#include "vantor/framework/CTestDlg.h"

namespace vantor::cartridge {

CalibrationDlg::CalibrationDlg(int templateId, QWidget* parent) : ui::Dialog(templateId, parent)
{
    onMessage(WM_READINGS_READY, [this](ui::Message& m) {
        if (auto* r = m.payload.get<StepReply>()) {
            ++m_replies;
            onReply(*r);
        }
    });
}

CalibrationDlg::~CalibrationDlg()
{
    closeMessages();
    m_worker.reset(); // waits for a request in progress; the worker holds no part of the dialog
}

bool CalibrationDlg::onInitDialog()
{
    const bool focus = initControls();
    m_worker = std::make_unique<RequestWorker>(openDriver(), [port = port()](StepReply r) {
        port.post(WM_READINGS_READY, 0, 0, ui::Payload::of(std::move(r)));
    });
    m_worker->start();
    return focus;
}

void CalibrationDlg::submit(const DriverStep& step)
{
    if (m_worker)
        m_worker->submit(step);
}

void CalibrationDlg::onCancel()
{
    closeMessages();
    if (m_worker)
        m_worker->close();
    ui::Dialog::onCancel();
}

} // namespace vantor::cartridge
