#pragma once
// What the PEB calibration and cut-force screens share: their own PRN1:, a
// reduced worker that sends one queued request after another, and replies
// that come back to the dialog as messages, so that only the
// user-interface thread touches the boxes.
#include <memory>

#include "ui/Dialog.h"
#include "vantor/screens/cartridge/RequestWorker.h"

namespace vantor::cartridge {

class CalibrationDlg : public ui::Dialog {
    Q_OBJECT
public:
    CalibrationDlg(int templateId, QWidget* parent);
    ~CalibrationDlg() override;

    // Steps queued and not yet taken by the worker (tests).
    size_t pendingSteps() const { return m_worker ? m_worker->pending() : 0; }
    // Replies handled so far (tests).
    int repliesHandled() const { return m_replies; }

protected:
    // The screen's controls at opening; returns what onInitDialog returns.
    virtual bool initControls() = 0;
    // A request's outcome, on the user-interface thread.
    virtual void onReply(const StepReply& reply) = 0;
    void submit(const DriverStep& step);

    bool onInitDialog() override;
    void onOK() override {} // Enter does nothing
    void onCancel() override;

private:
    std::unique_ptr<RequestWorker> m_worker;
    int m_replies = 0;
};

} // namespace vantor::cartridge
