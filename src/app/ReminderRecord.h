#pragma once

#include "core/CDateTime.h"

#include <cstdint>

namespace dv {

class CDateEntry;

/// One due occurrence shown in the reminder window, and the unit of every request that the
/// window hands to the main window's side.
struct ReminderRecord {
    CDateEntry* event = nullptr; ///< not owned
    CDateTime occurrence;        ///< the occurrence's start
    int32_t span = 0;            ///< snooze span, the absolute value of the number typed
    int32_t unit = 0;            ///< snooze unit: 0 minutes, 1 hours, 2 days, 3 weeks
    int32_t mode = 0;            ///< snooze mode: 0 from now, 1 before the event
    CDateTime decidedAt;         ///< when the user snoozed ("now" of the snooze; unset: Now())
};

/// What the reminder window asks of the main window's side (the alarm scheduler): it never
/// changes an event itself.
class IReminderRequests {
public:
    virtual ~IReminderRequests() = default;

    /// Acknowledges the occurrence of `record`.
    virtual void ReminderAcknowledge(const ReminderRecord& record) = 0;
    /// Carries out the action of the record's event (open its document or run its command).
    virtual void ReminderExecute(const ReminderRecord& record) = 0;
    /// Snoozes the occurrence by the record's span, unit and mode.
    virtual void ReminderSnooze(const ReminderRecord& record) = 0;
    /// Deletes the event with the main window's own questions; true when the event is gone.
    virtual bool ReminderDelete(CDateEntry* event) = 0;

protected:
    IReminderRequests() = default;
    IReminderRequests(const IReminderRequests&) = default;
    IReminderRequests& operator=(const IReminderRequests&) = default;
};

} // namespace dv
