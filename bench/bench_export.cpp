// Costs of the exports over a large calendar: a year of a 10,000-event calendar as CSV (one row
// per occurrence per day, built in memory as the export dialog does before it asks for the file),
// and the to-do export of 10,000 to-dos.

#include "BenchCalendar.h"
#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/CTodoEntry.h"
#include "core/DateData.h"
#include "core/RepetitionRule.h"
#include "export/CsvExport.h"
#include "export/DayListing.h"
#include "export/HtmlExport.h"
#include "settings/CSettings.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace dv {
namespace {

using bench::kYearStart;
using bench::MakeCalendar;
using bench::PickIn;
constexpr int kTodoCount = 10000;

/// Deadlines over the year, a tenth without one, a quarter with a time of day.
std::vector<std::unique_ptr<CTodoEntry>> MakeTodos() {
    std::mt19937 random(2008);
    std::vector<std::unique_ptr<CTodoEntry>> todos;
    todos.reserve(kTodoCount);
    for (int i = 0; i < kTodoCount; ++i) {
        TodoData d;
        d.Description = "Task " + std::to_string(PickIn(random, 0, kTodoCount));
        d.Group = "Group " + std::to_string(PickIn(random, 0, 7));
        d.Deadline =
            kYearStart + CDateTimeSpan(PickIn(random, 0, 364), PickIn(random, 8, 18), 0, 0);
        d.ShowDeadline = PickIn(random, 0, 9) == 0 ? 0 : 1;
        d.ShowDeadlineTime = PickIn(random, 0, 3) == 0 ? 1 : 0;
        d.Priority = PickIn(random, 1, 10);
        auto todo = std::make_unique<CTodoEntry>(kYearStart);
        todo->SetData(d);
        todos.push_back(std::move(todo));
    }
    return todos;
}

void BM_CsvExport_CalendarYear(benchmark::State& state) {
    const auto events = MakeCalendar();
    const CSettings settings;
    CsvExportSource source;
    source.events = &events;
    std::string text;
    for (auto _ : state) {
        text = BuildCsvExport(&source, {kCsvKindCalendar, kYearStart, 365}, settings);
        benchmark::DoNotOptimize(text);
    }
    state.counters["rows"] = static_cast<double>(std::count(text.begin(), text.end(), '\n'));
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_CsvExport_CalendarYear)->Unit(benchmark::kMillisecond);

void BM_CsvExport_TodoYear(benchmark::State& state) {
    const auto todos = MakeTodos();
    const CSettings settings;
    CsvExportSource source;
    source.todos = &todos;
    for (auto _ : state) {
        std::string text = BuildCsvExport(&source, {kCsvKindTodo, kYearStart, 365}, settings);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_CsvExport_TodoYear)->Unit(benchmark::kMillisecond);

// The HTML list of the whole year, escaping and day colours included.
void BM_HtmlListExport_CalendarYear(benchmark::State& state) {
    auto events = MakeCalendar();
    CSettings settings;
    HtmlExportSource source;
    source.events = &events;
    HtmlExport exporter(settings, source);
    size_t bytes = 0;
    for (auto _ : state) {
        std::string table = exporter.BuildTable(kHtmlKindList, kYearStart, 365);
        bytes = table.size();
        benchmark::DoNotOptimize(table);
    }
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_HtmlListExport_CalendarYear)->Unit(benchmark::kMillisecond);

// What the month page rebuilds: 42 days of entries with their texts, colours and order. The
// argument is the thread count of the listing (0: its own choice). Wall-clock time, since the
// listing may share the work among threads and a frame is measured on the wall clock.
void BM_DayListing_MonthPage(benchmark::State& state) {
    auto events = MakeCalendar();
    const FormatSettings formats = CSettings().GetFormatSettings();
    const CDateTime firstDay = kYearStart + CDateTimeSpan(150, 0, 0, 0);
    DayListingOptions options;
    options.threads = static_cast<int>(state.range(0));
    size_t entries = 0;
    for (auto _ : state) {
        const auto days = BuildDayListing(events, firstDay, 42, formats, options);
        entries = 0;
        for (const auto& day : days) {
            entries += day.size();
        }
        benchmark::DoNotOptimize(days);
    }
    state.counters["entries"] = static_cast<double>(entries);
}
BENCHMARK(BM_DayListing_MonthPage)
    ->ArgName("threads")
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
} // namespace dv
