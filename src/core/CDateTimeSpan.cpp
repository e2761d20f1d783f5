#include "core/CDateTimeSpan.h"

#include <limits>

namespace dv {

namespace {

// ---- Saturating helpers -------------------------------------------------------------------------

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();

constexpr int32_t ClampToInt32(int64_t value) {
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value < std::numeric_limits<int32_t>::min()) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

constexpr int64_t SaturatingAdd(int64_t a, int64_t b) {
    if (b > 0 && a > kInt64Max - b) {
        return kInt64Max;
    }
    if (b < 0 && a < kInt64Min - b) {
        return kInt64Min;
    }
    return a + b;
}

constexpr int64_t SaturatingSubtract(int64_t a, int64_t b) {
    if (b < 0 && a > kInt64Max + b) {
        return kInt64Max;
    }
    if (b > 0 && a < kInt64Min + b) {
        return kInt64Min;
    }
    return a - b;
}

} // namespace

int32_t CDateTimeSpan::GetTotalMinutes() const {
    return ClampToInt32(m_seconds / 60);
}

int32_t CDateTimeSpan::GetTotalHours() const {
    return ClampToInt32(m_seconds / 3600);
}

int32_t CDateTimeSpan::GetDays() const {
    return ClampToInt32(m_seconds / 86400);
}

int32_t CDateTimeSpan::GetTotalWeeks() const {
    return ClampToInt32(m_seconds / 604800);
}

CDateTimeSpan& CDateTimeSpan::operator+=(const CDateTimeSpan& other) {
    m_seconds = SaturatingAdd(m_seconds, other.m_seconds);
    return *this;
}

CDateTimeSpan& CDateTimeSpan::operator-=(const CDateTimeSpan& other) {
    m_seconds = SaturatingSubtract(m_seconds, other.m_seconds);
    return *this;
}

CDateTimeSpan CDateTimeSpan::operator-() const {
    return CDateTimeSpan(m_seconds == kInt64Min ? kInt64Max : -m_seconds);
}

} // namespace dv
