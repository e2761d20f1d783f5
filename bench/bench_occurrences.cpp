// Costs of the occurrence scan: a window far from the start for every kind of repetition (should
// not depend on the distance), a full-year scan, and the linear count of a count-limited rule.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/DateData.h"
#include "core/RepetitionRule.h"

#include <benchmark/benchmark.h>
#include <cstdint>

namespace {

using dv::CDateEntry;
using dv::CDateTime;
using dv::CDateTimeSpan;
using dv::DateData;

// A timed event on Monday 1 January 2007, 10:00-11:00, with the given repetition.
CDateEntry MakeEvent(int32_t repeat, int32_t rate, int32_t unit, int32_t ordinal = 0,
                     int32_t weekday = 0) {
    const CDateTime start(2007, 1, 1, 10, 0, 0);
    DateData data;
    data.StartDate = start;
    data.EndDate = CDateTime(2007, 1, 1, 11, 0, 0);
    data.ShowStartTime = 1;
    data.ShowEnd = 1;
    data.Repeat = repeat;
    data.RepeatRate = rate;
    data.RepeatUnit = unit;
    data.RepeatWeekdayCount = ordinal;
    data.RepeatWeekday = weekday;
    CDateEntry entry(start);
    entry.AssignData(data);
    return entry;
}

// FindFirstOccurrence on one day 25 years after the start; the day moves on by one each time so
// that no answer is reused.
void FirstFarAway(benchmark::State& state, CDateEntry entry) {
    const CDateTime base(2032, 1, 1, 0, 0, 0);
    int64_t day = 0;
    CDateTime start;
    CDateTime end;
    for (auto _ : state) {
        const CDateTime a = base + CDateTimeSpan(day * 86400);
        day = (day + 1) % 3650;
        benchmark::DoNotOptimize(
            entry.FindFirstOccurrence(a, a + CDateTimeSpan(86399), start, end));
        benchmark::DoNotOptimize(start);
    }
}

void BM_FirstIn25Years_Single(benchmark::State& state) {
    FirstFarAway(state, MakeEvent(dv::kRepeatNone, 0, 0));
}
void BM_FirstIn25Years_Hourly(benchmark::State& state) {
    FirstFarAway(state, MakeEvent(dv::kRepeatInterval, 5, dv::kRepeatHours));
}
void BM_FirstIn25Years_Daily(benchmark::State& state) {
    FirstFarAway(state, MakeEvent(dv::kRepeatInterval, 3, dv::kRepeatDays));
}
void BM_FirstIn25Years_Weekly(benchmark::State& state) {
    FirstFarAway(state, MakeEvent(dv::kRepeatInterval, 2, dv::kRepeatWeeks));
}
void BM_FirstIn25Years_Monthly(benchmark::State& state) {
    FirstFarAway(state, MakeEvent(dv::kRepeatInterval, 1, dv::kRepeatMonths));
}
void BM_FirstIn25Years_Yearly(benchmark::State& state) {
    FirstFarAway(state, MakeEvent(dv::kRepeatInterval, 1, dv::kRepeatYears));
}
void BM_FirstIn25Years_LastFriday(benchmark::State& state) {
    FirstFarAway(state, MakeEvent(dv::kRepeatNthWeekday, 0, 0, dv::kOrdinalLast, 4));
}
void BM_FirstIn25Years_FifthThursday(benchmark::State& state) {
    FirstFarAway(state, MakeEvent(dv::kRepeatNthWeekday, 0, 0, dv::kOrdinalFifth, 3));
}
BENCHMARK(BM_FirstIn25Years_Single);
BENCHMARK(BM_FirstIn25Years_Hourly);
BENCHMARK(BM_FirstIn25Years_Daily);
BENCHMARK(BM_FirstIn25Years_Weekly);
BENCHMARK(BM_FirstIn25Years_Monthly);
BENCHMARK(BM_FirstIn25Years_Yearly);
BENCHMARK(BM_FirstIn25Years_LastFriday);
BENCHMARK(BM_FirstIn25Years_FifthThursday);

// Every occurrence of 2032 through FindFirstOccurrence and FindNextOccurrence.
void YearScan(benchmark::State& state, CDateEntry entry) {
    const CDateTime a(2032, 1, 1, 0, 0, 0);
    const CDateTime b(2032, 12, 31, 23, 59, 59);
    int64_t count = 0;
    for (auto _ : state) {
        CDateTime start;
        CDateTime end;
        for (bool found = entry.FindFirstOccurrence(a, b, start, end); found;
             found = entry.FindNextOccurrence(a, b, start, end)) {
            ++count;
        }
        benchmark::DoNotOptimize(count);
    }
    state.counters["occurrences"] =
        benchmark::Counter(static_cast<double>(count), benchmark::Counter::kAvgIterations);
}
void BM_YearScan_Daily(benchmark::State& state) {
    YearScan(state, MakeEvent(dv::kRepeatInterval, 1, dv::kRepeatDays));
}
void BM_YearScan_Hourly(benchmark::State& state) {
    YearScan(state, MakeEvent(dv::kRepeatInterval, 1, dv::kRepeatHours));
}
BENCHMARK(BM_YearScan_Daily);
BENCHMARK(BM_YearScan_Hourly);

// CountOccurrences of a daily rule limited to N occurrences, counted up to a date past the end:
// the walk visits N + 1 candidates.
void BM_CountLimited_Daily(benchmark::State& state) {
    CDateEntry entry = MakeEvent(dv::kRepeatInterval, 1, dv::kRepeatDays);
    DateData data = entry.GetData();
    data.RepeatEnd = dv::kRepeatEndAfterCount;
    data.RepeatEndCount = static_cast<int32_t>(state.range(0));
    entry.AssignData(data);
    const CDateTime x(9999, 12, 31, 0, 0, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(entry.CountOccurrences(x));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CountLimited_Daily)->Arg(100)->Arg(10000);

// FindFirstOccurrence 25 years on for a count-limited rule that has not ended yet: the ordinal
// needs every occurrence from the start (about 9,100 here).
void BM_FirstIn25Years_DailyCountLimited(benchmark::State& state) {
    CDateEntry entry = MakeEvent(dv::kRepeatInterval, 1, dv::kRepeatDays);
    DateData data = entry.GetData();
    data.RepeatEnd = dv::kRepeatEndAfterCount;
    data.RepeatEndCount = 100000;
    entry.AssignData(data);
    FirstFarAway(state, entry);
}
BENCHMARK(BM_FirstIn25Years_DailyCountLimited);

} // namespace
