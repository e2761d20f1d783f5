#pragma once

#include "core/DateData.h"
#include "core/TodoData.h"

namespace dv {

/// What the event editor refuses on confirmation, in the order it checks. The caller shows the
/// matching message and puts the focus on the control that needs changing.
enum class EventCheck {
    Ok,
    MissingDescription, ///< empty description on an all-day event: the description field
    NeverOccurs, ///< the rule and the conditions exclude every occurrence: the weekday conditions
    WeekdaysNeedWeekly, ///< several weekdays ticked on a rule that keeps one weekday: the rate
    EndBeforeFirstOccurrence, ///< RepeatEnd 2 with no occurrence up to RepeatEndDate: the end date
};

/// Empty Description with ShowStartTime off.
bool IsMissingDescription(const DateData& data);
/// For a repeating event: masks or rate that can never let an occurrence through. False for a
/// non-repeating event.
bool NeverOccurs(const DateData& data);
/// For an interval rule that always lands on the start's weekday (whole weeks, counted in hours,
/// days or weeks, other than every single week): the weekday conditions allow a weekday besides
/// the start's, and not all seven. The record cannot hold "every second week on Tuesday and
/// Thursday"; it would silently keep only the start's weekday.
bool WeekdaysNeedWeekly(const DateData& data);
/// Weekly on several weekdays as the record can hold it: every single week (RepeatRate 1,
/// RepeatUnit weeks) whose weekday conditions allow some but not all weekdays, and more than just
/// the start's, becomes every day, masked to those weekdays. Any other data is left as it is.
void FoldWeeklyWeekdays(DateData& data);
/// For a repeating event with RepeatEnd 2: no occurrence in [first start, RepeatEndDate] (the first
/// start is StartDate, at midnight for an all-day event).
bool EndsBeforeFirstOccurrence(const DateData& data);
/// All four in the editor's order; the first that fails.
EventCheck CheckEventData(const DateData& data);

/// What the to-do editor refuses on confirmation, in the order it checks.
enum class TodoCheck {
    Ok,
    MissingGroup,       ///< empty group: the group box
    MissingDescription, ///< empty description: the description field
};

TodoCheck CheckTodoData(const TodoData& data);

} // namespace dv
