// Throughput of the object archive: primitives, short strings and 100,000 small objects, in memory
// and through a file.

#include "core/CArchive.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using dv::CArchive;

constexpr int kItemCount = 100000;

// About the size of a small record: two LONGs and a short text.
class CBenchItem : public dv::CObject {
public:
    static const dv::CRuntimeClass RuntimeClass;
    const dv::CRuntimeClass* GetRuntimeClass() const override { return &RuntimeClass; }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteLong(m_day);
            ar.WriteLong(m_seconds);
            ar.WriteString(m_text);
        } else {
            m_day = ar.ReadLong();
            m_seconds = ar.ReadLong();
            m_text = ar.ReadString();
        }
    }

    int32_t m_day = 0;
    int32_t m_seconds = 0;
    std::string m_text;
};
const dv::CRuntimeClass CBenchItem::RuntimeClass{"CBenchItem", 1, 1, nullptr,
                                                 &dv::MakeObject<CBenchItem>};

std::vector<std::unique_ptr<CBenchItem>> MakeItems() {
    std::vector<std::unique_ptr<CBenchItem>> items;
    for (int i = 0; i < kItemCount; ++i) {
        auto item = std::make_unique<CBenchItem>();
        item->m_day = 738000 + i;
        item->m_seconds = (i * 37) % 86400;
        item->m_text = "Meeting " + std::to_string(i);
        items.push_back(std::move(item));
    }
    return items;
}

std::vector<std::string> MakeStrings() {
    std::vector<std::string> strings;
    for (int i = 0; i < kItemCount; ++i) {
        // Every fourth one needs Windows-1252, every sixteenth the Unicode form.
        std::string text = "Entry " + std::to_string(i);
        if (i % 4 == 1) {
            text += " caf\xC3\xA9";
        } else if (i % 16 == 3) {
            text += " \xE2\x9C\x93";
        }
        strings.push_back(std::move(text));
    }
    return strings;
}

void WritePrimitives(CArchive& ar) {
    for (int i = 0; i < kItemCount; ++i) {
        ar.WriteByte(static_cast<uint8_t>(i));
        ar.WriteWord(static_cast<uint16_t>(i));
        ar.WriteDWord(static_cast<uint32_t>(i));
        ar.WriteLong(-i);
    }
}

std::vector<uint8_t> Store(const auto& write) {
    dv::CMemorySink sink;
    CArchive ar(sink);
    write(ar);
    ar.Close();
    return sink.TakeData();
}

void ReadItems(CArchive& ar) {
    const uint32_t count = ar.ReadCount();
    ar.CheckCount(count, 2);
    std::vector<std::unique_ptr<CBenchItem>> items;
    items.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        items.push_back(ar.ReadObject<CBenchItem>());
    }
    benchmark::DoNotOptimize(items.data());
}

void WriteItems(CArchive& ar, const std::vector<std::unique_ptr<CBenchItem>>& items) {
    ar.WriteCount(static_cast<uint32_t>(items.size()));
    for (const auto& item : items) {
        ar.WriteObject(item.get());
    }
}

void Report(benchmark::State& state, size_t bytes, int64_t items) {
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
    state.SetItemsProcessed(state.iterations() * items);
}

// ---- In memory ----------------------------------------------------------------------------------

void BM_WritePrimitives(benchmark::State& state) {
    size_t size = 0;
    for (auto _ : state) {
        size = Store(WritePrimitives).size();
    }
    Report(state, size, 4 * kItemCount);
}
BENCHMARK(BM_WritePrimitives);

void BM_ReadPrimitives(benchmark::State& state) {
    const std::vector<uint8_t> bytes = Store(WritePrimitives);
    for (auto _ : state) {
        dv::CMemorySource source(bytes);
        CArchive ar(source);
        uint64_t sum = 0;
        for (int i = 0; i < kItemCount; ++i) {
            sum += ar.ReadByte();
            sum += ar.ReadWord();
            sum += ar.ReadDWord();
            sum += static_cast<uint32_t>(ar.ReadLong());
        }
        benchmark::DoNotOptimize(sum);
    }
    Report(state, bytes.size(), 4 * kItemCount);
}
BENCHMARK(BM_ReadPrimitives);

void BM_WriteShortStrings(benchmark::State& state) {
    const std::vector<std::string> strings = MakeStrings();
    size_t size = 0;
    for (auto _ : state) {
        size = Store([&](CArchive& ar) {
                   for (const std::string& text : strings) {
                       ar.WriteString(text);
                   }
               }).size();
    }
    Report(state, size, kItemCount);
}
BENCHMARK(BM_WriteShortStrings);

void BM_ReadShortStrings(benchmark::State& state) {
    const std::vector<std::string> strings = MakeStrings();
    const std::vector<uint8_t> bytes = Store([&](CArchive& ar) {
        for (const std::string& text : strings) {
            ar.WriteString(text);
        }
    });
    for (auto _ : state) {
        dv::CMemorySource source(bytes);
        CArchive ar(source);
        for (int i = 0; i < kItemCount; ++i) {
            benchmark::DoNotOptimize(ar.ReadString());
        }
    }
    Report(state, bytes.size(), kItemCount);
}
BENCHMARK(BM_ReadShortStrings);

void BM_WriteObjects(benchmark::State& state) {
    const auto items = MakeItems();
    size_t size = 0;
    for (auto _ : state) {
        size = Store([&](CArchive& ar) { WriteItems(ar, items); }).size();
    }
    Report(state, size, kItemCount);
}
BENCHMARK(BM_WriteObjects)->Unit(benchmark::kMillisecond);

void BM_ReadObjects(benchmark::State& state) {
    const auto items = MakeItems();
    const std::vector<uint8_t> bytes = Store([&](CArchive& ar) { WriteItems(ar, items); });
    for (auto _ : state) {
        dv::CMemorySource source(bytes);
        CArchive ar(source);
        ReadItems(ar);
    }
    Report(state, bytes.size(), kItemCount);
}
BENCHMARK(BM_ReadObjects)->Unit(benchmark::kMillisecond);

// ---- Through a file -----------------------------------------------------------------------------

// A folder of its own under the system's temporary folder, removed when the benchmark ends.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::random_device seed;
        m_path = std::filesystem::temp_directory_path() /
                 ("dayvault-bench-" + std::to_string(seed()) + std::to_string(seed()));
        std::filesystem::create_directories(m_path);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// Includes flushing the file to the disk and renaming it into place.
void BM_WriteObjectsToFile(benchmark::State& state) {
    const TemporaryFolder folder;
    const auto target = folder.Path() / "events.dat";
    const auto items = MakeItems();
    for (auto _ : state) {
        dv::CAtomicFileSink sink(target);
        CArchive ar(sink);
        WriteItems(ar, items);
        ar.Close();
        sink.Commit();
    }
    Report(state, std::filesystem::file_size(target), kItemCount);
}
BENCHMARK(BM_WriteObjectsToFile)->Unit(benchmark::kMillisecond);

void BM_ReadObjectsFromFile(benchmark::State& state) {
    const TemporaryFolder folder;
    const auto target = folder.Path() / "events.dat";
    const auto items = MakeItems();
    {
        dv::CAtomicFileSink sink(target);
        CArchive ar(sink);
        WriteItems(ar, items);
        ar.Close();
        sink.Commit();
    }
    for (auto _ : state) {
        dv::CFileSource source(target);
        CArchive ar(source);
        ReadItems(ar);
    }
    Report(state, std::filesystem::file_size(target), kItemCount);
}
BENCHMARK(BM_ReadObjectsFromFile)->Unit(benchmark::kMillisecond);

} // namespace
