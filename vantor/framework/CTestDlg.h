#pragma once
// CTestDlg: what every cycling test dialog of Vantor shares, written once.
//
// A test is a thin dialog over this base: its template (with the common
// controls below), its settings record, its own controls and one cycle of
// requests. Typical shape:
//
//     class CPlatenDlg : public vantor::CTestDlg {
//     public:
//         explicit CPlatenDlg(QWidget* parent = nullptr)
//             : CTestDlg(IDD_PLATEN, kTestPlaten, parent)
//         {
//             auto& r = record<CPlatenSettings>();       // fetched (loaded) by the base
//             m_pulses = r.totalPulses;                     // members shown by data exchange
//             bind(IDC_PLATEN_PULSES, m_pulses);
//             bindBrowse(IDC_PLATEN_BROWSE_UP, IDC_PLATEN_RAMP_UP);
//         }
//     protected:
//         QString validate() override {                     // base adds "Total Cycle" first
//             QString m = CTestDlg::validate();
//             if (m_pulses < 1) m += "\"Total No. of Pulses\" must greater than 0.\n";
//             return m;
//         }
//         void copyToRecord() override { record<CPlatenSettings>().totalPulses = m_pulses; }
//         bool buildRecords() override { ...fill m_params...; return true; }    // UI thread
//         void runCycle(int cycle, vantor::RunSink& out) override {             // worker thread
//             bool ok = protocol::sendCommand(driver(), IOCTL_PRN_MOTION, m_block, 1, 3, ...);
//             out.addLine(ok ? QString("%1. Total encode = %2 ").arg(cycle).arg(n)
//                            : QString("%1. Run Platen - FAIL").arg(cycle));
//         }
//     private:
//         int m_pulses = 0;
//         ...
//     };
//
// Order of events:
//   constructor   FetchTestSettings(index) (record() is valid from here on);
//                 "Total Cycle:" / "Pause betwen Cycle (ms):" bound to
//                 members that start from the record's cycle / pause.
//   init          updateData(false) (every binding, the base's and the test's),
//                 "Cummulative Cycle:" from the record, "Cycle:" 0, then
//                 showRecord(); PRN1: opened; worker started.
//   RUN (1022)    updateData(true); validate() -> one box captioned "Vantor"
//                 and nothing else when not empty; record.cycle/pause and
//                 copyToRecord(); RUN disabled, "Cycle:" 0; buildRecords()
//                 (false: RUN enabled again, no run); "== Start ==" and the
//                 time line sent; the run starts.
//   worker        runCycle(n, sink) per cycle (n from 1), then the base posts
//                 cycle-done; after the last cycle "== End ==" and " ".
//   idle          RUN enabled (about 1 s after a run ends or is stopped),
//                 then onWorkerIdle().
//   close         onClosing(); messages closed (late posts are dropped,
//                 their cycles still counted); quit set; up to three waits
//                 of 5000 ms, then onCloseOverdue() and on without limit
//                 while the worker is still inside a request; IDCANCEL.
//   Enter         nothing, unless a push button has the focus (it is pressed).
//   destructor    StoreTestSettings(index) (record and Vantor.ini).
//
// Threads: runCycle() runs on the worker. It may read what buildRecords()
// and copyToRecord() wrote (the user-interface thread writes them only while
// the worker is idle: RUN stays disabled until then) and the driver handle;
// it never touches widgets or the record. It reports through the sink only
// (lines, batches), or posts its own messages with port().
//
// A dialog must be closed (Escape, the close box, command(IDCANCEL)) before
// it is destroyed while a run may be in progress: the close path waits for
// the worker, so that runCycle() never runs on a half-destroyed dialog.
// doModal() and the menu always close first; a test that ends itself goes
// through onCancel() too, not endDialog().
#include <QString>
#include <atomic>
#include <memory>

#include "platform/Device.h"
#include "ui/Dialog.h"
#include "ui/Prompts.h"
#include "vantor/framework/TestRunner.h"
#include "vantor/settings/CTestSettings.h"

namespace ui {
class ResultList;
}

namespace vantor {

// Messages that workers post to their dialogs.
constexpr int WM_CYCLE_DONE = ui::WM_USER + 101;     // 1125
constexpr int WM_ADD_LINE = ui::WM_USER + 102;       // 1126; lParam 1: a QStringList
constexpr int WM_READINGS_READY = ui::WM_USER + 103; // 1127
constexpr int WM_BUSY_ENDED = ui::WM_USER + 104;     // 1128
constexpr int WM_PH_TRIGGERED = ui::WM_USER + 106;   // 1130
constexpr int WM_ADD_REV = ui::WM_USER + 107;        // 1131

// The common controls of every cycling test dialog (also in vantor/res/resource.h).
namespace common {
constexpr int kTotalCycle = 1013;      // "Total Cycle:"
constexpr int kPause = 1014;           // "Pause betwen Cycle (ms):"
constexpr int kCycle = 1016;           // "Cycle:" (read-only)
constexpr int kCumulativeCycle = 1017; // "Cummulative Cycle:" (read-only)
constexpr int kResultList = 1004;      // LISTBOX in the group "Result "
constexpr int kRun = 1022;             // "RUN"
constexpr int kStop = 1122;            // "Stop"
constexpr int kReset = 1021;           // "Reset"
constexpr int kClear = 1024;           // "Clear"
constexpr int kSaveToFile = 1005;      // "Save To File..."
} // namespace common

// The program's name: caption of the validation box.
inline const QString kProgramName = QStringLiteral("Vantor");

class CTestDlg : public ui::Dialog {
    Q_OBJECT
public:
    // `settingsIndex`: the test's index in the settings store (TestSettingsIndex);
    // -1 for a dialog without a record (counts then live in the dialog only).
    CTestDlg(int templateId, int settingsIndex, QWidget* parent = nullptr);
    ~CTestDlg() override;

    // The filters of the file dialogs.
    static const QString kResultFilter; // "Text (*.txt)|*.txt|All Files (*.*)|*.*||"
    static const QString kBrowseFilter; // "All Files (*.*)|*.*||"

    // State for tests and tools.
    int settingsIndex() const { return m_settingsIndex; }
    bool isRunning() const;
    // True from opening and again about one second after a run ends or is
    // stopped (RUN enabled); false while the worker may use the records.
    bool workerIdle() const { return m_workerIdle; }
    TestRunner& runner() { return *m_runner; }
    ui::ResultList* results() const;

protected:
    // --- hooks --------------------------------------------------------------
    // Init, after the bindings were shown: the test's own control set-up
    // (ranges, combo items, values that are not bound).
    virtual void showRecord() {}
    // RUN, after validation: the test's controls (or bound members) into the
    // record. The base has already copied "Total Cycle:" and the pause.
    virtual void copyToRecord() {}
    // RUN: the validation messages, each ending in "\n"; empty accepts. The
    // base checks "Total Cycle:" (override without calling it for a test
    // that does not validate).
    virtual QString validate();
    // RUN, after the copy, on the user-interface thread: the request records
    // of the run. Return false to refuse the run (after telling the operator).
    virtual bool buildRecords() { return true; }
    // One cycle, on the worker thread: requests and result lines. `cycle` is
    // the number of the cycle in this run, from 1.
    virtual void runCycle(int cycle, RunSink& sink) = 0;
    // The worker went idle and RUN is enabled again (user-interface thread).
    virtual void onWorkerIdle() {}
    // Close, before the worker is stopped (user-interface thread).
    virtual void onClosing() {}
    // Close: the three waits ran out with the worker still inside a
    // request; the dialog now waits on until the request returns.
    virtual void onCloseOverdue() {}

    // --- for the tests ------------------------------------------------------
    CTestSettings* settingsRecord() const { return m_record; }
    template <class T>
    T& record() const
    {
        return dynamic_cast<T&>(*m_record);
    }
    // PRN1:, open from initialisation to destruction.
    platform::DeviceHandle& driver() { return m_driver; }
    // The values that RUN read from "Total Cycle:" and the pause field.
    int totalCycles() const { return m_totalCycles; }
    int pauseMs() const { return m_pauseMs; }
    // A "Browse" button beside a file edit: the open-file dialog, and the
    // chosen path into the edit.
    void bindBrowse(int buttonId, int editId);
    // Appends a line at once (user-interface thread), as add-line does.
    void addLine(const QString& line);
    // Shows one message box with the program's name as caption.
    int message(const QString& text, ui::MsgButtons buttons = ui::MsgButtons::Ok,
                ui::MsgIcon icon = ui::MsgIcon::None);

    bool onInitDialog() override;
    void onOK() override {}  // Enter does nothing in a test dialog
    void onCancel() override; // Escape, the close box
    // Enter presses a focused button only: it never reaches a default button
    // (RUN) from an edit field.
    void keyPressEvent(QKeyEvent* e) override;

    // The common buttons, for a test that wraps them.
    virtual void OnRun();
    virtual void OnStop();
    virtual void OnReset();
    virtual void OnClear();
    virtual void OnSaveToFile();

private:
    class Sink;
    void onAddLine(ui::Message& m);
    void onCycleDone(ui::Message& m);
    void onIdle(ui::Message& m);
    void setCumulative(int value);
    void stopWorker();

    int m_settingsIndex;
    CTestSettings* m_record = nullptr;
    int m_totalCycles = 0; // "Total Cycle:" (data exchange)
    int m_pauseMs = 0;     // "Pause betwen Cycle (ms):" (data exchange)
    int m_cycle = 0;       // "Cycle:"
    int m_cumulative = 0;  // "Cummulative Cycle:" when there is no record
    // Cycle-done notices posted by the worker / applied by the dialog: the
    // difference still counts when closing drops notices in the queue.
    std::atomic<int> m_cyclesPosted{0};
    int m_cyclesApplied = 0;
    bool m_closed = false;
    // False from RUN until the worker reports idle: the records are the
    // worker's in between.
    bool m_workerIdle = true;

    platform::DeviceHandle m_driver;
    std::unique_ptr<Sink> m_sink;
    std::unique_ptr<TestRunner> m_runner; // before m_driver on destruction
};

} // namespace vantor
