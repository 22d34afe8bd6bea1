#pragma once
// "Error Log" (template 135): \Store\Error_Log.txt listed line by line by a
// loader thread, and its first 20 lines printed by a print worker.
//
// Neither worker touches the dialog: the loader hands its lines over by
// send() (it waits until the list took a batch, so a log of any size streams
// in without the window falling behind or the queue filling), the print
// worker owns the driver handle and the print image through a shared record
// and reports by post(). Closing stops taking messages, which releases a
// loader waiting in send(), and joins both before the dialog goes.
#include <atomic>
#include <memory>

#include "pellam/print/CPrintImage.h"
#include "platform/Device.h"
#include "platform/Thread.h"
#include "ui/Dialog.h"
#include "ui/Messages.h"

namespace pellam {

// Loader and print worker to dialog.
constexpr int WM_LOG_OPENED = ui::WM_USER + 130; // wParam 1 opened, lParam 1 non-empty
constexpr int WM_LOG_LINES = ui::WM_USER + 131;  // payload: QStringList
constexpr int WM_LOG_PRINTED = ui::WM_USER + 132;

class CErrorLogDlg : public ui::Dialog {
public:
    explicit CErrorLogDlg(QWidget* parent = nullptr);
    ~CErrorLogDlg() override;

    // 1 while there is nothing to print (no file, or an empty one).
    int nothingToPrint() const { return m_nothingToPrint; }
    bool loading() const;
    bool printing() const;

    struct PrintShared {
        platform::DeviceHandle driver;
        CPrintImage image;
        std::atomic<bool> closing{false};
    };

protected:
    bool onInitDialog() override;
    void onCancel() override;
    void onOK() override {} // Enter does nothing

private:
    void onPrint();
    void onOpened(ui::Message& m);
    void onLines(ui::Message& m);
    void onPrinted(ui::Message& m);
    void stopWorkers();

    int m_nothingToPrint = 1;
    std::shared_ptr<std::atomic<bool>> m_cancelLoad = std::make_shared<std::atomic<bool>>(false);
    std::shared_ptr<PrintShared> m_print = std::make_shared<PrintShared>();
    std::unique_ptr<platform::WorkerThread> m_loader;
    std::unique_ptr<platform::WorkerThread> m_printer;
};

} // namespace pellam
