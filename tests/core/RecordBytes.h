#pragma once

// Archive bytes for the core's archive and record tests: the shared record builder, and literal
// byte pieces, a whole-archive writer and the expected error for the tests of the archive itself.

#include "core/ByteStream.h"
#include "core/CArchive.h"
#include "support/ArchiveBytes.h"

#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace dv::test {

using Bytes = std::vector<uint8_t>;

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}
inline Bytes Word(uint16_t value) {
    return RecordBytes().Word(value).Get();
}
inline Bytes DWord(uint32_t value) {
    return RecordBytes().DWord(value).Get();
}
inline Bytes ClassRecord(std::string_view name, uint16_t schema) {
    return RecordBytes().ClassRecord(name, schema).Get();
}

/// What `write` puts into a new archive.
inline Bytes Store(const std::function<void(CArchive&)>& write) {
    CMemorySink sink;
    CArchive ar(sink);
    write(ar);
    ar.Close();
    return sink.TakeData();
}

/// Expects `read` on `bytes` to throw the archive exception with this cause and offset, and a
/// message that names the offset and holds `messagePart`.
inline void ExpectArchiveError(const Bytes& bytes, CArchiveException::Cause cause, uint64_t offset,
                               const std::function<void(CArchive&)>& read, const std::string& name,
                               const std::string& messagePart = "") {
    CMemorySource source(bytes);
    CArchive ar(source);
    try {
        read(ar);
        ADD_FAILURE() << name << ": no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(CArchiveException::CauseName(e.GetCause()), CArchiveException::CauseName(cause))
            << name << ": " << e.what();
        EXPECT_EQ(e.GetOffset(), offset) << name << ": " << e.what();
        EXPECT_NE(std::string(e.what()).find("offset " + std::to_string(offset)), std::string::npos)
            << name << ": " << e.what();
        EXPECT_NE(std::string(e.what()).find(messagePart), std::string::npos)
            << name << ": " << e.what();
    }
}

} // namespace dv::test
