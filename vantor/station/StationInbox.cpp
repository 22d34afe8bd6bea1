#include "vantor/station/StationInbox.h"

namespace vantor::station {

void StationInbox::push(RunReport r)
{
    std::lock_guard l(m_lock);
    if (m_closed)
        return;
    const bool wasEmpty = m_queue.empty();
    m_queue.push_back(std::move(r));
    if (wasEmpty && m_wake)
        m_wake();
}

void StationInbox::stepStarted(int step)
{
    push({RunReport::StepStarted, step, 0, 0, {}, {}});
}

void StationInbox::lines(int step, QStringList lines)
{
    // Consecutive batches of one step travel as one.
    {
        std::lock_guard l(m_lock);
        if (m_closed)
            return;
        if (!m_queue.empty() && m_queue.back().kind == RunReport::Lines && m_queue.back().step == step) {
            m_queue.back().lines += lines;
            return;
        }
    }
    push({RunReport::Lines, step, 0, 0, std::move(lines), {}});
}

void StationInbox::cycleDone(int step, int done, int total)
{
    push({RunReport::CycleDone, step, done, total, {}, {}});
}

void StationInbox::stepEnded(int step, QJsonObject record)
{
    push({RunReport::StepEnded, step, 0, 0, {}, std::move(record)});
}

void StationInbox::finished(QJsonObject record)
{
    push({RunReport::Finished, -1, 0, 0, {}, std::move(record)});
}

std::vector<RunReport> StationInbox::take()
{
    std::lock_guard l(m_lock);
    std::vector<RunReport> out;
    out.swap(m_queue);
    return out;
}

void StationInbox::close()
{
    std::lock_guard l(m_lock);
    m_closed = true;
    m_queue.clear();
}

} // namespace vantor::station
