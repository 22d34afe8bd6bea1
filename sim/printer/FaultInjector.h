#pragma once
// Injected faults and latencies, by command number or request code (see
// SimConfig). Every-n-th and random rules count the requests of their own
// key, and each random rule draws from its own generator seeded from the
// configured seed and the key, so one rule never shifts another.
#include <cstdint>
#include <map>
#include <mutex>

#include "sim/printer/Random.h"
#include "sim/printer/SimConfig.h"

namespace sim {

// kMaxLatencyMs (SimConfig.h) bounds the latency added to one request, per
// key and for the sum of a request's command and code keys.

class FaultInjector {
public:
    explicit FaultInjector(uint64_t seed = 1) : m_seed(seed) {}
    void configure(const SimConfig& config);

    void setRule(uint32_t key, const FaultRule& rule);
    void setLatency(uint32_t key, int64_t ms);
    void clear();

    // Counts one request under `key` and says whether it fails.
    bool shouldFail(uint32_t key);
    int64_t latencyMs(uint32_t key) const;
    uint64_t requests(uint32_t key) const;

private:
    struct Slot {
        FaultRule rule;
        uint64_t count = 0;
        Random random;
    };
    mutable std::mutex m_mutex;
    uint64_t m_seed;
    std::map<uint32_t, Slot> m_slots;
    std::map<uint32_t, uint64_t> m_counts;
    std::map<uint32_t, int64_t> m_latency;
};

} // namespace sim
