#pragma once
// "Vantor Station": the production line's window. The operator picks a
// sequence, scans a printer's serial (the scanner types it and presses
// Enter, which starts the run), and reads the verdict from across the
// bench. Steps run on the runner's worker; the window only shows what the
// worker reports, through the inbox, and never waits for it except when it
// closes.
#include <QMainWindow>
#include <QString>
#include <memory>

#include "vantor/station/RecentSequences.h"
#include "vantor/station/SequenceEngine.h"
#include "vantor/station/StationHistory.h"
#include "vantor/station/StationModel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace ui {
class ResultList;
}

namespace vantor::station {

class StationInbox;

class StationWindow : public QMainWindow {
    Q_OBJECT
public:
    // `history` may be null (no records store): "History" then stays empty.
    StationWindow(SequenceEngine& engine, StationHistory* history, RecentSequences recent, QWidget* parent = nullptr);
    ~StationWindow() override;

    // Loads a sequence file. A file that does not load shows its error in
    // a box and keeps the sequence that was there. True when it loaded.
    bool openSequence(const QString& path);
    // Start, as the button does: refused with a box when no sequence is
    // loaded or the serial is required and empty.
    void start();
    void stop();

    const StationModel& model() const { return m_model; }
    const RecentSequences& recent() const { return m_recent; }
    QString stationName() const { return m_station; }

    // The controls, for tests and the screenshot tool.
    QComboBox* sequenceChooser() const { return m_chooser; }
    QPushButton* openButton() const { return m_open; }
    QLineEdit* serialEdit() const { return m_serial; }
    QPushButton* startButton() const { return m_start; }
    QPushButton* stopButton() const { return m_stop; }
    QTreeWidget* stepList() const { return m_steps; }
    QProgressBar* sequenceProgress() const { return m_progress; }
    QLabel* elapsedLabel() const { return m_elapsed; }
    QLabel* verdictLabel() const { return m_verdict; }
    QLabel* reasonLabel() const { return m_reason; }
    ui::ResultList* resultList() const { return m_results; }
    // The step whose lines the result list holds; -1 before the first.
    int resultsStep() const { return m_resultsStep; }
    QTreeWidget* historyList() const { return m_history; }

    // Reads the history again (after a run, or when the serial changes).
    void refreshHistory();
    // Opens the record of a history row (what a double click does); the box
    // is modal.
    void openRecord(const QString& uuid);

    // The state texts and colours of the step list and the verdict.
    static QString verdictCaption(const QString& verdict);

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    void build();
    void browse();
    void chooserActivated(int index);
    void fillChooser();
    void drain();
    void showSequence();
    void showStep(int index);
    void showProgress();
    void showVerdict();
    void showElapsed();
    void updateButtons();
    void shutDown();

    SequenceEngine& m_engine;
    StationHistory* m_history_source;
    RecentSequences m_recent;
    StationModel m_model;
    std::unique_ptr<StationInbox> m_inbox;
    QString m_station;
    QList<QJsonObject> m_sessionRuns; // this window's runs, until the store has them
    QString m_historySerial;          // the serial the history shows
    bool m_shutDown = false;
    bool m_filling = false;
    int m_resultsStep = -1;

    QComboBox* m_chooser = nullptr;
    QPushButton* m_open = nullptr;
    QLabel* m_sequenceName = nullptr;
    QLineEdit* m_serial = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
    QTreeWidget* m_steps = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_elapsed = nullptr;
    QLabel* m_verdict = nullptr;
    QLabel* m_reason = nullptr;
    ui::ResultList* m_results = nullptr;
    QTreeWidget* m_history = nullptr;
    QTimer* m_tick = nullptr;
};

} // namespace vantor::station
