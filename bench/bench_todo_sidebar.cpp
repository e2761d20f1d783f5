// The to-do page and the sidebar search, offscreen:
//   - filling the to-do page with 10,000 to-dos (a to-do reset, hint 13), and sorting it again
//     by another column; target under 50 ms;
//   - the sidebar's event search over the year 2007 of a calendar of 40,000 events (the dense
//     calendar four times over) with a content filter; target under 100 ms.

#include "BenchCalendar.h"
#include "app/CTodoPage.h"
#include "document/CDayvaultDoc.h"
#include "document/Search.h"
#include "settings/CSettings.h"
#include "settings/CWindowSettings.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace dv {
namespace {

struct TodoList {
    CDayvaultDoc doc;
    CSettings settings;
    CWindowSettings layout;

    TodoList() {
        std::mt19937 random(2007);
        for (int i = 0; i < 10000; ++i) {
            auto todo = std::make_unique<CTodoEntry>(bench::kYearStart);
            TodoData data = todo->GetData();
            data.Description = "Task " + std::to_string(bench::PickIn(random, 0, 99999));
            data.Group = "Group " + std::to_string(bench::PickIn(random, 0, 9));
            data.Priority = bench::PickIn(random, 1, 10);
            data.ShowDeadline = bench::PickIn(random, 0, 9) == 0 ? 0 : 1;
            data.ShowDeadlineTime = bench::PickIn(random, 0, 1);
            data.Deadline = bench::kYearStart + CDateTimeSpan(bench::PickIn(random, 0, 364),
                                                              bench::PickIn(random, 0, 23), 0, 0);
            todo->SetData(data);
            todo->SetDone(bench::PickIn(random, 0, 4) == 0);
            doc.AddTodoEntry(std::move(todo), 0);
        }
        doc.CheckDates(CDateTime(2007, 6, 13, 12, 0, 0), false, 0);
    }

    TodoPageHost Host() {
        TodoPageHost host;
        host.doc = &doc;
        host.settings = &settings;
        host.layout = &layout;
        return host;
    }
};

void BM_TodoPageFill(benchmark::State& state) {
    TodoList list;
    CTodoPage page(list.Host());
    page.resize(1000, 600);
    for (auto _ : state) {
        list.doc.UpdateAllViews(UpdateHint::TodosReset);
        benchmark::DoNotOptimize(page.RowCount());
    }
}
BENCHMARK(BM_TodoPageFill)->Unit(benchmark::kMillisecond);

void BM_TodoPageResort(benchmark::State& state) {
    TodoList list;
    CTodoPage page(list.Host());
    page.resize(1000, 600);
    int column = 0;
    for (auto _ : state) {
        // Description, then priority, then group: each a new primary key.
        page.ClickColumn((column++ % 3) == 0
                             ? kTodoColDescription
                             : (column % 3 == 1 ? kTodoColPriority : kTodoColGroup));
        benchmark::DoNotOptimize(page.TodoAt(0));
    }
}
BENCHMARK(BM_TodoPageResort)->Unit(benchmark::kMillisecond);

struct BigCalendar {
    CDayvaultDoc doc;
    BigCalendar() {
        for (int copy = 0; copy < 4; ++copy) {
            for (auto& event : bench::MakeCalendar()) {
                doc.AddDateEntry(std::move(event), 0);
            }
        }
        doc.CheckDates(CDateTime(2007, 6, 13, 12, 0, 0), false, 0);
    }
};

void SearchYear(benchmark::State& state, const std::string& text, int mode) {
    BigCalendar calendar;
    FilterState filter;
    filter.textSearchOn = !text.empty();
    filter.matchMode = mode;
    filter.searchText = text;
    calendar.doc.SetEventFilter(filter);
    SearchRange range;
    range.from = CDateTime(2007, 1, 1);
    range.to = CDateTime(2007, 12, 31);
    const FormatSettings formats = FormatSettings::Defaults();
    size_t rows = 0;
    for (auto _ : state) {
        rows = SearchEvents(calendar.doc, range, formats, "%d.%m.%Y", kSortByDate).rows.size();
    }
    state.counters["rows"] = static_cast<double>(rows);
}

// The yardstick: every occurrence tested with the whole filter, as the search did before.
void BM_PlainWalkWord(benchmark::State& state) {
    BigCalendar calendar;
    FilterState filter;
    filter.textSearchOn = true;
    filter.searchText = "appointment 1234";
    calendar.doc.SetEventFilter(filter);
    const FormatSettings formats = FormatSettings::Defaults();
    const CDateTime first(2007, 1, 1, 0, 0, 0);
    const CDateTime last(2007, 12, 31, 23, 59, 59);
    for (auto _ : state) {
        int found = 0;
        for (const auto& owned : calendar.doc.GetDateEntries()) {
            CDateEntry& event = *owned;
            CDateTime start;
            CDateTime end;
            for (bool ok = event.FindFirstOccurrence(first, last, start, end); ok;
                 ok = event.FindNextOccurrence(first, last, start, end)) {
                if (PassesEventFilter(calendar.doc, event, start, formats)) {
                    ++found;
                    break;
                }
            }
        }
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_PlainWalkWord)->Unit(benchmark::kMillisecond);

void BM_SidebarSearchWord(benchmark::State& state) {
    SearchYear(state, "appointment 1234", kMatchAllWords);
}
BENCHMARK(BM_SidebarSearchWord)->Unit(benchmark::kMillisecond);

void BM_SidebarSearchNotes(benchmark::State& state) {
    SearchYear(state, "room 12,", kMatchExact);
}
BENCHMARK(BM_SidebarSearchNotes)->Unit(benchmark::kMillisecond);

void BM_SidebarSearchNoText(benchmark::State& state) {
    SearchYear(state, "", kMatchAllWords);
}
BENCHMARK(BM_SidebarSearchNoText)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace dv

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
