#pragma once

#include <compare>
#include <cstdint>

namespace dv {

/// A signed duration with one-second resolution: one 64-bit count of seconds.
///
/// Arithmetic on spans saturates at the int64 limits instead of overflowing, so that no input can
/// produce undefined behaviour; the derived counts saturate at the int32 limits.
class CDateTimeSpan {
public:
    /// A span of zero seconds.
    constexpr CDateTimeSpan() = default;
    /// A span of `seconds` seconds (any int64; negative spans point into the past).
    constexpr explicit CDateTimeSpan(int64_t seconds) : m_seconds(seconds) {}
    /// ((days * 24 + hours) * 60 + minutes) * 60 + seconds, computed in 64 bits; every int32
    /// combination fits, and components of mixed signs are simply summed.
    constexpr CDateTimeSpan(int32_t days, int32_t hours, int32_t minutes, int32_t seconds)
        : m_seconds(((int64_t{days} * 24 + hours) * 60 + minutes) * 60 + seconds) {}

    /// The whole span in seconds.
    constexpr int64_t GetTotalSeconds() const { return m_seconds; }
    /// Seconds / 60, truncated toward zero; saturated to the int32 range.
    int32_t GetTotalMinutes() const;
    /// Seconds / 3600, truncated toward zero; saturated to the int32 range.
    int32_t GetTotalHours() const;
    /// Seconds / 86400, truncated toward zero (-1.5 days gives -1); saturated to the int32 range.
    int32_t GetDays() const;
    /// Seconds / 604800, truncated toward zero; saturated to the int32 range.
    int32_t GetTotalWeeks() const;

    friend constexpr bool operator==(const CDateTimeSpan&, const CDateTimeSpan&) = default;
    friend constexpr auto operator<=>(const CDateTimeSpan&, const CDateTimeSpan&) = default;

    /// Sum and difference saturate at the int64 limits.
    CDateTimeSpan& operator+=(const CDateTimeSpan& other);
    CDateTimeSpan& operator-=(const CDateTimeSpan& other);
    friend CDateTimeSpan operator+(CDateTimeSpan a, const CDateTimeSpan& b) { return a += b; }
    friend CDateTimeSpan operator-(CDateTimeSpan a, const CDateTimeSpan& b) { return a -= b; }
    /// Negation; the most negative span becomes the most positive one.
    CDateTimeSpan operator-() const;

private:
    int64_t m_seconds = 0;
};

} // namespace dv
