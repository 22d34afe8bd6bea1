#pragma once
// A small deterministic generator (splitmix64): the same seed gives the same
// machine behaviour on every host.
#include <cstdint>

namespace sim {

class Random {
public:
    explicit Random(uint64_t seed = 0) : m_state(seed) {}
    void reseed(uint64_t seed) { m_state = seed; }
    uint64_t next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // [0, 1)
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    // [lo, hi]
    int64_t between(int64_t lo, int64_t hi) { return hi <= lo ? lo : lo + int64_t(next() % uint64_t(hi - lo + 1)); }

    static uint64_t mix(uint64_t a, uint64_t b)
    {
        Random r(a ^ (b * 0x9E3779B97F4A7C15ull));
        return r.next();
    }

private:
    uint64_t m_state;
};

} // namespace sim
