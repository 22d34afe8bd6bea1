#pragma once
// The station's state without a widget: the loaded sequence, each step's
// state and progress, the verdict and the elapsed time (on platform::clock(),
// so tests move it by hand). The window feeds it the runner's reports on the
// user-interface thread and shows what it holds.
#include <QJsonObject>
#include <QString>
#include <optional>
#include <vector>

#include "platform/Clock.h"
#include "vantor/station/SequenceEngine.h"

namespace vantor::station {

struct StepRow {
    StepPlan plan;
    StepState state = StepState::Waiting;
    int done = 0;
    int total = 0;   // the plan's cycles until the runner says otherwise
    QString failing; // the failing measurement(s), or why the step did not run
};

class StationModel {
public:
    // A new sequence: every step waiting, no verdict. Refused (false) while a
    // run is in progress.
    bool setSequence(SequencePlan plan);
    bool loaded() const { return m_plan.has_value(); }
    const std::optional<SequencePlan>& sequence() const { return m_plan; }

    // A run begins now: every step waiting at 0 cycles, the verdict "RUNNING".
    void begin(const QString& serial);
    // The run did not start after all: back to before begin().
    void refused();
    void stepStarted(int step);
    void cycleDone(int step, int done, int total);
    void stepEnded(int step, const QJsonObject& record);
    // The run's record: the verdict and the state of every step it names.
    void finished(const QJsonObject& record);

    bool running() const { return m_running; }
    const std::vector<StepRow>& steps() const { return m_steps; }
    int currentStep() const { return m_current; } // -1 when none runs
    int cyclesDone() const;
    int cyclesTotal() const;

    // "" before the first run, "RUNNING" during one, then the record's verdict.
    QString verdict() const { return m_verdict; }
    QString reason() const { return m_reason; }
    QString serial() const { return m_serial; }
    const QJsonObject& lastRecord() const { return m_record; }

    // From begin() to now while running, to the end once finished.
    platform::Millis elapsed() const;
    // "0:00:07.3"
    static QString formatElapsed(platform::Millis elapsed);
    // What a step's failing measurement reads as: the step's reason when it
    // has one, else built from its failed measurements ("Total encode = 1789
    // counts (limit 1700..1750), cycle 3").
    static QString failingText(const QJsonObject& step);

private:
    bool valid(int step) const { return step >= 0 && step < int(m_steps.size()); }
    void resetSteps();

    std::optional<SequencePlan> m_plan;
    std::vector<StepRow> m_steps;
    bool m_running = false;
    int m_current = -1;
    QString m_verdict;
    QString m_reason;
    QString m_serial;
    QJsonObject m_record;
    platform::Millis m_start{0};
    platform::Millis m_end{0};
};

} // namespace vantor::station
