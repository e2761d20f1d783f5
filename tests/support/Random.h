#pragma once

// The random source of the property and differential tests: seeded, so a failure repeats, and
// drawn by modulo from a fixed engine, so a seed gives the same cases with every standard library.

#include "core/CDateTime.h"

#include <cstddef>
#include <cstdint>
#include <random>

namespace dv::test {

class Random {
public:
    explicit Random(uint64_t seed) : m_engine(seed) {}

    /// Uniform in [lo, hi]; the modulo bias is irrelevant for tests.
    int64_t Between(int64_t lo, int64_t hi) {
        return lo + static_cast<int64_t>(m_engine() % static_cast<uint64_t>(hi - lo + 1));
    }
    int32_t Int(int32_t lo, int32_t hi) { return static_cast<int32_t>(Between(lo, hi)); }
    /// True with probability 1/n.
    bool OneIn(int64_t n) { return Between(0, n - 1) == 0; }
    bool Chance(int percent) { return Between(1, 100) <= percent; }
    /// An element of a non-empty container or array.
    template <class Container>
    const auto& Pick(const Container& items) {
        return items[static_cast<size_t>(Between(0, static_cast<int64_t>(std::size(items)) - 1))];
    }
    /// A date-time to the second in [from, to].
    CDateTime DateTime(const CDateTime& from, const CDateTime& to) {
        const int64_t first = int64_t{from.GetDayNumber()} * 86400 + from.GetSecondsOfDay();
        const int64_t last = int64_t{to.GetDayNumber()} * 86400 + to.GetSecondsOfDay();
        const int64_t at = Between(first, last);
        const int64_t day = at >= 0 ? at / 86400 : (at - 86399) / 86400;
        return CDateTime::FromDayNumber(static_cast<int32_t>(day),
                                        static_cast<int32_t>(at - day * 86400));
    }
    std::mt19937_64& Engine() { return m_engine; }

private:
    std::mt19937_64 m_engine;
};

} // namespace dv::test
