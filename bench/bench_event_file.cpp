// Opening and saving an event file of 100,000 events with realistic fields, through the file
// (saving includes the flush to disk and the rename), the same streams in memory, and the text
// backup of the same document. The file benchmarks report the process's peak resident memory so
// far; run each alone (--benchmark_filter=BM_OpenEventFile$) to see its own figure: saving holds
// the document in memory, opening builds it from the file.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/CTodoEntry.h"
#include "core/Guid.h"
#include "document/EventFile.h"
#include "document/TextBackup.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace dv {
namespace {

constexpr int kEventCount = 100000;
constexpr int kTodoCount = 2000;

double PeakResidentMegabytes() {
#ifndef _WIN32
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
#else
    return 0.0;
#endif
}

/// A heavy user's file: ten categories, appointments with descriptions and some notes, a quarter
/// of them repeating, half with a forewarning, a few dropped occurrences and pending reminders.
DocumentContents MakeDocument() {
    const CDateTime created(2024, 6, 3, 8, 0, 0);
    std::mt19937 random(1234);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const std::vector<std::string> categories = {"Work",   "Home",    "Birthdays", "Sport",
                                                 "Doctor", "Travel",  "Family",    "Finance",
                                                 "School", "Meetings"};
    DocumentContents contents;
    for (const std::string& category : categories) {
        auto entry = std::make_unique<CDateEntry>(created);
        DateData d = entry->GetData();
        d.Category = category;
        d.Display = 2;
        d.DisplayColor = static_cast<uint32_t>(pick(0, 0xFFFFFF));
        entry->AssignData(d);
        contents.templates.push_back(std::move(entry));
    }
    contents.events.reserve(kEventCount);
    for (int i = 0; i < kEventCount; ++i) {
        auto entry = std::make_unique<CDateEntry>(created);
        entry->UpdateReminders(created);
        DateData d = entry->GetData();
        d.Category = categories[static_cast<size_t>(pick(0, 9))];
        d.Description = "Appointment " + std::to_string(i) + " with " +
                        (pick(0, 3) == 0 ? "Dr. M\xC3\xBCller" : "the project team");
        if (pick(0, 4) == 0) {
            d.Notes = "Bring the documents.\nRoom " + std::to_string(pick(100, 499)) +
                      ", second floor.\nCall ahead if late.";
        }
        d.StartDate = created + CDateTimeSpan(pick(-700, 700), pick(7, 19), pick(0, 3) * 15, 0);
        d.EndDate = d.StartDate + CDateTimeSpan(0, pick(0, 2), 30, 0);
        if (pick(0, 3) == 0) {
            d.Repeat = 1;
            d.RepeatRate = 1;
            d.RepeatUnit = pick(2, 5);
        }
        if (pick(0, 1) == 0) {
            d.Forewarn = 1;
            d.ForewarnSpan = pick(5, 60);
        }
        if (pick(0, 19) == 0) {
            d.Action = 1;
            d.DocumentFile = "/home/user/Documents/agenda-" + std::to_string(i) + ".pdf";
        }
        entry->SetData(d, created);
        if (d.Repeat != 0 && pick(0, 9) == 0) {
            entry->DropOccurrence(d.StartDate + CDateTimeSpan(7, 0, 0, 0));
        }
        entry->UpdateReminders(created + CDateTimeSpan(0, 1, 0, 0));
        contents.events.push_back(std::move(entry));
    }
    for (int i = 0; i < kTodoCount; ++i) {
        auto todo = std::make_unique<CTodoEntry>(created);
        TodoData d = todo->GetData();
        d.Group = categories[static_cast<size_t>(pick(0, 9))];
        d.Description = "Task " + std::to_string(i);
        d.Deadline = created + CDateTimeSpan(pick(-30, 90), 0, 0, 0);
        d.Priority = pick(1, 10);
        todo->SetData(d);
        todo->SetCurrentTime(created);
        contents.todos.push_back(std::move(todo));
    }
    for (int i = 0; i < 50; ++i) {
        contents.changeList.push_back(NewGuidString());
    }
    return contents;
}

const DocumentContents& Document() {
    static const DocumentContents contents = MakeDocument();
    return contents;
}

std::filesystem::path BenchFile(const char* name) {
    return std::filesystem::temp_directory_path() / name;
}

void BM_SaveEventFile(benchmark::State& state) {
    const DocumentContents& contents = Document();
    const auto path = BenchFile("dayvault-bench-save.dat");
    for (auto _ : state) {
        WriteEventFile(path, contents);
    }
    state.counters["file_mb"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    state.counters["peak_rss_mb"] = PeakResidentMegabytes();
    std::filesystem::remove(path);
    std::filesystem::remove(SyncSidePath(path));
}
BENCHMARK(BM_SaveEventFile)->Unit(benchmark::kMillisecond);

// Writes the benchmark's document to `path`. On POSIX systems a child process builds and writes
// it, so that the peak memory of this process is that of opening alone.
void WriteDocumentFile(const std::filesystem::path& path) {
#ifndef _WIN32
    const pid_t child = fork();
    if (child == 0) {
        WriteEventFile(path, MakeDocument());
        _exit(0);
    }
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
        WEXITSTATUS(status) == 0) {
        return;
    }
#endif
    WriteEventFile(path, Document());
}

void BM_OpenEventFile(benchmark::State& state) {
    const auto path = BenchFile("dayvault-bench-open.dat");
    WriteDocumentFile(path);
    for (auto _ : state) {
        DocumentContents contents = ReadEventFile(path);
        benchmark::DoNotOptimize(contents.events.data());
    }
    state.counters["peak_rss_mb"] = PeakResidentMegabytes();
    std::filesystem::remove(path);
    std::filesystem::remove(SyncSidePath(path));
}
BENCHMARK(BM_OpenEventFile)->Unit(benchmark::kMillisecond);

void BM_WriteEventFileBytes(benchmark::State& state) {
    const DocumentContents& contents = Document();
    for (auto _ : state) {
        std::vector<uint8_t> bytes = WriteEventFileBytes(contents);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_WriteEventFileBytes)->Unit(benchmark::kMillisecond);

void BM_ReadEventFileBytes(benchmark::State& state) {
    const std::vector<uint8_t> bytes = WriteEventFileBytes(Document());
    for (auto _ : state) {
        DocumentContents contents = ReadEventFileBytes(bytes);
        benchmark::DoNotOptimize(contents.events.data());
    }
}
BENCHMARK(BM_ReadEventFileBytes)->Unit(benchmark::kMillisecond);

void BM_WriteTextBackup(benchmark::State& state) {
    const DocumentContents& contents = Document();
    for (auto _ : state) {
        std::string bytes = WriteTextBackupBytes(contents);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_WriteTextBackup)->Unit(benchmark::kMillisecond);

void BM_ReadTextBackup(benchmark::State& state) {
    const std::string bytes = WriteTextBackupBytes(Document());
    const CDateTime now(2024, 6, 3, 9, 0, 0);
    for (auto _ : state) {
        DocumentContents contents = ReadTextBackupBytes(bytes, now);
        benchmark::DoNotOptimize(contents.events.data());
    }
}
BENCHMARK(BM_ReadTextBackup)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace dv
