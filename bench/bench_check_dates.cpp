// The document's part of one alarm tick over a heavy user's file: 10,000 events and 10,000 to-dos,
// in the steady state of the running program (a tick a minute, reminders handled as they come).

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/CTodoEntry.h"
#include "core/TimeUnits.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentObserver.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <memory>
#include <random>

namespace dv {
namespace {

constexpr int kEventCount = 10000;
constexpr int kTodoCount = 10000;

/// Counts the hints, as a view would look at each of them.
class CountingView final : public IDocumentObserver {
public:
    void OnUpdate(UpdateHint, const HintObject&) override { ++m_hints; }
    int64_t Hints() const { return m_hints; }

private:
    int64_t m_hints = 0;
};

/// Mostly one-off appointments over two years, then daily, weekly and monthly series; half with a
/// forewarning (a fifth of those silent), some with an overdue rule.
std::unique_ptr<CDateEntry> MakeEvent(std::mt19937& random, const CDateTime& created) {
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    auto entry = std::make_unique<CDateEntry>(created);
    entry->UpdateReminders(created);
    DateData d = entry->GetData();
    const int kind = pick(0, 99);
    const int dayOffset = kind < 50 ? pick(-365, 365) : pick(-700, 0);
    d.Category = "Category " + std::to_string(pick(0, 11));
    d.StartDate = created + CDateTimeSpan(dayOffset, pick(7, 19), pick(0, 3) * 15, 0);
    d.EndDate = d.StartDate + CDateTimeSpan(0, pick(0, 2), 30, 0);
    d.ShowStartTime = pick(0, 9) < 8 ? 1 : 0;
    if (kind >= 50) {
        d.Repeat = 1;
        d.RepeatRate = kind < 75 ? 1 : 1 + pick(0, 1);
        d.RepeatUnit = kind < 75 ? 2 : (kind < 93 ? 3 : 4);
    }
    if (pick(0, 1) == 0) {
        d.Forewarn = 1;
        d.ForewarnSpan = pick(5, 60);
        d.ForewarnUnit = pick(0, 3) == 0 ? kUnitHours : kUnitMinutes;
        d.ForewarnSilent = pick(0, 4) == 0 ? 1 : 0;
    }
    d.OverdueAction = pick(0, 9) < 7 ? 0 : pick(1, 3);
    entry->SetData(d, created);
    return entry;
}

/// Deadlines from a year back to a year ahead, a third of them done, most forewarned.
std::unique_ptr<CTodoEntry> MakeTodo(std::mt19937& random, const CDateTime& created) {
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    auto todo = std::make_unique<CTodoEntry>(created);
    TodoData d = todo->GetData();
    d.Group = "Group " + std::to_string(pick(0, 7));
    d.Description = "To-do";
    d.Deadline = created + CDateTimeSpan(pick(-365, 365), pick(0, 23), 0, 0);
    d.ShowDeadline = pick(0, 9) < 9 ? 1 : 0;
    d.ShowDeadlineTime = pick(0, 1);
    d.Forewarn = pick(0, 4) < 4 ? 1 : 0;
    d.ForewarnSpan = pick(1, 5);
    d.ForewarnUnit = kUnitDays;
    d.StorageType = pick(0, 9) == 0 ? 1 : 0;
    todo->SetData(d);
    todo->SetDone(pick(0, 2) == 0);
    return todo;
}

void BM_CheckDatesOverTenThousandEventsAndTodos(benchmark::State& state) {
    const CDateTime created(2024, 6, 3, 8, 0, 0);
    std::mt19937 random(4711);
    CDayvaultDoc doc;
    for (int i = 0; i < kEventCount; ++i) {
        doc.AddDateEntry(MakeEvent(random, created), 0);
    }
    for (int i = 0; i < kTodoCount; ++i) {
        doc.AddTodoEntry(MakeTodo(random, created), 0);
    }
    CountingView view;
    doc.AddObserver(view);

    // The first tick after start catches up; the old done to-dos go once and for all. The clean-up
    // limit lies a year back, so that the measured ticks keep all 20,000 entries.
    CDateTime now = created + CDateTimeSpan(60);
    doc.CheckDates(now, true, 365);
    const auto acknowledgeAll = [&] {
        for (int i = 0; i < doc.GetDateEntryCount(); ++i) {
            CDateEntry& entry = *doc.GetDateEntry(i);
            while (entry.GetDueCount() > 0) {
                entry.SetDone(entry.GetDueOccurrence(0), true);
            }
        }
    };
    acknowledgeAll();

    for (auto _ : state) {
        now += CDateTimeSpan(60);
        doc.CheckDates(now, true, 365);
        benchmark::DoNotOptimize(doc.GetPendingReminderCount());
        // The user handles what came up, so the due lists stay as short as in real use.
        state.PauseTiming();
        acknowledgeAll();
        state.ResumeTiming();
    }
    state.counters["events"] = doc.GetDateEntryCount();
    state.counters["todos"] = doc.GetTodoCount();
    state.counters["hints_per_tick"] = benchmark::Counter(
        static_cast<double>(view.Hints()) / static_cast<double>(state.iterations() + 1));
    doc.RemoveObserver(view);
}
BENCHMARK(BM_CheckDatesOverTenThousandEventsAndTodos)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace dv
