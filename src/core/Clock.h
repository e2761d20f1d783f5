#pragma once

#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"

#include <memory>
#include <mutex>
#include <utility>

namespace dv {

/// Source of the current local date and time. CDateTime::Now() asks the installed one, so that
/// tests and the command-line tool can fix "now"; nothing else in the core reads the system clock.
class IClock {
public:
    virtual ~IClock() = default;
    /// The current local date and time, whole seconds.
    virtual CDateTime Now() const = 0;
};

/// The system's wall clock in local time, milliseconds dropped. The default clock.
class CSystemClock final : public IClock {
public:
    /// Local time of the system clock. If the platform cannot convert the time (it never fails for
    /// the present), the default (unset) value.
    CDateTime Now() const override;
};

/// A clock that stands still until it is set or advanced; for tests and for a fixed "now".
/// All members are safe to call from any thread.
class CFixedClock final : public IClock {
public:
    explicit CFixedClock(const CDateTime& now = CDateTime()) : m_now(now) {}

    CDateTime Now() const override;
    /// Sets the time that Now() returns.
    void Set(const CDateTime& now);
    /// Moves the time on by `span` (backwards when negative), with date-time arithmetic.
    void Advance(const CDateTimeSpan& span);

private:
    mutable std::mutex m_mutex;
    CDateTime m_now;
};

/// Installs the process-wide clock and returns the one installed before (never null).
/// nullptr restores the system clock. Safe to call from any thread.
std::shared_ptr<const IClock> SetClock(std::shared_ptr<const IClock> clock);

/// The installed clock (the system clock unless another one is installed). Never null.
std::shared_ptr<const IClock> GetClock();

/// Installs a clock for the lifetime of this object and then restores the previous one.
/// Scopes nest; they must end in the reverse order of their start.
class CScopedClock {
public:
    explicit CScopedClock(std::shared_ptr<const IClock> clock)
        : m_previous(SetClock(std::move(clock))) {}
    ~CScopedClock() { SetClock(std::move(m_previous)); }

    CScopedClock(const CScopedClock&) = delete;
    CScopedClock& operator=(const CScopedClock&) = delete;

private:
    std::shared_ptr<const IClock> m_previous;
};

} // namespace dv
