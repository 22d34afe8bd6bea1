#pragma once
// The hand-over from the runner's worker to the window: the worker's reports
// go into a queue guarded by a mutex, and Qt carries only the wake-up, so the
// thread sanitizer sees every hand-over. Once closed, reports are dropped.
#include <QJsonObject>
#include <QStringList>
#include <functional>
#include <mutex>
#include <vector>

#include "vantor/station/SequenceEngine.h"

namespace vantor::station {

struct RunReport {
    enum Kind { StepStarted, Lines, CycleDone, StepEnded, Finished };
    Kind kind = StepStarted;
    int step = -1;
    int done = 0;
    int total = 0;
    QStringList lines;
    QJsonObject record; // the step (StepEnded) or the run (Finished)
};

class StationInbox final : public RunEvents {
public:
    // `wake` is called on the worker when the queue stops being empty; it
    // must only post (it runs with the queue's lock held, so that it never
    // runs after close()).
    explicit StationInbox(std::function<void()> wake) : m_wake(std::move(wake)) {}

    void stepStarted(int step) override;
    void lines(int step, QStringList lines) override;
    void cycleDone(int step, int done, int total) override;
    void stepEnded(int step, QJsonObject record) override;
    void finished(QJsonObject record) override;

    // Everything queued so far, oldest first.
    std::vector<RunReport> take();
    void close();

private:
    void push(RunReport r);

    std::mutex m_lock;
    std::vector<RunReport> m_queue;
    bool m_closed = false;
    std::function<void()> m_wake;
};

} // namespace vantor::station
