// One alarm tick over a large calendar: every event evaluates its reminders up to "now", with the
// watermark one minute behind, as in the steady state of the running program.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/TimeUnits.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <random>
#include <vector>

namespace dv {
namespace {

constexpr int kEventCount = 10000;

/// A calendar like a heavy user's: mostly one-off appointments spread over two years, then daily,
/// weekly and monthly series; half with a forewarning, some with an overdue rule or an end.
std::vector<CDateEntry> MakeCalendar(const CDateTime& created) {
    std::mt19937 random(4711);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    std::vector<CDateEntry> events;
    events.reserve(kEventCount);
    for (int i = 0; i < kEventCount; ++i) {
        CDateEntry entry(created);
        entry.UpdateReminders(created);
        DateData d = entry.GetData();
        const int kind = pick(0, 99);
        const int dayOffset = kind < 50 ? pick(-365, 365) : pick(-700, 0);
        d.StartDate = created + CDateTimeSpan(dayOffset, pick(7, 19), pick(0, 3) * 15, 0);
        d.EndDate = d.StartDate + CDateTimeSpan(0, pick(0, 2), 30, 0);
        d.ShowStartTime = pick(0, 9) < 8 ? 1 : 0;
        const auto every = [&](int32_t rate, int32_t unit) {
            d.Repeat = 1;
            d.RepeatRate = rate;
            d.RepeatUnit = unit;
        };
        if (kind >= 50 && kind < 75) {
            every(1, 2); // daily
        } else if (kind >= 75 && kind < 90) {
            every(pick(1, 2), 3); // weekly or fortnightly
        } else if (kind >= 90 && kind < 97) {
            every(1, 4); // monthly
        } else if (kind >= 97) {
            d.Repeat = 2; // n-th weekday of the month
            d.RepeatWeekdayCount = pick(0, 5);
            d.RepeatWeekday = pick(0, 6);
        }
        if (d.Repeat != 0 && pick(0, 9) == 0) {
            d.RepeatEnd = 2;
            d.RepeatEndDate = created + CDateTimeSpan(pick(-100, 400), 0, 0, 0);
        }
        if (pick(0, 1) == 0) {
            d.Forewarn = 1;
            d.ForewarnSpan = pick(5, 60);
            d.ForewarnUnit = pick(0, 3) == 0 ? kUnitHours : kUnitMinutes;
        }
        d.OverdueAction = pick(0, 9) < 7 ? 0 : pick(1, 3);
        entry.SetData(d, created);
        events.push_back(entry);
    }
    return events;
}

void BM_AlarmTickOverTenThousandEvents(benchmark::State& state) {
    const CDateTime created(2024, 6, 3, 8, 0, 0);
    std::vector<CDateEntry> events = MakeCalendar(created);
    CDateTime now = created + CDateTimeSpan(60);
    for (CDateEntry& entry : events) {
        entry.UpdateReminders(now);
    }
    int64_t raised = 0;
    for (auto _ : state) {
        now += CDateTimeSpan(60);
        int changed = 0;
        for (CDateEntry& entry : events) {
            changed += entry.UpdateReminders(now) ? 1 : 0;
        }
        benchmark::DoNotOptimize(changed);
        // The user acknowledges what came up, so that the due lists stay as short as in real use.
        state.PauseTiming();
        for (CDateEntry& entry : events) {
            while (entry.GetDueCount() > 0) {
                entry.SetDone(entry.GetDueOccurrence(0), true);
                ++raised;
            }
        }
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kEventCount);
    state.counters["raised_per_tick"] =
        benchmark::Counter(static_cast<double>(raised) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_AlarmTickOverTenThousandEvents)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace dv
