#pragma once

// Hand-built archive bytes for record tests, and helpers that store and load one object.
//
// The builder writes the archive's forms literally (little-endian, short strings with a BYTE
// length), independently of CArchive, so that byte-exact expectations do not come from the code
// under test.

#include "core/ByteStream.h"
#include "core/CArchive.h"
#include "core/CDateTime.h"
#include "core/CObject.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dv::test {

class RecordBytes {
public:
    RecordBytes& Byte(uint8_t value) {
        m_bytes.push_back(value);
        return *this;
    }
    RecordBytes& Word(uint16_t value) {
        return Byte(static_cast<uint8_t>(value)).Byte(static_cast<uint8_t>(value >> 8));
    }
    RecordBytes& DWord(uint32_t value) {
        return Word(static_cast<uint16_t>(value)).Word(static_cast<uint16_t>(value >> 16));
    }
    RecordBytes& Long(int32_t value) { return DWord(static_cast<uint32_t>(value)); }
    /// The archive's count form: a WORD below 0xFFFF, else 0xFFFF and a DWORD.
    RecordBytes& Count(uint32_t value) {
        if (value < 0xFFFF) {
            return Word(static_cast<uint16_t>(value));
        }
        return Word(0xFFFF).DWord(value);
    }
    /// A string whose bytes are already in the stored code page (Windows-1252); shorter than 255.
    RecordBytes& Str(std::string_view stored) {
        if (stored.size() >= 0xFF) {
            throw std::logic_error("RecordBytes::Str takes short strings only");
        }
        Byte(static_cast<uint8_t>(stored.size()));
        for (char c : stored) {
            Byte(static_cast<uint8_t>(c));
        }
        return *this;
    }
    /// A date-time by value: day number, then seconds since midnight.
    RecordBytes& Date(const CDateTime& value) {
        return Long(value.GetDayNumber()).Long(value.GetSecondsOfDay());
    }
    /// A new class record: tag 0xFFFF, WORD schema, WORD name length, the name.
    RecordBytes& ClassRecord(std::string_view name, uint16_t schema) {
        Word(0xFFFF).Word(schema).Word(static_cast<uint16_t>(name.size()));
        for (char c : name) {
            Byte(static_cast<uint8_t>(c));
        }
        return *this;
    }
    /// A list of date-times: count, then the entries.
    RecordBytes& Dates(const std::vector<CDateTime>& values) {
        Count(static_cast<uint32_t>(values.size()));
        for (const CDateTime& value : values) {
            Date(value);
        }
        return *this;
    }

    size_t Size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& Get() const& { return m_bytes; }
    /// From a temporary builder the bytes move out, so that no reference outlives them.
    std::vector<uint8_t> Get() && { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

/// The archive bytes of `object` written as the only object of a new archive.
inline std::vector<uint8_t> StoreObject(const CObject& object) {
    CMemorySink sink;
    CArchive ar(sink);
    ar.WriteObject(&object);
    ar.Close();
    return sink.TakeData();
}

/// Reads one object of class T from `bytes`, expecting the record to use up every byte.
template <class T>
std::unique_ptr<T> LoadObject(std::span<const uint8_t> bytes) {
    CMemorySource source(bytes);
    CArchive ar(source);
    std::unique_ptr<T> object = ar.ReadObject<T>();
    EXPECT_EQ(ar.GetRemaining(), 0u) << "bytes left over after the record";
    ar.Close();
    return object;
}

/// Empty when equal; otherwise the first differing offset with the bytes around it.
inline std::string ByteDifference(const std::vector<uint8_t>& actual,
                                  const std::vector<uint8_t>& expected) {
    const size_t common = std::min(actual.size(), expected.size());
    size_t at = 0;
    while (at < common && actual[at] == expected[at]) {
        ++at;
    }
    if (at == common && actual.size() == expected.size()) {
        return {};
    }
    const auto window = [at](const std::vector<uint8_t>& bytes) {
        std::string text;
        const size_t from = at >= 4 ? at - 4 : 0;
        for (size_t i = from; i < std::min(bytes.size(), at + 8); ++i) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02X ", bytes[i]);
            text += hex;
        }
        return text;
    };
    return "sizes " + std::to_string(actual.size()) + " and " + std::to_string(expected.size()) +
           ", first difference at offset " + std::to_string(at) + ": actual " + window(actual) +
           "| expected " + window(expected);
}

} // namespace dv::test
