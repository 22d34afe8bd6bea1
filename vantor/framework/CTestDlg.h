#pragma once
// CTestDlg: what every cycling test dialog of Vantor shares, written once;
// TestDialog<Settings>: the same with its controls bound to a copy of the
// test's settings record.
//
// A test is a template, a settings record, its Qt-free run logic (a
// TestDefinition: checks and a TestRun built from the record's values) and
// a thin dialog:
//
//     class CPlatenDlg : public vantor::TestDialog<CPlatenSettings> {
//     public:
//         explicit CPlatenDlg(QWidget* parent = nullptr)
//             : TestDialog(IDD_PLATEN, kPlatenTest, parent)   // definition, Commit::AtRun
//         {
//             bind(IDC_PLATEN_PULSES, m_values.totalPulses);  // the copy, not the record
//             bindSpeedGroup(kPlatenSpeedIds, m_values.speed);
//         }
//     };
//
// Order of events:
//   constructor   FetchTestSettings(index); the copy m_values taken from it;
//                 "Total Cycle:" / "Pause betwen Cycle (ms):" bound.
//   init          updateData(false), "Cummulative Cycle:" from the record,
//                 "Cycle:" 0, showRecord(); PRN1: opened; worker started.
//   RUN (1022)    updateData(true); validate() and then prepareRun(): a
//                 refusal shows one box captioned "Vantor" and changes
//                 nothing (record, "Cycle:", Vantor.ini). Else the values are
//                 committed (Commit::AtRun), RUN disabled, "Cycle:" 0, the
//                 start lines sent, and the runner takes the run.
//   worker        run->cycle(n, total, sink) per cycle; cycle-done; after the
//                 last cycle "== End ==" and " ". Long line lists reach the
//                 list in batches of kLineBatch, each sent (the worker waits
//                 until the list took it).
//   idle          RUN enabled (about 1 s after a run ends or is stopped),
//                 then onWorkerIdle().
//   close         onClosing(); values committed (Commit::AtClose); messages
//                 closed; quit set; up to three waits of 5000 ms, then
//                 onCloseOverdue() and on without limit; IDCANCEL.
//   destructor    the worker is stopped if still running (it holds only the
//                 run, the sink and the handle, never the dialog), then
//                 StoreTestSettings(index) (record and Vantor.ini).
//   Enter         nothing, unless a push button has the focus (it is pressed).
#include <QString>
#include <atomic>
#include <functional>
#include <initializer_list>
#include <vector>
#include <memory>

#include "platform/Device.h"
#include "ui/Dialog.h"
#include "ui/Prompts.h"
#include "vantor/framework/TestDefinition.h"
#include "vantor/framework/TestRunner.h"
#include "vantor/measure/Measurements.h"
#include "vantor/measure/Record.h"
#include "vantor/res/resource.h"
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

// The common controls of every cycling test dialog, named once in
// vantor/res/resource.h (the templates use the same names).
namespace common {
constexpr int kTotalCycle = IDC_TOTAL_CYCLE;           // "Total Cycle:"
constexpr int kPause = IDC_PAUSE;                      // "Pause betwen Cycle (ms):"
constexpr int kCycle = IDC_CYCLE;                      // "Cycle:" (read-only)
constexpr int kCumulativeCycle = IDC_CUMULATIVE_CYCLE; // "Cummulative Cycle:" (read-only)
constexpr int kResultList = IDC_RESULT_LIST;           // LISTBOX in the group "Result "
constexpr int kRun = IDC_RUN;                          // "RUN"
constexpr int kStop = IDC_STOP;                        // "Stop"
constexpr int kReset = IDC_RESET;                      // "Reset"
constexpr int kClear = IDC_CLEAR;                      // "Clear"
constexpr int kSaveToFile = IDC_SAVE_TO_FILE;          // "Save To File..."
} // namespace common

// The program's name: caption of the validation box.
inline const QString kProgramName = QStringLiteral("Vantor");

class CTestDlg : public ui::Dialog {
    Q_OBJECT
public:
    // `settingsIndex`: the test's index in the settings store (TestSettingsIndex);
    // -1 for a dialog without a record (counts then live in the dialog only).
    CTestDlg(int templateId, int settingsIndex, QWidget* parent = nullptr, Commit commit = Commit::AtRun);
    ~CTestDlg() override;

    // The filters of the file dialogs.
    static const QString kResultFilter; // "Text (*.txt)|*.txt|All Files (*.*)|*.*||"
    static const QString kBrowseFilter; // "All Files (*.*)|*.*||"

    // State for tests and tools.
    int settingsIndex() const { return m_settingsIndex; }
    // The start button: 1022 "RUN", or the one a test names (useRunButton).
    int runButton() const { return m_runId; }
    bool isRunning() const;
    // True from opening and again about one second after a run ends or is
    // stopped (RUN enabled); false while a run may be in progress.
    bool workerIdle() const { return m_workerIdle; }
    TestRunner& runner() { return *m_runner; }
    ui::ResultList* results() const;
    // The settings section of the test ("Platen"); empty for a dialog without one.
    QString section() const;

    // A show/enable rule: applied when the dialog shows its values and again
    // after each command of `triggers` (radios, check boxes).
    void addRule(std::function<void()> rule, std::initializer_list<int> triggers);

protected:
    // For a template whose start button is not 1022 (the print tests' 1012
    // "PRINT"); called from the derived constructor.
    void useRunButton(int id);

    // --- hooks --------------------------------------------------------------
    // Init, after the bindings were shown: the test's own control set-up
    // (ranges, combo items, show/hide rules).
    virtual void showRecord() {}
    // RUN: the validation messages, each ending in "\n"; empty accepts. The
    // base checks "Total Cycle:".
    virtual QString validate();
    // RUN, after validation, on the user-interface thread: the run, built
    // from the dialog's values, or the refusal.
    virtual PreparedRun prepareRun() = 0;
    // The edited values into the settings record, when the commit policy
    // says (the base copies "Total Cycle:" and the pause).
    virtual void commitValues();
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
    // PRN1:, open from initialisation to destruction; a run shares it.
    const DriverRef& driverRef() const { return m_driver; }
    // The values that RUN read from "Total Cycle:" and the pause field.
    int totalCycles() const { return m_totalCycles; }
    int pauseMs() const { return m_pauseMs; }
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
    // The run's record: its lines and measurements as the list takes them,
    // published at the run's end, after a Stop, or at close.
    void beginRecord();
    void recordLine(const QString& line);
    void publishRun(measure::Verdict ended);
    void onAddLine(ui::Message& m);
    void onCycleDone(ui::Message& m);
    void onIdle(ui::Message& m);
    void setCumulative(long long value);
    void stopWorker();
    void applyRules();

    int m_settingsIndex;
    int m_runId;
    Commit m_commit;
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
    // False from RUN until the worker reports idle.
    bool m_workerIdle = true;

    std::vector<std::function<void()>> m_rules;
    std::unique_ptr<measure::Collector> m_collector; // set while a run is recorded
    measure::StepRecord m_step;
    bool m_stopPressed = false;
    DriverRef m_driver;
    std::unique_ptr<Sink> m_sink;
    std::unique_ptr<TestRunner> m_runner; // stopped before the sink goes
};

// A test dialog whose controls are bound to m_values, a copy of its
// settings record, checked and run through the test's definition.
template <class Settings>
class TestDialog : public CTestDlg {
public:
    using Definition = TestDefinition<Settings>;

protected:
    TestDialog(int templateId, const Definition& definition, QWidget* parent = nullptr,
               Commit commit = Commit::AtRun, int settingsIndex = Settings::kIndex)
        : CTestDlg(templateId, settingsIndex, parent, commit), m_values(record<Settings>()), m_definition(definition)
    {
    }

    QString validate() override
    {
        QString messages = m_definition.checksTotalCycle ? CTestDlg::validate() : QString();
        if (m_definition.validate)
            messages += m_definition.validate(values());
        return messages;
    }
    PreparedRun prepareRun() override { return m_definition.prepare(values(), driverRef()); }
    void commitValues() override
    {
        Settings& r = record<Settings>();
        const int32_t cumulative = r.cumulativeCycle;
        r = values();
        r.cumulativeCycle = cumulative;
    }
    // The copy with "Total Cycle:" and the pause as RUN read them.
    const Settings& values()
    {
        m_values.cycle = totalCycles();
        m_values.pause = pauseMs();
        return m_values;
    }

    Settings m_values; // what the controls show and edit
    const Definition& m_definition;
};

} // namespace vantor
