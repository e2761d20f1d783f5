// Costs of the placeholder expanders with the built-in default formats: a calendar cell for each
// day kind (the view pages format one per visible occurrence), a tooltip with notes, the to-do
// clipboard text, and the searches of the selectors that look back or to the end of time on a
// long hourly rule.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/CTodoEntry.h"
#include "core/DateData.h"
#include "core/RepetitionRule.h"
#include "format/CDateEntryFormatter.h"
#include "format/CTodoEntryFormatter.h"
#include "format/FormatSettings.h"
#include "format/StringIds.h"
#include "format/StringTable.h"

#include <benchmark/benchmark.h>
#include <string>

namespace {

using dv::CDateEntry;
using dv::CDateTime;
using dv::DateData;

const dv::FormatSettings& Defaults() {
    static const dv::FormatSettings settings = dv::FormatSettings::Defaults();
    return settings;
}

// An event from `start` to `end` with a description, shown with or without time of day.
CDateEntry MakeEvent(const CDateTime& start, const CDateTime& end, bool timed) {
    DateData data;
    data.Description = "Team meeting";
    data.Notes = "Room 4";
    data.StartDate = start;
    data.EndDate = end;
    data.ShowStartTime = timed ? 1 : 0;
    data.ShowEnd = 1;
    CDateEntry entry(start);
    entry.AssignData(data);
    return entry;
}

void FormatCell(benchmark::State& state, CDateEntry entry, const CDateTime& day, int formatSet) {
    dv::CDateEntryFormatter formatter(entry, Defaults(), formatSet);
    const CDateTime start = entry.GetFirstStart();
    for (auto _ : state) {
        std::string text = formatter.FormatForDay(start, day);
        benchmark::DoNotOptimize(text);
    }
}

// "$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$": two times and the description.
void BM_CalendarCell_Timed(benchmark::State& state) {
    FormatCell(state,
               MakeEvent(CDateTime(2007, 1, 10, 10, 0, 0), CDateTime(2007, 1, 10, 11, 30, 0), true),
               CDateTime(2007, 1, 10), dv::kFormatSetCalendar);
}
// "$DESCRIPTION$".
void BM_CalendarCell_AllDay(benchmark::State& state) {
    FormatCell(state, MakeEvent(CDateTime(2007, 1, 10), CDateTime(2007, 1, 10), false),
               CDateTime(2007, 1, 10), dv::kFormatSetCalendar);
}
// "$THIS_START_AUTOTIME_S$$DESCRIPTION$ >>".
void BM_CalendarCell_FirstOfThreeDays(benchmark::State& state) {
    FormatCell(state,
               MakeEvent(CDateTime(2007, 1, 8, 9, 0, 0), CDateTime(2007, 1, 10, 15, 30, 0), true),
               CDateTime(2007, 1, 8), dv::kFormatSetCalendar);
}
// "$THIS_STARTTOEND_AUTOTIME_S$$DESCRIPTION$$R_NOTES$".
void BM_Tooltip_TimedWithNotes(benchmark::State& state) {
    FormatCell(state,
               MakeEvent(CDateTime(2007, 1, 10, 10, 0, 0), CDateTime(2007, 1, 10, 11, 30, 0), true),
               CDateTime(2007, 1, 10), dv::kFormatSetTooltip);
}

void BM_TodoClipboard(benchmark::State& state) {
    dv::CTodoEntry todo(CDateTime(2007, 1, 1));
    dv::TodoData data = todo.GetData();
    data.Description = "Buy milk";
    data.Notes = "Two litres";
    data.Deadline = CDateTime(2007, 1, 12, 15, 30, 0);
    todo.SetData(data);
    todo.SetCurrentTime(CDateTime(2007, 1, 10));
    dv::CTodoEntryFormatter formatter(todo, Defaults());
    const std::string format = dv::LoadString(dv::kIdsClipboardTodo);
    for (auto _ : state) {
        std::string text = formatter.Expand(format);
        benchmark::DoNotOptimize(text);
    }
}

// An hourly rule over 30 years (about 263,000 occurrences), date-limited, shown 25 years on.
void SelectorOnHourlyRule(benchmark::State& state, const std::string& format) {
    CDateEntry entry =
        MakeEvent(CDateTime(2000, 1, 1, 10, 0, 0), CDateTime(2000, 1, 1, 10, 30, 0), true);
    DateData data = entry.GetData();
    data.Repeat = dv::kRepeatInterval;
    data.RepeatRate = 1;
    data.RepeatUnit = dv::kRepeatHours;
    data.RepeatEnd = dv::kRepeatEndAtDate;
    data.RepeatEndDate = CDateTime(2030, 1, 1);
    entry.AssignData(data);
    dv::CDateEntryFormatter formatter(entry, Defaults());
    const CDateTime occurrence(2025, 6, 1, 10, 0, 0);
    for (auto _ : state) {
        std::string text = formatter.Expand(format, occurrence, occurrence);
        benchmark::DoNotOptimize(text);
    }
}
void BM_HourlyRule_Previous(benchmark::State& state) {
    SelectorOnHourlyRule(state, "$PREVIOUS_DATETIME$");
}
void BM_HourlyRule_Last(benchmark::State& state) {
    SelectorOnHourlyRule(state, "$LAST_DATETIME$");
}
void BM_HourlyRule_NextAndFirst(benchmark::State& state) {
    SelectorOnHourlyRule(state, "$FIRST_DATETIME$ $NEXT_DATETIME$");
}
// COUNT walks every occurrence from the first (the occurrence engine counts; linear by design).
void BM_HourlyRule_Count(benchmark::State& state) {
    SelectorOnHourlyRule(state, "$THIS_COUNT$");
}

BENCHMARK(BM_CalendarCell_Timed);
BENCHMARK(BM_CalendarCell_AllDay);
BENCHMARK(BM_CalendarCell_FirstOfThreeDays);
BENCHMARK(BM_Tooltip_TimedWithNotes);
BENCHMARK(BM_TodoClipboard);
BENCHMARK(BM_HourlyRule_Previous);
BENCHMARK(BM_HourlyRule_Last);
BENCHMARK(BM_HourlyRule_NextAndFirst);
BENCHMARK(BM_HourlyRule_Count)->Unit(benchmark::kMillisecond);

} // namespace
