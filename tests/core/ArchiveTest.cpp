#include "RecordBytes.h"
#include "core/CArchive.h"

#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace dv {
namespace {

using Cause = CArchiveException::Cause;
using test::Bytes;
using test::Concat;
using test::ExpectArchiveError;
using test::Store;

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

TEST(ArchiveTest, StreamsCrossTheBufferBoundaryThroughEverySource) {
    Bytes block(3 * CArchive::kBufferSize + 17);
    for (size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<uint8_t>(i * 7 + 3);
    }
    // Strings longer than the buffer, in both forms.
    const std::string longText(70001, 'q');
    const std::string longUnicode = std::string(40000, 'u') + "\xE2\x9C\x93";
    constexpr uint32_t kValues = 3000; // values of every size at every place in the buffer
    const Bytes bytes = Store([&](CArchive& ar) {
        ar.WriteByte(1);
        ar.WriteBytes(std::span(block).first(CArchive::kBufferSize - 1));
        ar.WriteByte(3); // into a full buffer
        ar.WriteBytes(block);
        for (uint32_t i = 0; i < kValues; ++i) {
            ar.WriteByte(static_cast<uint8_t>(i));
            ar.WriteWord(static_cast<uint16_t>(i * 31));
            ar.WriteDWord(i * 7919);
            ar.WriteLong(-static_cast<int32_t>(i));
            ar.WriteString(i % 7 == 0 ? "\xE2\x9C\x93" : std::string(i % 300, 's'));
        }
        ar.WriteString(longText);
        ar.WriteString(longUnicode);
    });
    CMemorySource inPlace(bytes);
    TrickleSource trickle(bytes, 5);
    for (CByteSource* source : std::initializer_list<CByteSource*>{&inPlace, &trickle}) {
        CArchive ar(*source);
        ASSERT_EQ(ar.ReadByte(), 1);
        Bytes first(CArchive::kBufferSize - 1);
        ar.ReadBytes(first);
        ASSERT_EQ(ar.ReadByte(), 3);
        Bytes big(block.size());
        ar.ReadBytes(big);
        ASSERT_EQ(big, block);
        for (uint32_t i = 0; i < kValues; ++i) {
            ASSERT_EQ(ar.ReadByte(), static_cast<uint8_t>(i)) << i;
            ASSERT_EQ(ar.ReadWord(), static_cast<uint16_t>(i * 31)) << i;
            ASSERT_EQ(ar.ReadDWord(), i * 7919) << i;
            ASSERT_EQ(ar.ReadLong(), -static_cast<int32_t>(i)) << i;
            ASSERT_EQ(ar.ReadString(), i % 7 == 0 ? "\xE2\x9C\x93" : std::string(i % 300, 's'));
        }
        EXPECT_EQ(ar.ReadString(), longText);
        EXPECT_EQ(ar.ReadString(), longUnicode);
        EXPECT_EQ(ar.GetRemaining(), 0u);
        EXPECT_EQ(ar.GetPosition(), bytes.size());
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
