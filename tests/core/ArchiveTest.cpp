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
#include <variant>
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
    AllocationWatch(const AllocationWatch&) = delete;
    AllocationWatch& operator=(const AllocationWatch&) = delete;
    size_t Largest() const { return g_largestAllocation; }
};

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

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

// ---- Primitives and counts ----------------------------------------------------------------------

TEST(ArchiveTest, PrimitivesAreLittleEndian) {
    const Bytes bytes = Store([](CArchive& ar) {
        ar.WriteByte(0xAB);
        ar.WriteWord(0x1234);
        ar.WriteDWord(0x89ABCDEF);
        ar.WriteLong(-2);
        ar.WriteLong(INT32_MIN);
        EXPECT_EQ(ar.GetPosition(), 15u);
    });
    EXPECT_EQ(bytes, (Bytes{0xAB, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89, 0xFE, 0xFF, 0xFF, 0xFF, 0x00,
                            0x00, 0x00, 0x80}));
    CMemorySource source(bytes);
    CArchive ar(source);
    EXPECT_TRUE(ar.IsLoading());
    EXPECT_EQ(ar.ReadByte(), 0xAB);
    EXPECT_EQ(ar.ReadWord(), 0x1234);
    EXPECT_EQ(ar.ReadDWord(), 0x89ABCDEFu);
    EXPECT_EQ(ar.ReadLong(), -2);
    EXPECT_EQ(ar.ReadLong(), INT32_MIN);
    EXPECT_EQ(ar.GetPosition(), 15u);
    EXPECT_EQ(ar.GetRemaining(), 0u);
}

TEST(ArchiveTest, CountForms) {
    struct Row {
        const char* name;
        uint32_t count;
        Bytes bytes;
    };
    const std::vector<Row> rows = {
        {"just below the escape", 0xFFFE, {0xFE, 0xFF}},
        {"the escape value itself", 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Store([&](CArchive& ar) { ar.WriteCount(row.count); }), row.bytes) << row.name;
        CMemorySource source(row.bytes);
        CArchive ar(source);
        EXPECT_EQ(ar.ReadCount(), row.count) << row.name;
    }
    // A small count in the long form is read as written.
    const Bytes longForm = {0xFF, 0xFF, 0x05, 0x00, 0x00, 0x00};
    CMemorySource source(longForm);
    CArchive ar(source);
    EXPECT_EQ(ar.ReadCount(), 5u);
}

// ---- Strings ------------------------------------------------------------------------------------

TEST(ArchiveTest, AnsiStringLengthForms) {
    struct Row {
        const char* name;
        size_t length;
        Bytes prefix;
    };
    const std::vector<Row> rows = {
        {"254, the longest BYTE length", 254, {0xFE}},
        {"255 takes the WORD form", 255, {0xFF, 0xFF, 0x00}},
        {"0xFFFD, the longest WORD length", 0xFFFD, {0xFF, 0xFD, 0xFF}},
        {"0xFFFE would be the Unicode marker", 0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const Row& row : rows) {
        std::string text(row.length, 'x');
        for (size_t i = 0; i < text.size(); ++i) {
            text[i] = static_cast<char>('a' + i % 26);
        }
        const Bytes bytes = Store([&](CArchive& ar) { ar.WriteString(text); });
        EXPECT_EQ(bytes, Concat({row.prefix, Text(text)})) << row.name;
        CMemorySource source(bytes);
        CArchive ar(source);
        EXPECT_EQ(ar.ReadString(), text) << row.name;
        EXPECT_EQ(ar.GetRemaining(), 0u) << row.name;
    }
}

TEST(ArchiveTest, StringsChooseWindows1252OrTheUnicodeForm) {
    struct Row {
        const char* name;
        std::string utf8;
        Bytes bytes;
    };
    const std::vector<Row> rows = {
        {"euro sign fits", "\xE2\x82\xAC", {0x01, 0x80}},
        {"undefined byte 0x81 kept", "\xC2\x81", {0x01, 0x81}},
        {"one misfit makes it all Unicode",
         "\xC3\xA9\xE2\x9C\x93",
         {0xFF, 0xFE, 0xFF, 0x02, 0xE9, 0x00, 0x13, 0x27}},
        {"emoji as a surrogate pair",
         "\xF0\x9F\x98\x80",
         {0xFF, 0xFE, 0xFF, 0x02, 0x3D, 0xD8, 0x00, 0xDE}},
    };
    for (const Row& row : rows) {
        const Bytes bytes = Store([&](CArchive& ar) { ar.WriteString(row.utf8); });
        EXPECT_EQ(bytes, row.bytes) << row.name;
        CMemorySource source(bytes);
        CArchive ar(source);
        EXPECT_EQ(ar.ReadString(), row.utf8) << row.name;
    }
    // Ill-formed UTF-8 is stored as U+FFFD in the Unicode form.
    EXPECT_EQ(Store([](CArchive& ar) { ar.WriteString("a\xFF"); }),
              (Bytes{0xFF, 0xFE, 0xFF, 0x02, 'a', 0x00, 0xFD, 0xFF}));
}

TEST(ArchiveTest, UnicodeStringLengthForms) {
    struct Row {
        const char* name;
        size_t units;
        Bytes prefix;
    };
    const Bytes marker = {0xFF, 0xFE, 0xFF};
    const std::vector<Row> rows = {
        {"255 units take the WORD form", 255, {0xFF, 0xFF, 0x00}},
        {"0xFFFE units take the DWORD form", 0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
    };
    for (const Row& row : rows) {
        std::string text;
        Bytes units;
        for (size_t i = 0; i < row.units; ++i) {
            text += "\xE2\x9C\x93"; // U+2713
            units.push_back(0x13);
            units.push_back(0x27);
        }
        const Bytes bytes = Store([&](CArchive& ar) { ar.WriteString(text); });
        EXPECT_EQ(bytes, Concat({marker, row.prefix, units})) << row.name;
        CMemorySource source(bytes);
        CArchive ar(source);
        EXPECT_EQ(ar.ReadString(), text) << row.name;
    }
}

TEST(ArchiveTest, ReaderAcceptsEveryLengthFormTheFrameworkReads) {
    struct Row {
        const char* name;
        Bytes bytes;
        std::string expected;
    };
    Bytes wordFffeAfterMarker = {0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF};
    std::string expectedFffe;
    for (int i = 0; i < 0xFFFE; ++i) {
        wordFffeAfterMarker.push_back('A');
        wordFffeAfterMarker.push_back(0);
        expectedFffe += 'A';
    }
    const std::vector<Row> rows = {
        {"short string in the DWORD form",
         {0xFF, 0xFF, 0xFF, 0x03, 0x00, 0x00, 0x00, 'a', 'b', 'c'},
         "abc"},
        {"Unicode with a DWORD length",
         {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x00, 0x00, 'A', 0x00},
         "A"},
        {"Unicode empty", {0xFF, 0xFE, 0xFF, 0x00}, ""},
        {"after the marker a WORD 0xFFFE is a length", wordFffeAfterMarker, expectedFffe},
        {"unpaired surrogate", {0xFF, 0xFE, 0xFF, 0x02, 0x00, 0xD8, 'x', 0x00}, "\xEF\xBF\xBDx"},
        {"embedded NUL kept", {0x03, 'a', 0x00, 'b'}, std::string("a\0b", 3)},
    };
    for (const Row& row : rows) {
        CMemorySource source(row.bytes);
        CArchive ar(source);
        EXPECT_EQ(ar.ReadString(), row.expected) << row.name;
        EXPECT_EQ(ar.GetRemaining(), 0u) << row.name;
    }
}

// ---- Streams of mixed content -------------------------------------------------------------------

using Item = std::variant<uint8_t, uint16_t, uint32_t, int32_t, std::string>;

std::vector<Item> RandomItems(std::mt19937& random, size_t count) {
    std::vector<Item> items;
    for (size_t i = 0; i < count; ++i) {
        switch (random() % 6) {
        case 0:
            items.emplace_back(static_cast<uint8_t>(random()));
            break;
        case 1:
            items.emplace_back(static_cast<uint16_t>(random()));
            break;
        case 2:
            items.emplace_back(static_cast<uint32_t>(random()));
            break;
        case 3:
            items.emplace_back(static_cast<int32_t>(random()));
            break;
        case 4: {
            // Now and then a string longer than the archive's buffer.
            const size_t length = random() % 50 == 0 ? 70000 + random() % 70000 : random() % 300;
            std::string text(length, 'q');
            for (char& c : text) {
                c = static_cast<char>('a' + random() % 26);
            }
            if (random() % 4 == 0 && !text.empty()) {
                text += "\xE2\x9C\x93"; // forces the Unicode form
            }
            items.emplace_back(std::move(text));
            break;
        }
        default:
            items.emplace_back(std::string("\xC3\xA9t\xC3\xA9"));
            break;
        }
    }
    return items;
}

TEST(ArchiveTest, MixedStreamsReadBackThroughEverySource) {
    std::mt19937 random(99);
    const std::vector<Item> items = RandomItems(random, 3000);
    std::vector<uint64_t> positions;
    const Bytes bytes = Store([&](CArchive& ar) {
        for (const Item& item : items) {
            positions.push_back(ar.GetPosition());
            std::visit(
                [&](const auto& value) {
                    using T = std::decay_t<decltype(value)>;
                    if constexpr (std::is_same_v<T, uint8_t>) {
                        ar.WriteByte(value);
                    } else if constexpr (std::is_same_v<T, uint16_t>) {
                        ar.WriteWord(value);
                    } else if constexpr (std::is_same_v<T, uint32_t>) {
                        ar.WriteDWord(value);
                    } else if constexpr (std::is_same_v<T, int32_t>) {
                        ar.WriteLong(value);
                    } else {
                        ar.WriteString(value);
                    }
                },
                item);
        }
    });
    ASSERT_GT(bytes.size(), 3 * CArchive::kBufferSize);

    auto readAll = [&](CByteSource& source, const char* name) {
        CArchive ar(source);
        for (size_t i = 0; i < items.size(); ++i) {
            ASSERT_EQ(ar.GetPosition(), positions[i]) << name << " item " << i;
            const Item read = std::visit(
                [&](const auto& value) -> Item {
                    using T = std::decay_t<decltype(value)>;
                    if constexpr (std::is_same_v<T, uint8_t>) {
                        return ar.ReadByte();
                    } else if constexpr (std::is_same_v<T, uint16_t>) {
                        return ar.ReadWord();
                    } else if constexpr (std::is_same_v<T, uint32_t>) {
                        return ar.ReadDWord();
                    } else if constexpr (std::is_same_v<T, int32_t>) {
                        return ar.ReadLong();
                    } else {
                        return ar.ReadString();
                    }
                },
                items[i]);
            ASSERT_EQ(read, items[i]) << name << " item " << i;
        }
        EXPECT_EQ(ar.GetRemaining(), 0u) << name;
        EXPECT_EQ(ar.GetPosition(), bytes.size()) << name;
    };
    CMemorySource inPlace(bytes);
    readAll(inPlace, "memory in place");
    TrickleSource trickle(bytes, 5);
    readAll(trickle, "a few bytes per read");
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
        ar.WriteBytes(std::span(block).first(100));
        ar.WriteByte(2);
    });
    ASSERT_EQ(bytes.size(), CArchive::kBufferSize + block.size() + 102);
    TrickleSource source(bytes, 1);
    CArchive ar(source);
    EXPECT_EQ(ar.ReadByte(), 1);
    Bytes first(CArchive::kBufferSize - 1);
    ar.ReadBytes(first);
    EXPECT_EQ(ar.ReadByte(), 3);
    Bytes big(block.size());
    ar.ReadBytes(big);
    EXPECT_EQ(big, block);
    Bytes small(100);
    ar.ReadBytes(small);
    EXPECT_TRUE(std::equal(small.begin(), small.end(), block.begin()));
    EXPECT_EQ(ar.ReadByte(), 2);
}

// ---- Errors -------------------------------------------------------------------------------------

TEST(ArchiveTest, EndOfDataNamesOffsetAndWhatWasRead) {
    ExpectArchiveError(
        {0x01}, Cause::endOfFile, 0, [](CArchive& ar) { ar.ReadWord(); }, "WORD",
        "unexpected end of data at offset 0 while reading a WORD");
    ExpectArchiveError(
        {0x01, 0x02, 0x03}, Cause::endOfFile, 1,
        [](CArchive& ar) {
            ar.ReadByte();
            ar.ReadDWord();
        },
        "DWORD", "while reading a DWORD");
    ExpectArchiveError(
        {0xFF, 0xFF}, Cause::endOfFile, 2, [](CArchive& ar) { ar.ReadCount(); }, "long count");
    ExpectArchiveError(
        {0x05, 'a', 'b'}, Cause::endOfFile, 0, [](CArchive& ar) { ar.ReadString(); }, "string body",
        "string of 5 characters");
    ExpectArchiveError(
        {0xFF, 0xFE, 0xFF, 0x02, 'a', 0x00, 'b'}, Cause::endOfFile, 0,
        [](CArchive& ar) { ar.ReadString(); }, "Unicode body", "UTF-16");
    ExpectArchiveError(
        {1, 2, 3}, Cause::endOfFile, 1,
        [](CArchive& ar) {
            ar.ReadByte();
            Bytes block(3);
            ar.ReadBytes(block);
        },
        "block");
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

TEST(ArchiveTest, FormatErrorsCarryTheCurrentOffset) {
    ExpectArchiveError(
        {1, 2, 3, 4, 5}, Cause::badFormat, 4,
        [](CArchive& ar) {
            ar.ReadDWord();
            ar.ThrowFormatError("month 13 out of range");
        },
        "format", "bad data at offset 4: month 13 out of range");
}

TEST(ArchiveTest, HugeLengthsAndCountsInShortInputThrowWithoutAllocating) {
    struct Row {
        const char* name;
        Bytes bytes;
        std::function<void(CArchive&)> read;
    };
    auto readCounted = [](CArchive& ar) {
        const uint32_t count = ar.ReadCount();
        ar.CheckCount(count, 4);
        std::vector<int32_t> values;
        values.reserve(count);
        for (uint32_t i = 0; i < count; ++i) {
            values.push_back(ar.ReadLong());
        }
    };
    const std::vector<Row> rows = {
        {"ANSI DWORD length",
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'},
         [](CArchive& ar) { ar.ReadString(); }},
        {"Unicode largest length",
         {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         [](CArchive& ar) { ar.ReadString(); }},
        {"Unicode WORD length",
         {0xFF, 0xFE, 0xFF, 0xFF, 0x00, 0xF0, 'a', 0x00},
         [](CArchive& ar) { ar.ReadString(); }},
        {"count of 4 billion", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}, readCounted},
        {"count one more than fits", {0x03, 0x00, 1, 0, 0, 0, 2, 0, 0, 0}, readCounted},
    };
    for (const Row& row : rows) {
        AllocationWatch watch;
        CMemorySource source(row.bytes);
        CArchive ar(source);
        try {
            row.read(ar);
            ADD_FAILURE() << row.name << ": no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetCause(), Cause::endOfFile) << row.name << ": " << e.what();
        }
        EXPECT_LT(watch.Largest(), 1024u) << row.name;
    }
    // CheckCount passes exactly what fits.
    const Bytes two = {2, 0, 1, 0, 0, 0, 2, 0, 0, 0};
    CMemorySource source(two);
    CArchive ar(source);
    EXPECT_NO_THROW(readCounted(ar));
}

TEST(ArchiveTest, CheckCountBoundaries) {
    struct Row {
        const char* name;
        uint64_t count;
        size_t each;
        bool fits;
    };
    // Ten bytes remain after the first byte is read.
    const std::vector<Row> rows = {
        {"exactly fills", 5, 2, true},
        {"one item more", 6, 2, false},
        {"one byte short", 3, 4, false},
        {"size 0 counts as 1, fits", 10, 0, true},
        {"size 0 counts as 1, too many", 11, 0, false},
        {"product overflows 64 bits", UINT64_MAX, 2, false},
    };
    const Bytes bytes(11, 0);
    for (const Row& row : rows) {
        CMemorySource source(bytes);
        CArchive ar(source);
        ar.ReadByte();
        if (row.fits) {
            EXPECT_NO_THROW(ar.CheckCount(row.count, row.each)) << row.name;
        } else {
            try {
                ar.CheckCount(row.count, row.each);
                ADD_FAILURE() << row.name << ": no exception";
            } catch (const CArchiveException& e) {
                EXPECT_EQ(e.GetCause(), Cause::endOfFile) << row.name;
                EXPECT_EQ(e.GetOffset(), 1u) << row.name;
            }
        }
        EXPECT_EQ(ar.GetRemaining(), 10u) << row.name << ": nothing consumed";
    }
}

TEST(ArchiveTest, MisuseIsAProgrammingError) {
    CMemorySink sink;
    CArchive storing(sink);
    EXPECT_TRUE(storing.IsStoring());
    EXPECT_THROW(storing.ReadByte(), std::logic_error);
    EXPECT_THROW(storing.CheckCount(1, 1), std::logic_error);
    storing.WriteWord(7);
    storing.Close();
    storing.Close();
    EXPECT_EQ(sink.GetData(), (Bytes{7, 0}));
    EXPECT_EQ(storing.GetPosition(), 2u);
    EXPECT_THROW(storing.WriteByte(1), std::logic_error);
    EXPECT_THROW(storing.WriteObject(nullptr), std::logic_error);

    const Bytes bytes = {1, 2, 3};
    CMemorySource source(bytes);
    CArchive loading(source);
    EXPECT_THROW(loading.WriteString("x"), std::logic_error);
    EXPECT_EQ(loading.ReadByte(), 1);
    loading.Close();
    EXPECT_THROW(loading.ReadByte(), std::logic_error);
    EXPECT_EQ(loading.GetPosition(), 1u);
}

TEST(ArchiveTest, DestroyingWithoutCloseHandsNothingToTheSink) {
    CMemorySink sink;
    {
        CArchive ar(sink);
        ar.WriteDWord(100);
        ar.WriteString("not saved");
    }
    EXPECT_TRUE(sink.GetData().empty());
}

} // namespace
} // namespace dv
