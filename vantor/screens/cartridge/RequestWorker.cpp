#include "vantor/screens/cartridge/RequestWorker.h"

#include <cstring>

#include "platform/CallerMemory.h"
#include "protocol/CommandChannel.h"

namespace vantor::cartridge {

RequestWorker::RequestWorker(DriverRef driver, std::function<void(StepReply)> onReply)
    : m_driver(std::move(driver)), m_onReply(std::move(onReply))
{
}

RequestWorker::~RequestWorker()
{
    close();
    m_worker.join(platform::kInfinite);
}

void RequestWorker::start()
{
    m_worker.start([this] { loop(); });
}

void RequestWorker::submit(DriverStep step)
{
    {
        std::lock_guard lock(m_lock);
        m_steps.push_back(step);
    }
    m_run.set();
}

bool RequestWorker::close()
{
    if (!m_worker.started())
        return true;
    if (!m_closed) {
        m_closed = true;
        m_quit.set();
    }
    for (int i = 0; i < kCloseWaits; ++i)
        if (m_worker.join(kCloseWait))
            return true;
    return false;
}

size_t RequestWorker::pending() const
{
    std::lock_guard lock(m_lock);
    return m_steps.size();
}

std::optional<DriverStep> RequestWorker::take()
{
    std::lock_guard lock(m_lock);
    if (m_steps.empty())
        return std::nullopt;
    DriverStep s = m_steps.front();
    m_steps.pop_front();
    return s;
}

void RequestWorker::loop()
{
    // The value word lives in caller memory as long as the worker does.
    platform::CallerBuffer word(4);
    for (;;) {
        const platform::WaitResult w = platform::waitAny({&m_quit, &m_run}, kIdleWait);
        if (w.signalled(0))
            return;
        if (!w.signalled(1))
            continue;
        // One wake-up may stand for several presses (the event is
        // auto-reset): every queued step is sent, each once.
        while (auto step = take()) {
            if (m_quit.isSet())
                return;
            protocol::CommandBlock block = step->block;
            if (step->value) {
                std::memcpy(word.data(), step->value->data(), 4);
                block.Param = word.address();
            }
            StepReply r;
            r.reply = QByteArray(int(step->replySize), '\0');
            r.ok = protocol::sendCommand(*m_driver, step->code, block, step->replySize ? r.reply.data() : nullptr,
                                         step->replySize);
            if (!r.ok)
                r.reply.fill('\0');
            r.step = *step;
            r.step.block = block;
            if (m_onReply)
                m_onReply(std::move(r));
        }
    }
}

} // namespace vantor::cartridge
