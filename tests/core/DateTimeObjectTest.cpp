#include "core/CArchive.h"
#include "core/CDateTimeObject.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string_view>
#include <vector>

namespace dv {
namespace {

// A tagged date-time as another writer would put it in a stream: a class record for "CDateTime"
// with the given schema, then the day number and the seconds.
std::vector<uint8_t> TaggedDateTime(uint16_t schema, int32_t dayNumber, int32_t seconds) {
    std::vector<uint8_t> bytes = {
        0xFF, 0xFF, static_cast<uint8_t>(schema), static_cast<uint8_t>(schema >> 8), 9, 0};
    for (char c : std::string_view("CDateTime")) {
        bytes.push_back(static_cast<uint8_t>(c));
    }
    for (int32_t value : {dayNumber, seconds}) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
        }
    }
    return bytes;
}

TEST(DateTimeObject, TaggedDateTimeIsReadWithSchemaOneOnly) {
    const CDateTime value(2007, 3, 5, 14, 30, 0);
    {
        const auto bytes = TaggedDateTime(1, value.GetDayNumber(), value.GetSecondsOfDay());
        CMemorySource source(bytes);
        CArchive ar(source);
        auto object = ar.ReadObject<CDateTimeObject>();
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(object->GetValue(), value);
    }
    for (uint16_t schema : {uint16_t{0}, uint16_t{2}}) {
        SCOPED_TRACE(schema);
        const auto bytes = TaggedDateTime(schema, value.GetDayNumber(), value.GetSecondsOfDay());
        CMemorySource source(bytes);
        CArchive ar(source);
        try {
            ar.ReadObject<CDateTimeObject>();
            FAIL() << "a date-time of another schema was read";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetCause(), CArchiveException::Cause::badSchema) << e.what();
        }
    }
}

TEST(DateTimeObject, WritesTheClassRecordThenTheEightValueBytes) {
    const CDateTime value(2007, 3, 5, 14, 30, 0);
    CDateTimeObject object(value);
    CMemorySink sink;
    CArchive ar(sink);
    ar.WriteObject(&object);
    ar.Close();
    EXPECT_EQ(sink.GetData(), TaggedDateTime(1, value.GetDayNumber(), value.GetSecondsOfDay()));
}

} // namespace
} // namespace dv
