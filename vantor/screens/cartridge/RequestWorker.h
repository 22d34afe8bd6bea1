#pragma once
// The reduced worker of the calibration screens (PEB values, cut force):
// two auto-reset events, quit and run, and one thread that sends the
// requests the user-interface thread hands it. Each press queues one step
// that carries everything its request needs (the block and the value word
// Param points at), so the worker never reads the dialog, and a step queued
// while a request is in progress is sent after it, in order.
#include <QByteArray>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

#include "platform/Event.h"
#include "platform/Thread.h"
#include "protocol/CommandBlock.h"
#include "vantor/framework/TestRun.h"

namespace vantor::cartridge {

struct DriverStep {
    uint32_t code = 0;
    protocol::CommandBlock block; // Param: 0, or set by the worker to the value word
    // The 32-bit word a save request points at (Param), little-endian.
    std::optional<std::array<uint8_t, 4>> value;
    uint32_t replySize = 0; // bytes the request answers, 0 for none
};

struct StepReply {
    DriverStep step; // as sent
    bool ok = false;
    QByteArray reply; // replySize bytes (zeros when the request failed)
};

class RequestWorker {
public:
    static constexpr platform::Millis kIdleWait{1000};
    static constexpr platform::Millis kCloseWait{5000};
    static constexpr int kCloseWaits = 3;

    // `onReply` runs on the worker thread after each request; a dialog posts
    // the reply to itself from there.
    RequestWorker(DriverRef driver, std::function<void(StepReply)> onReply);
    ~RequestWorker(); // closes if still open; never returns while the thread runs
    RequestWorker(const RequestWorker&) = delete;
    RequestWorker& operator=(const RequestWorker&) = delete;

    void start();
    // Queues a step and sets the run event (user-interface thread).
    void submit(DriverStep step);
    // Sets quit and waits up to three times 5000 ms; true when the thread
    // ended within them (the destructor then waits on without limit).
    bool close();

    size_t pending() const;

private:
    void loop();
    std::optional<DriverStep> take();

    DriverRef m_driver;
    std::function<void(StepReply)> m_onReply;
    mutable std::mutex m_lock;
    std::deque<DriverStep> m_steps; // guarded by m_lock
    platform::Event m_quit{platform::Event::Reset::Auto};
    platform::Event m_run{platform::Event::Reset::Auto};
    platform::WorkerThread m_worker;
    bool m_closed = false;
};

} // namespace vantor::cartridge
