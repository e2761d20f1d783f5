#include "core/Clock.h"

#include <chrono>
#include <ctime>
#include <utility>

namespace dv {

namespace {

// Function-local statics, so that a clock read during another translation unit's static
// initialisation already finds the system clock.
struct ClockState {
    std::mutex mutex;
    std::shared_ptr<const IClock> system = std::make_shared<CSystemClock>();
    std::shared_ptr<const IClock> current = system;
};

ClockState& State() {
    static ClockState state;
    return state;
}

// Thread-safe conversion of a calendar time to local broken-down time.
bool ToLocalTime(std::time_t time, std::tm& out) {
#ifdef _WIN32
    return localtime_s(&out, &time) == 0;
#else
    return localtime_r(&time, &out) != nullptr;
#endif
}

} // namespace

CDateTime CSystemClock::Now() const {
    // system_clock::to_time_t truncates or rounds depending on the library; cutting to whole
    // seconds first makes "milliseconds dropped" hold everywhere.
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    std::tm local{};
    if (!ToLocalTime(std::chrono::system_clock::to_time_t(now), local)) {
        return CDateTime();
    }
    // A leap second (tm_sec 60) is shown as the last second of its minute.
    const int second = local.tm_sec > 59 ? 59 : local.tm_sec;
    return CDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                     local.tm_min, second);
}

CDateTime CFixedClock::Now() const {
    std::lock_guard lock(m_mutex);
    return m_now;
}

void CFixedClock::Set(const CDateTime& now) {
    std::lock_guard lock(m_mutex);
    m_now = now;
}

void CFixedClock::Advance(const CDateTimeSpan& span) {
    std::lock_guard lock(m_mutex);
    m_now += span;
}

std::shared_ptr<const IClock> SetClock(std::shared_ptr<const IClock> clock) {
    ClockState& state = State();
    std::lock_guard lock(state.mutex);
    if (!clock) {
        clock = state.system;
    }
    return std::exchange(state.current, std::move(clock));
}

std::shared_ptr<const IClock> GetClock() {
    ClockState& state = State();
    std::lock_guard lock(state.mutex);
    return state.current;
}

} // namespace dv
