#include "RecordBytes.h"
#include "core/CArchive.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <random>
#include <string>
#include <vector>

// ---- Allocation watch ---------------------------------------------------------------------------
// The largest single allocation while a watch is active shows whether a count or length read from
// the input made the reader allocate more than the input could hold.

namespace {
std::atomic<bool> g_watching{false};
std::atomic<size_t> g_largestAllocation{0};
} // namespace

void* operator new(std::size_t size) {
    if (g_watching.load(std::memory_order_relaxed)) {
        size_t seen = g_largestAllocation.load(std::memory_order_relaxed);
        while (size > seen && !g_largestAllocation.compare_exchange_weak(seen, size)) {
        }
    }
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

// GCC's mismatch check sees through the replacement after inlining and mistakes this pairing of
// our own new with free for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace dv {
namespace {

using Cause = CArchiveException::Cause;
using test::Bytes;
using test::Concat;
using test::ExpectArchiveError;
using test::Store;

class AllocationWatch {
public:
    AllocationWatch() {
        g_largestAllocation = 0;
        g_watching = true;
    }
    ~AllocationWatch() { g_watching = false; }
    size_t Largest() const { return g_largestAllocation; }
};

// A source that hands out a few bytes per call and never its memory, so that every refill path of
// the archive's buffer is taken.
class TrickleSource final : public CByteSource {
public:
    TrickleSource(const Bytes& bytes, unsigned seed) : m_bytes(bytes), m_random(seed) {}
    size_t Read(std::span<uint8_t> buffer) override {
        const size_t step =
            std::min<size_t>({buffer.size(), m_bytes.size() - m_position, 1 + m_random() % 9});
        std::copy_n(m_bytes.begin() + static_cast<ptrdiff_t>(m_position), step, buffer.begin());
        m_position += step;
        return step;
    }
    uint64_t GetRemaining() const override { return m_bytes.size() - m_position; }

private:
    const Bytes& m_bytes;
    size_t m_position = 0;
    std::mt19937 m_random;
};

// ---- Primitives, counts and strings -------------------------------------------------------------

TEST(ArchiveTest, PrimitivesAndCountsAreLittleEndian) {
    const Bytes bytes = Store([](CArchive& ar) {
        ar.WriteByte(0xAB);
        ar.WriteWord(0x1234);
        ar.WriteDWord(0x89ABCDEF);
        ar.WriteLong(INT32_MIN);
        ar.WriteCount(0xFFFE);
        ar.WriteCount(0xFFFF); // the escape value itself takes the long form
        EXPECT_EQ(ar.GetPosition(), 19u);
    });
    EXPECT_EQ(bytes, (Bytes{0xAB, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89, 0x00, 0x00, 0x00, 0x80, 0xFE,
                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
    const Bytes longFive = {0xFF, 0xFF, 0x05, 0x00, 0x00, 0x00};
    const Bytes all = Concat({bytes, longFive});
    CMemorySource source(all);
    CArchive ar(source);
    EXPECT_TRUE(ar.IsLoading());
    EXPECT_EQ(ar.ReadByte(), 0xAB);
    EXPECT_EQ(ar.ReadWord(), 0x1234);
    EXPECT_EQ(ar.ReadDWord(), 0x89ABCDEFu);
    EXPECT_EQ(ar.ReadLong(), INT32_MIN);
    EXPECT_EQ(ar.ReadCount(), 0xFFFEu);
    EXPECT_EQ(ar.ReadCount(), 0xFFFFu);
    EXPECT_EQ(ar.ReadCount(), 5u) << "a small count in the long form";
    EXPECT_EQ(ar.GetPosition(), 25u);
    EXPECT_EQ(ar.GetRemaining(), 0u);
}

TEST(ArchiveTest, StringLengthForms) {
    struct Row {
        size_t length;
        bool unicode; // of U+2713, else of ASCII letters
        Bytes prefix;
    };
    const Bytes marker = {0xFF, 0xFE, 0xFF};
    const Bytes dword = {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00};
    const std::vector<Row> rows = {
        {254, false, {0xFE}},
        {255, false, {0xFF, 0xFF, 0x00}},
        {0xFFFD, false, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, false, dword}, // a WORD 0xFFFE would be the Unicode marker
        {255, true, Concat({marker, {0xFF, 0xFF, 0x00}})},
        {0xFFFE, true, Concat({marker, dword})},
    };
    for (const Row& row : rows) {
        std::string text;
        Bytes body;
        for (size_t i = 0; i < row.length; ++i) {
            text += row.unicode ? "\xE2\x9C\x93" : std::string(1, static_cast<char>('a' + i % 26));
            body.push_back(row.unicode ? 0x13 : static_cast<uint8_t>('a' + i % 26));
            if (row.unicode) {
                body.push_back(0x27);
            }
        }
        const Bytes bytes = Store([&](CArchive& ar) { ar.WriteString(text); });
        EXPECT_EQ(bytes, Concat({row.prefix, body})) << row.length << " " << row.unicode;
        CMemorySource source(bytes);
        CArchive ar(source);
        EXPECT_EQ(ar.ReadString(), text) << row.length;
        EXPECT_EQ(ar.GetRemaining(), 0u);
    }
}

TEST(ArchiveTest, StringsChooseWindows1252OrTheUnicodeForm) {
    struct Row {
        std::string utf8;
        Bytes bytes;
    };
    const std::vector<Row> rows = {
        {"\xE2\x82\xAC", {0x01, 0x80}}, // the euro sign fits
        {"\xC2\x81", {0x01, 0x81}},     // undefined 0x81 is kept
        {"\xC3\xA9\xE2\x9C\x93", {0xFF, 0xFE, 0xFF, 0x02, 0xE9, 0x00, 0x13, 0x27}},
        {"\xF0\x9F\x98\x80", {0xFF, 0xFE, 0xFF, 0x02, 0x3D, 0xD8, 0x00, 0xDE}},
    };
    for (const Row& row : rows) {
        const Bytes bytes = Store([&](CArchive& ar) { ar.WriteString(row.utf8); });
        EXPECT_EQ(bytes, row.bytes) << row.utf8;
        CMemorySource source(bytes);
        CArchive ar(source);
        EXPECT_EQ(ar.ReadString(), row.utf8);
    }
    // Ill-formed UTF-8 is stored as U+FFFD in the Unicode form.
    EXPECT_EQ(Store([](CArchive& ar) { ar.WriteString("a\xFF"); }),
              (Bytes{0xFF, 0xFE, 0xFF, 0x02, 'a', 0x00, 0xFD, 0xFF}));
}

// ---- Streams of mixed content -------------------------------------------------------------------

TEST(ArchiveTest, MixedStreamsReadBackThroughEverySource) {
    // Random values of every kind; now and then a string longer than the
    // archive's buffer.
    struct Item {
        int kind;
        uint32_t value;
        std::string text;
    };
    std::mt19937 random(99);
    std::vector<Item> items;
    for (int i = 0; i < 3000; ++i) {
        Item item{static_cast<int>(random() % 5), static_cast<uint32_t>(random()), {}};
        if (item.kind == 4) {
            const size_t length = random() % 50 == 0 ? 70000 + random() % 70000 : random() % 300;
            for (size_t k = 0; k < length; ++k) {
                item.text += static_cast<char>('a' + random() % 26);
            }
            item.text += random() % 4 == 0 ? "\xE2\x9C\x93" : ""; // the Unicode form
        }
        items.push_back(item);
    }
    std::vector<uint64_t> positions;
    const Bytes bytes = Store([&](CArchive& ar) {
        for (const Item& item : items) {
            positions.push_back(ar.GetPosition());
            switch (item.kind) {
            case 0:
                ar.WriteByte(static_cast<uint8_t>(item.value));
                break;
            case 1:
                ar.WriteWord(static_cast<uint16_t>(item.value));
                break;
            case 2:
                ar.WriteDWord(item.value);
                break;
            case 3:
                ar.WriteLong(static_cast<int32_t>(item.value));
                break;
            default:
                ar.WriteString(item.text);
            }
        }
    });
    ASSERT_GT(bytes.size(), 3 * CArchive::kBufferSize);

    auto readAll = [&](CByteSource& source) {
        CArchive ar(source);
        for (size_t i = 0; i < items.size(); ++i) {
            const Item& item = items[i];
            ASSERT_EQ(ar.GetPosition(), positions[i]) << "item " << i;
            switch (item.kind) {
            case 0:
                ASSERT_EQ(ar.ReadByte(), static_cast<uint8_t>(item.value)) << i;
                break;
            case 1:
                ASSERT_EQ(ar.ReadWord(), static_cast<uint16_t>(item.value)) << i;
                break;
            case 2:
                ASSERT_EQ(ar.ReadDWord(), item.value) << i;
                break;
            case 3:
                ASSERT_EQ(ar.ReadLong(), static_cast<int32_t>(item.value)) << i;
                break;
            default:
                ASSERT_EQ(ar.ReadString(), item.text) << i;
            }
        }
        EXPECT_EQ(ar.GetRemaining(), 0u);
        EXPECT_EQ(ar.GetPosition(), bytes.size());
    };
    CMemorySource inPlace(bytes);
    readAll(inPlace);
    TrickleSource trickle(bytes, 5);
    readAll(trickle);
}

TEST(ArchiveTest, RawBlocksCrossTheBufferBoundary) {
    Bytes block(3 * CArchive::kBufferSize + 17);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    const Bytes bytes = Store([&](CArchive& ar) {
        ar.WriteByte(1);
        ar.WriteBytes(std::span(block).first(CArchive::kBufferSize - 1));
        ar.WriteByte(3); // into a full buffer
        ar.WriteBytes(block);
        ar.WriteByte(2);
    });
    ASSERT_EQ(bytes.size(), CArchive::kBufferSize + block.size() + 2);
    TrickleSource source(bytes, 1);
    CArchive ar(source);
    EXPECT_EQ(ar.ReadByte(), 1);
    Bytes first(CArchive::kBufferSize - 1);
    ar.ReadBytes(first);
    EXPECT_EQ(ar.ReadByte(), 3);
    Bytes big(block.size());
    ar.ReadBytes(big);
    EXPECT_EQ(big, block);
    EXPECT_EQ(ar.ReadByte(), 2);
}

// ---- Errors -------------------------------------------------------------------------------------

TEST(ArchiveTest, ErrorsNameTheOffsetAndWhatWasRead) {
    const auto skipOne = [](const std::function<void(CArchive&)>& read) {
        return [read](CArchive& ar) {
            ar.ReadByte();
            read(ar);
        };
    };
    const auto readString = [](CArchive& ar) { ar.ReadString(); };
    ExpectArchiveError(
        {0x01}, Cause::endOfFile, 0, [](CArchive& ar) { ar.ReadWord(); }, "WORD",
        "unexpected end of data at offset 0 while reading a WORD");
    ExpectArchiveError({0x01, 0x02, 0x03}, Cause::endOfFile, 1,
                       skipOne([](CArchive& ar) { ar.ReadDWord(); }), "DWORD", "a DWORD");
    ExpectArchiveError(
        {0xFF, 0xFF}, Cause::endOfFile, 2, [](CArchive& ar) { ar.ReadCount(); }, "long count");
    ExpectArchiveError({0x05, 'a', 'b'}, Cause::endOfFile, 0, readString, "string body",
                       "string of 5 characters");
    ExpectArchiveError({0xFF, 0xFE, 0xFF, 0x02, 'a', 0x00, 'b'}, Cause::endOfFile, 0, readString,
                       "Unicode body", "UTF-16");
    ExpectArchiveError({1, 2, 3}, Cause::endOfFile, 1, skipOne([](CArchive& ar) {
                           Bytes block(3);
                           ar.ReadBytes(block);
                       }),
                       "block");
    ExpectArchiveError({1, 2, 3, 4, 5}, Cause::badFormat, 1,
                       skipOne([](CArchive& ar) { ar.ThrowFormatError("month 13 out of range"); }),
                       "format", "bad data at offset 1: month 13 out of range");
    // The same through a buffered source.
    const Bytes shortWord = {0x07, 0x01};
    TrickleSource source(shortWord, 3);
    CArchive ar(source);
    ar.ReadByte();
    try {
        ar.ReadDWord();
        ADD_FAILURE() << "no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), Cause::endOfFile);
        EXPECT_EQ(e.GetOffset(), 1u);
    }
}

TEST(ArchiveTest, HugeLengthsAndCountsInShortInputThrowWithoutAllocating) {
    auto readCounted = [](CArchive& ar) {
        const uint32_t count = ar.ReadCount();
        ar.CheckCount(count, 4);
        std::vector<int32_t> values;
        values.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            values.push_back(ar.ReadLong());
        }
    };
    const auto readString = [](CArchive& ar) { ar.ReadString(); };
    const std::vector<std::pair<Bytes, std::function<void(CArchive&)>>> rows = {
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}, readString},
        {{0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, readString},
        {{0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0xF0, 'a', 0x00}, readString},
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}, readCounted},
        {{0x03, 0x00, 1, 0, 0, 0, 2, 0, 0, 0}, readCounted}, // one more than fits
    };
    for (const auto& [bytes, read] : rows) {
        AllocationWatch watch;
        CMemorySource source(bytes);
        CArchive ar(source);
        EXPECT_THROW(read(ar), CArchiveException) << bytes.size();
        EXPECT_LT(watch.Largest(), 1024u) << bytes.size();
    }
}

TEST(ArchiveTest, CheckCountBoundaries) {
    struct Row {
        uint64_t count;
        size_t each;
        bool fits;
    };
    // Ten bytes remain after the first byte is read; an item size of 0 counts
    // as 1.
    const std::vector<Row> rows = {{5, 2, true},  {6, 2, false},  {3, 4, false},
                                   {10, 0, true}, {11, 0, false}, {UINT64_MAX, 2, false}};
    const Bytes bytes(11, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.count << " of " << row.each);
        CMemorySource source(bytes);
        CArchive ar(source);
        ar.ReadByte();
        if (row.fits) {
            EXPECT_NO_THROW(ar.CheckCount(row.count, row.each));
        } else {
            ExpectArchiveError(
                bytes, Cause::endOfFile, 1,
                [&row](CArchive& other) {
                    other.ReadByte();
                    other.CheckCount(row.count, row.each);
                },
                "count");
        }
        EXPECT_EQ(ar.GetRemaining(), 10u) << "nothing consumed";
    }
}

TEST(ArchiveTest, MisuseIsAProgrammingError) {
    CMemorySink sink;
    {
        CArchive storing(sink);
        EXPECT_TRUE(storing.IsStoring());
        EXPECT_THROW(storing.ReadByte(), std::logic_error);
        EXPECT_THROW(storing.CheckCount(1, 1), std::logic_error);
        storing.WriteWord(7);
        storing.Close();
        storing.Close();
        EXPECT_EQ(storing.GetPosition(), 2u);
        EXPECT_THROW(storing.WriteByte(1), std::logic_error);
        EXPECT_THROW(storing.WriteObject(nullptr), std::logic_error);
    }
    EXPECT_EQ(sink.GetData(), (Bytes{7, 0}));

    const Bytes bytes = {1, 2, 3};
    CMemorySource source(bytes);
    CArchive loading(source);
    EXPECT_THROW(loading.WriteString("x"), std::logic_error);
    EXPECT_EQ(loading.ReadByte(), 1);
    loading.Close();
    EXPECT_THROW(loading.ReadByte(), std::logic_error);
    EXPECT_EQ(loading.GetPosition(), 1u);

    // Destroyed without Close: nothing reaches the sink.
    CMemorySink unsaved;
    {
        CArchive ar(unsaved);
        ar.WriteDWord(100);
        ar.WriteString("not saved");
    }
    EXPECT_TRUE(unsaved.GetData().empty());
}

} // namespace
} // namespace dv
