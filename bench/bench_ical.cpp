// iCalendar import and export of 100,000 events beside libical's own parse and serialisation
// of the same text, so the mapping's share shows as the difference.

#include "core/CDateEntry.h"
#include "core/RepetitionRule.h"
#include "ical/IcalCalendar.h"
#include "ical/IcalMapping.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <libical/ical.h>
#include <string>

namespace {

constexpr int kEvents = 100000;

// 100,000 events of the everyday shapes: single, all-day, weekly, monthly, with alarms.
const dv::DocumentContents& Contents() {
    static const dv::DocumentContents contents = [] {
        ::setenv("TZ", "Europe/Berlin", 1);
        dv::DocumentContents c;
        const dv::CDateTime now(2024, 1, 1, 8, 0, 0);
        for (int i = 0; i < kEvents; ++i) {
            auto event = std::make_unique<dv::CDateEntry>(now);
            dv::DateData d = event->GetData();
            d.Description = "Event number " + std::to_string(i);
            d.Notes = i % 3 == 0 ? "Notes, with a comma; and a second line\nhere" : "";
            d.Category = i % 5 == 0 ? "Work" : "";
            d.StartDate = now + dv::CDateTimeSpan(int64_t{i % 700} * 86400 + (i % 24) * 3600);
            d.EndDate = d.StartDate + dv::CDateTimeSpan(3600);
            d.ShowStartTime = i % 7 == 0 ? 0 : 1;
            d.Repeat = i % 4 == 0 ? dv::kRepeatInterval : dv::kRepeatNone;
            d.RepeatRate = 1;
            d.RepeatUnit = i % 8 == 0 ? dv::kRepeatWeeks : dv::kRepeatMonths;
            d.Forewarn = i % 2;
            d.ForewarnSpan = 15;
            event->AssignData(d);
            c.events.push_back(std::move(event));
        }
        return c;
    }();
    return contents;
}

const std::string& Text() {
    static const std::string text = [] {
        dv::ical::ExportReport report;
        return dv::ical::ExportCalendar(Contents(), {}, dv::CDateTime(2024, 1, 1), report);
    }();
    return text;
}

void BM_LibicalParse(benchmark::State& state) {
    const std::string& text = Text();
    for (auto _ : state) {
        icalcomponent* root = icalparser_parse_string(text.c_str());
        benchmark::DoNotOptimize(root);
        icalcomponent_free(root);
    }
    state.SetItemsProcessed(state.iterations() * kEvents);
}
BENCHMARK(BM_LibicalParse)->Unit(benchmark::kMillisecond);

void BM_IcalImport(benchmark::State& state) {
    const std::string& text = Text();
    for (auto _ : state) {
        dv::DocumentContents contents;
        dv::ical::UidStore uids;
        const auto report =
            dv::ical::ImportCalendar(text, contents, uids, dv::CDateTime(2024, 1, 1));
        benchmark::DoNotOptimize(report.entries.size());
    }
    state.SetItemsProcessed(state.iterations() * kEvents);
}
BENCHMARK(BM_IcalImport)->Unit(benchmark::kMillisecond);

void BM_LibicalSerialise(benchmark::State& state) {
    const dv::ical::ComponentPtr root = dv::ical::ParseCalendar(Text());
    for (auto _ : state) {
        char* text = icalcomponent_as_ical_string_r(root.get());
        benchmark::DoNotOptimize(text);
        std::free(text);
    }
    state.SetItemsProcessed(state.iterations() * kEvents);
}
BENCHMARK(BM_LibicalSerialise)->Unit(benchmark::kMillisecond);

void BM_IcalExport(benchmark::State& state) {
    const dv::DocumentContents& contents = Contents();
    for (auto _ : state) {
        dv::ical::ExportReport report;
        const std::string text =
            dv::ical::ExportCalendar(contents, {}, dv::CDateTime(2024, 1, 1), report);
        benchmark::DoNotOptimize(text.size());
    }
    state.SetItemsProcessed(state.iterations() * kEvents);
}
BENCHMARK(BM_IcalExport)->Unit(benchmark::kMillisecond);

} // namespace
