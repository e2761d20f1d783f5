// Costs of the date-time operations that every occurrence scan, alarm tick and file load uses.

#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using dv::CDateTime;
using dv::CDateTimeSpan;

// A spread of dates so that branch prediction does not learn one answer.
std::vector<CDateTime> SampleDates() {
    std::vector<CDateTime> dates;
    uint32_t state = 12345;
    for (int i = 0; i < 1024; ++i) {
        state = state * 1664525u + 1013904223u;
        const auto dayNumber = static_cast<int32_t>(1 + state % 3652059);
        const auto seconds = static_cast<int32_t>((state >> 8) % 86400);
        dates.push_back(CDateTime::FromDayNumber(dayNumber, seconds));
    }
    return dates;
}

void BM_DayNumber(benchmark::State& state) {
    const std::vector<CDateTime> dates = SampleDates();
    size_t i = 0;
    for (auto _ : state) {
        const CDateTime& date = dates[i++ & 1023];
        benchmark::DoNotOptimize(
            CDateTime::DayNumber(date.GetYear(), date.GetMonth(), date.GetDay()));
    }
}
BENCHMARK(BM_DayNumber);

void BM_FromDayNumber(benchmark::State& state) {
    const std::vector<CDateTime> dates = SampleDates();
    size_t i = 0;
    for (auto _ : state) {
        const CDateTime& date = dates[i++ & 1023];
        benchmark::DoNotOptimize(
            CDateTime::FromDayNumber(date.GetDayNumber(), date.GetSecondsOfDay()));
    }
}
BENCHMARK(BM_FromDayNumber);

void BM_AddSpan(benchmark::State& state) {
    const std::vector<CDateTime> dates = SampleDates();
    const CDateTimeSpan spans[] = {CDateTimeSpan(0, 1, 30, 0), CDateTimeSpan(-86399),
                                   CDateTimeSpan(7, 0, 0, 0), CDateTimeSpan(400000)};
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dates[i & 1023] + spans[i & 3]);
        ++i;
    }
}
BENCHMARK(BM_AddSpan);

void BM_FormatTypical(benchmark::State& state) {
    const std::vector<CDateTime> dates = SampleDates();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dates[i++ & 1023].Format("%a, %d.%m.%Y %H:%M"));
    }
}
BENCHMARK(BM_FormatTypical);

void BM_FormatFixed(benchmark::State& state) {
    const std::vector<CDateTime> dates = SampleDates();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(dates[i++ & 1023].FormatFixed());
    }
}
BENCHMARK(BM_FormatFixed);

void BM_Parse(benchmark::State& state) {
    std::vector<std::string> texts;
    for (const CDateTime& date : SampleDates()) {
        texts.push_back(date.FormatFixed());
    }
    CDateTime value;
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value.Parse(texts[i++ & 1023]));
    }
}
BENCHMARK(BM_Parse);

} // namespace
