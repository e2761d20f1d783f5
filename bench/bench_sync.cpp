// The merge step of a synchronisation, which runs on the user-interface thread: a private
// document with 10,000 shared events and 1,000 shared to-dos against a shared file that holds the
// same entries, 200 of them changed by another user, 50 new and 50 deleted, while the local change
// list names 100 entries to push. Reading and writing the shared copy are part of the figure.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CDateTimeSpan.h"
#include "core/CTodoEntry.h"
#include "document/CDayvaultDoc.h"
#include "document/DocumentContents.h"
#include "document/EventFile.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <random>
#include <string>

namespace dv {
namespace {

constexpr int kEvents = 10000;
constexpr int kTodos = 1000;
const CDateTime kStart(2027, 1, 4, 9, 0, 0);

std::unique_ptr<CDateEntry> SharedEvent(int i) {
    auto event = std::make_unique<CDateEntry>(kStart);
    DateData d = event->GetData(); // with its new GUID
    d.Description = "Team appointment " + std::to_string(i);
    d.Category = "Team";
    d.Notes = i % 3 == 0 ? "Room " + std::to_string(i % 40) : "";
    d.StartDate = kStart + CDateTimeSpan(i % 365, i % 9, (i % 4) * 15, 0);
    d.EndDate = d.StartDate + CDateTimeSpan(0, 1, 0, 0);
    d.StorageType = 1;
    event->AssignData(d);
    return event;
}

std::unique_ptr<CTodoEntry> SharedTodo(int i) {
    auto todo = std::make_unique<CTodoEntry>(kStart);
    TodoData d = todo->GetData(); // with its new GUID
    d.Description = "Team task " + std::to_string(i);
    d.Group = "Team";
    d.Deadline = kStart + CDateTimeSpan(i % 365, 0, 0, 0);
    d.ShowDeadline = 1;
    d.StorageType = 1;
    todo->SetData(d);
    return todo;
}

struct Situation {
    DocumentContents local;
    std::vector<uint8_t> sharedBytes;
};

Situation MakeSituation() {
    Situation s;
    DocumentContents shared;
    for (int i = 0; i < kEvents; ++i) {
        auto event = SharedEvent(i);
        auto copy = std::make_unique<CDateEntry>(*event);
        if (i % 50 == 0) { // changed by another user
            DateData d = copy->GetData();
            d.Description += " (moved)";
            d.StartDate = d.StartDate + CDateTimeSpan(1, 0, 0, 0);
            d.EndDate = d.EndDate + CDateTimeSpan(1, 0, 0, 0);
            copy->AssignData(d);
        }
        if (i % 200 != 1) { // the rest deleted by another user
            shared.events.push_back(std::move(copy));
        }
        if (i % 100 == 2) { // changed here
            DateData d = event->GetData();
            d.Notes = "changed here";
            event->AssignData(d);
            s.local.changeList.push_back(event->GetGUID());
        }
        s.local.events.push_back(std::move(event));
    }
    for (int i = 0; i < 50; ++i) {
        shared.events.push_back(SharedEvent(kEvents + i));
    }
    for (int i = 0; i < kTodos; ++i) {
        auto todo = SharedTodo(i);
        shared.todos.push_back(std::make_unique<CTodoEntry>(*todo));
        s.local.todos.push_back(std::move(todo));
    }
    s.sharedBytes = WriteEventFileBytes(shared);
    return s;
}

void BM_SynchronizeWith_TenThousandShared(benchmark::State& state) {
    const Situation situation = MakeSituation();
    const std::vector<uint8_t> localBytes = WriteEventFileBytes(situation.local);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "dayvault-bench-sync";
    std::filesystem::create_directories(folder);
    const std::filesystem::path localPath = folder / "mine.dat";
    const std::filesystem::path sharedPath = folder / "merge.dat";
    DocumentContents withChanges = ReadEventFileBytes(localBytes);
    withChanges.changeList = situation.local.changeList;
    WriteEventFile(localPath, withChanges);
    for (auto _ : state) {
        state.PauseTiming();
        // A fresh document each time; it is never saved, so every round merges the same files.
        auto doc = std::make_unique<CDayvaultDoc>();
        doc->Open(localPath);
        {
            std::FILE* file = std::fopen(sharedPath.c_str(), "wb");
            std::fwrite(situation.sharedBytes.data(), 1, situation.sharedBytes.size(), file);
            std::fclose(file);
        }
        state.ResumeTiming();
        const bool merged = doc->SynchronizeWith(sharedPath, 2, 3);
        benchmark::DoNotOptimize(merged);
        state.PauseTiming();
        const bool expected = merged &&
                              doc->GetChangeList().size() == situation.local.changeList.size() &&
                              doc->GetDateEntryCount() == kEvents - kEvents / 200 + 50;
        doc.reset();
        state.ResumeTiming();
        if (!expected) {
            state.SkipWithError("the merge did not do what the situation needs");
            break;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SynchronizeWith_TenThousandShared)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace dv
