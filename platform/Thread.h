#pragma once
// A worker thread owned by its dialog: started with a function, joined with a
// time-out on the clock in force.
#include <functional>
#include <memory>
#include <thread>
#include "Event.h"

namespace platform {

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread(); // joins when ended, else waits for the end (never leaves a running thread behind)
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Starts the function on a new thread. Returns false if already started.
    bool start(std::function<void()> body);
    // Waits up to `timeout` for the function to return; true when it has
    // (the thread is then joined).
    bool join(Millis timeout);
    bool started() const { return m_thread.joinable() || m_joined; }
    bool finished() const;

private:
    std::thread m_thread;
    std::shared_ptr<Event> m_done;
    bool m_joined = false;
};

} // namespace platform
