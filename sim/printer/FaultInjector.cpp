#include "sim/printer/FaultInjector.h"

#include <algorithm>

namespace sim {

void FaultInjector::configure(const SimConfig& config)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_seed = config.seed;
    m_slots.clear();
    m_counts.clear();
    m_latency.clear();
    for (const auto& [key, ms] : config.latencyMs)
        if (ms > 0)
            m_latency[key] = std::min(ms, kMaxLatencyMs);
    for (const auto& [key, rule] : config.faults)
        m_slots[key] = Slot{rule, 0, Random(Random::mix(m_seed, key))};
}

void FaultInjector::setRule(uint32_t key, const FaultRule& rule)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_slots[key] = Slot{rule, 0, Random(Random::mix(m_seed, key))};
}

void FaultInjector::setLatency(uint32_t key, int64_t ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (ms > 0)
        m_latency[key] = std::min(ms, kMaxLatencyMs);
    else
        m_latency.erase(key);
}

void FaultInjector::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_slots.clear();
    m_counts.clear();
    m_latency.clear();
}

bool FaultInjector::shouldFail(uint32_t key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_counts[key];
    auto it = m_slots.find(key);
    if (it == m_slots.end())
        return false;
    Slot& s = it->second;
    ++s.count;
    switch (s.rule.kind) {
    case FaultRule::Kind::Never: return false;
    case FaultRule::Kind::Always: return true;
    case FaultRule::Kind::EveryNth: return s.rule.n > 0 && s.count % s.rule.n == 0;
    case FaultRule::Kind::Random: return s.random.uniform() < s.rule.p;
    }
    return false;
}

int64_t FaultInjector::latencyMs(uint32_t key) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_latency.find(key);
    return it == m_latency.end() ? 0 : it->second;
}

uint64_t FaultInjector::requests(uint32_t key) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = m_counts.find(key);
    return it == m_counts.end() ? 0 : it->second;
}

} // namespace sim
