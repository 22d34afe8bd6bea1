#pragma once
// "Print Test Menu" (template 138): a checkerboard of a chosen square size
// and length, printed once or continuously on a worker, and its preview.
//
// The worker owns what it uses (the driver handle, the print image, the stop
// and close requests) through a shared record, and reaches the dialog only
// by posted messages, so it never touches a destroyed dialog. One worker at
// a time: "Print" is refused while the last one is still finishing its job
// (after "Stop"), and closing waits for it.
#include <atomic>
#include <memory>

#include "pellam/print/CPrintImage.h"
#include "platform/Device.h"
#include "platform/Thread.h"
#include "ui/Dialog.h"
#include "ui/Messages.h"

namespace pellam {

// Worker to dialog: wParam is a PrintEvent, lParam the job count.
constexpr int WM_PRINT_EVENT = ui::WM_USER + 120;

class CPrintDlg : public ui::Dialog {
public:
    enum PrintEvent { SingleStarted, SingleEnded, ContinuousStarted, JobStarted, JobDone, ContinuousEnded };

    explicit CPrintDlg(QWidget* parent = nullptr);
    ~CPrintDlg() override;

    // A worker is running (printing, or finishing its last job after "Stop").
    bool workerRunning() const;
    // Ends the worker: stop and close requested, the busy wait given up.
    void stopWorker();

    struct Shared {
        platform::DeviceHandle driver;
        CPrintImage image;
        std::atomic<bool> stop{false};
        std::atomic<bool> closing{false};
    };

protected:
    bool onInitDialog() override;
    void onCancel() override;

private:
    void onSlider();
    void onPrint();
    void onStop();
    void onPreview();
    void onPrintEvent(ui::Message& m);
    void setPrinting(bool printing);

    std::shared_ptr<Shared> m_shared = std::make_shared<Shared>();
    std::unique_ptr<platform::WorkerThread> m_worker;
    int m_pixels = 8;
    int m_inches = 3;
};

} // namespace pellam
