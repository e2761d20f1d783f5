// Frame costs of the calendar pages on the dense calendar (10,000 events, about 200,000
// occurrences in 2007), drawn offscreen: a full rebuild and repaint of the month page and of the
// year page, and a page step of the month page. Target: one frame at 60 Hz (16 ms), wall clock.
// Also an alarm tick with a thousand changed events and its repaint (target 50 ms).

#include "BenchCalendar.h"
#include "app/CCalendarPage.h"
#include "app/CYearPage.h"
#include "document/CDayvaultDoc.h"
#include "settings/CSettings.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <ctime>
#include <time.h>

namespace dv {
namespace {

constexpr int kWidth = 1100;
constexpr int kHeight = 620;

struct Calendar {
    CDayvaultDoc doc;
    CSettings settings;
    bool showHidden = false;

    Calendar() {
        for (auto& event : bench::MakeCalendar()) {
            doc.AddDateEntry(std::move(event), 0);
        }
        // June: the dense middle of the year, every series running.
        doc.SetSelectedDate(CDateTime(2007, 6, 13), false);
    }

    CalendarHost Host() {
        CalendarHost host;
        host.doc = &doc;
        host.settings = &settings;
        host.showHidden = [this] { return showHidden; };
        return host;
    }
};

// The processor time of every thread of the process per iteration, beside the wall clock: the
// listing spreads over threads, and on a busy machine the wall clock shows the others' load.
class ProcessCpu {
public:
    ProcessCpu() : m_start(std::clock()) {}
    void Report(benchmark::State& state) const {
        const double ms = 1000.0 * static_cast<double>(std::clock() - m_start) / CLOCKS_PER_SEC;
        state.counters["process_cpu_ms"] =
            benchmark::Counter(ms / static_cast<double>(state.iterations()));
    }

private:
    std::clock_t m_start;
};

// The calling thread's processor time in milliseconds.
double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Draws the whole page with its children, as the first frame after a change would, and adds
// the user-interface thread's time for the update and for the painting to the counters.
struct Frame {
    double update = 0;
    double paint = 0;
    template <class Update>
    void Run(QWidget& page, QImage& image, const Update& update_) {
        const double start = ThreadCpuMs();
        update_();
        const double updated = ThreadCpuMs();
        {
            QPainter painter(&image);
            page.render(&painter);
        }
        update += updated - start;
        paint += ThreadCpuMs() - updated;
    }
    void Report(benchmark::State& state) const {
        const auto n = static_cast<double>(state.iterations());
        state.counters["ui_update_ms"] = update / n;
        state.counters["ui_paint_ms"] = paint / n;
    }
};

// A whole rebuild of `Page` after a merge, then its repaint.
template <class Page>
void BM_Page_RebuildAndPaint(benchmark::State& state) {
    Calendar calendar;
    Page page(calendar.Host());
    page.resize(kWidth, kHeight);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    const ProcessCpu cpu;
    Frame frame;
    for (auto _ : state) {
        frame.Run(page, image, [&] { calendar.doc.UpdateAllViews(UpdateHint::Merged); });
    }
    cpu.Report(state);
    frame.Report(state);
}
BENCHMARK(BM_Page_RebuildAndPaint<CMonthPage>)
    ->Name("BM_MonthPage_RebuildAndPaint")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Page_RebuildAndPaint<CYearPage>)
    ->Name("BM_YearPage_RebuildAndPaint")
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void BM_MonthPage_NextMonth(benchmark::State& state) {
    Calendar calendar;
    CMonthPage page(calendar.Host());
    page.resize(kWidth, kHeight);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    const ProcessCpu cpu;
    Frame frame;
    for (auto _ : state) {
        // Back and forth between June and July, as paging does.
        const int month = 6 + (step++ % 2);
        frame.Run(page, image, [&] {
            calendar.doc.SetSelectedDate(CDateTime(2007, month, 13), false);
            calendar.doc.UpdateAllViews(UpdateHint::PageMoved);
        });
    }
    cpu.Report(state);
    frame.Report(state);
}
BENCHMARK(BM_MonthPage_NextMonth)->UseRealTime()->Unit(benchmark::kMillisecond);

// The listing alone for the same 42 days, run beside the pages: what the month page adds is the
// difference, whatever the machine's load at the time.
void BM_MonthListingAlone(benchmark::State& state) {
    Calendar calendar;
    const FormatSettings formats = calendar.settings.GetFormatSettings();
    const calendar::DayRange range =
        calendar::MakeRange(calendar::PageKind::Month, calendar.doc.GetSelectedDate(), 1);
    const ProcessCpu cpu;
    for (auto _ : state) {
        auto days = BuildDayListing(calendar.doc.GetDateEntries(), range.first, 42, formats);
        benchmark::DoNotOptimize(days);
    }
    cpu.Report(state);
}
BENCHMARK(BM_MonthListingAlone)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_WeekPage_EventChanged(benchmark::State& state) {
    // One event edited: only its entries leave and come back.
    Calendar calendar;
    CWeekPage page(calendar.Host());
    page.resize(kWidth, kHeight);
    CDateEntry* event = calendar.doc.GetDateEntry(0);
    for (auto _ : state) {
        calendar.doc.UpdateAllViews(UpdateHint::EventChanged, event);
    }
}
BENCHMARK(BM_WeekPage_EventChanged)->UseRealTime()->Unit(benchmark::kMicrosecond);

// One alarm tick over the 10,000 events in which 1,000 of them change (their snoozes end), and
// the month page's repaint: the views hear of the batch once. Target: 50 ms, wall clock.
void BM_MonthPage_TickWithManyChanges(benchmark::State& state) {
    Calendar calendar;
    CMonthPage page(calendar.Host());
    page.resize(kWidth, kHeight);
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    const CDateTime now(2007, 6, 13, 12, 0, 0);
    calendar.doc.CheckDates(now, false, 0); // everything up to now evaluated once
    const CDateTime occurrence(2007, 6, 13, 9, 0, 0);
    constexpr int kChanges = 1000;
    const ProcessCpu cpu;
    Frame frame;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < kChanges; ++i) {
            calendar.doc.GetDateEntry(i * (bench::kEventCount / kChanges))->Snooze(occurrence, now);
        }
        state.ResumeTiming();
        frame.Run(page, image, [&] { calendar.doc.CheckDates(now, false, 0); });
    }
    cpu.Report(state);
    frame.Report(state);
}
BENCHMARK(BM_MonthPage_TickWithManyChanges)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
} // namespace dv

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
