#include "core/CArchive.h"

#include "core/TextEncoding.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace dv {

namespace {

// ---- Tags of the object stream ------------------------------------------------------------------

constexpr uint16_t kNullTag = 0x0000;
constexpr uint16_t kNewClassTag = 0xFFFF;
constexpr uint16_t kClassTag = 0x8000;         // or'ed with a class index below 0x7FFF
constexpr uint16_t kBigIndexTag = 0x7FFF;      // a DWORD index follows
constexpr uint32_t kBigClassTag = 0x80000000u; // or'ed with a class index in that DWORD

// String length prefixes.
constexpr uint8_t kByteLengthEscape = 0xFF;
constexpr uint16_t kUnicodeMarker = 0xFFFE;
constexpr uint16_t kWordLengthEscape = 0xFFFF;

// Class names in error messages, with anything unprintable from a damaged stream escaped.
std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '"' && byte != '\\') {
            out.push_back(c);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            out += escaped;
        }
    }
    return out;
}

std::string Quoted(const CRuntimeClass& runtimeClass) {
    return "\"" + runtimeClass.GetName() + "\"";
}

// Sets the nesting depth and the current record's schema for one Serialize call and restores
// them afterwards, also when the record throws.
class NestingScope {
public:
    NestingScope(int& depth, uint16_t& schema, uint16_t recordSchema)
        : m_depth(depth), m_schema(schema), m_savedSchema(schema) {
        ++m_depth;
        m_schema = recordSchema;
    }
    ~NestingScope() {
        --m_depth;
        m_schema = m_savedSchema;
    }
    NestingScope(const NestingScope&) = delete;
    NestingScope& operator=(const NestingScope&) = delete;

private:
    int& m_depth;
    uint16_t& m_schema;
    uint16_t m_savedSchema;
};

} // namespace

// ---- Construction -------------------------------------------------------------------------------

CArchive::CArchive(CByteSink& sink)
    : m_storing(true), m_buffer(std::make_unique_for_overwrite<uint8_t[]>(kBufferSize)),
      m_sink(&sink) {
    m_writeCur = m_buffer.get();
    m_writeEnd = m_buffer.get() + kBufferSize;
}

CArchive::CArchive(CByteSource& source) : m_storing(false), m_source(&source) {
    if (const auto inMemory = source.TakeAll()) {
        m_inPlace = true;
        m_readBegin = inMemory->data();
        m_readCur = m_readBegin;
        m_readEnd = m_readBegin + inMemory->size();
    } else {
        m_buffer = std::make_unique_for_overwrite<uint8_t[]>(kBufferSize);
        m_readBegin = m_buffer.get();
        m_readCur = m_readBegin;
        m_readEnd = m_readBegin;
    }
    m_loaded.push_back(LoadEntry{}); // index 0: the null reference
}

CArchive::~CArchive() = default;

void CArchive::Close() {
    if (m_closed) {
        return;
    }
    if (m_storing) {
        FlushBuffer();
        m_sink->Flush();
        m_writeCur = nullptr;
        m_writeEnd = nullptr;
    } else {
        m_readBase = GetPosition();
        m_readBegin = nullptr;
        m_readCur = nullptr;
        m_readEnd = nullptr;
    }
    m_closed = true;
}

uint64_t CArchive::GetPosition() const noexcept {
    if (m_storing) {
        return m_writeCur == nullptr
                   ? m_flushed
                   : m_flushed + static_cast<uint64_t>(m_writeCur - m_buffer.get());
    }
    return m_readBase + static_cast<uint64_t>(m_readCur - m_readBegin);
}

uint64_t CArchive::GetRemaining() const noexcept {
    if (m_storing || m_closed) {
        return 0;
    }
    const auto buffered = static_cast<uint64_t>(m_readEnd - m_readCur);
    return m_inPlace ? buffered : buffered + m_source->GetRemaining();
}

// ---- Errors -------------------------------------------------------------------------------------

void CArchive::Throw(CArchiveException::Cause cause, uint64_t offset,
                     const std::string& message) const {
    throw CArchiveException(cause, offset, message);
}

void CArchive::ThrowMisuse(const char* what) const {
    if (m_closed) {
        throw std::logic_error(std::string("CArchive: ") + what + " after Close");
    }
    throw std::logic_error(std::string("CArchive: ") + what +
                           (m_storing ? " on a storing archive" : " on a loading archive"));
}

void CArchive::ThrowEndOfData(uint64_t offset, const char* what) const {
    Throw(CArchiveException::Cause::endOfFile, offset,
          "unexpected end of data at offset " + std::to_string(offset) + " while reading " + what);
}

void CArchive::ThrowBackReference(uint64_t offset) const {
    Throw(CArchiveException::Cause::badIndex, offset,
          "reference to an earlier object at offset " + std::to_string(offset) +
              " where a new object is expected");
}

void CArchive::ThrowWrongType(uint64_t offset, const CRuntimeClass& found,
                              const CRuntimeClass& expected) const {
    Throw(CArchiveException::Cause::badClass, offset,
          "object of class " + Quoted(found) + " at offset " + std::to_string(offset) +
              " is not a " + Quoted(expected));
}

void CArchive::ThrowFormatError(std::string what) {
    const uint64_t offset = GetPosition();
    Throw(CArchiveException::Cause::badFormat, offset,
          "bad data at offset " + std::to_string(offset) + ": " + what);
}

// ---- Writing primitives -------------------------------------------------------------------------

void CArchive::FlushBuffer() {
    const auto pending = static_cast<size_t>(m_writeCur - m_buffer.get());
    if (pending > 0) {
        m_sink->Write({m_buffer.get(), pending});
        m_flushed += pending;
        m_writeCur = m_buffer.get();
    }
}

void CArchive::WriteSlow(const uint8_t* bytes, size_t size) {
    if (!m_storing || m_closed) {
        ThrowMisuse("writing");
    }
    if (static_cast<size_t>(m_writeEnd - m_writeCur) < size) {
        FlushBuffer();
    }
    if (size >= kBufferSize) {
        m_sink->Write({bytes, size});
        m_flushed += size;
        return;
    }
    if (size > 0) {
        std::memcpy(m_writeCur, bytes, size);
        m_writeCur += size;
    }
}

void CArchive::WriteBytes(std::span<const uint8_t> bytes) {
    if (static_cast<size_t>(m_writeEnd - m_writeCur) >= bytes.size() && !bytes.empty()) {
        std::memcpy(m_writeCur, bytes.data(), bytes.size());
        m_writeCur += bytes.size();
        return;
    }
    WriteSlow(bytes.data(), bytes.size());
}

void CArchive::WriteCount(uint32_t count) {
    if (count < 0xFFFF) {
        WriteWord(static_cast<uint16_t>(count));
    } else {
        WriteWord(0xFFFF);
        WriteDWord(count);
    }
}

// ---- Reading primitives -------------------------------------------------------------------------

void CArchive::FillBuffer(size_t needed, const char* what, uint64_t startOffset) {
    if (m_inPlace) {
        ThrowEndOfData(startOffset, what);
    }
    // Move the unread tail to the front, then top the buffer up from the source.
    size_t have = static_cast<size_t>(m_readEnd - m_readCur);
    uint8_t* buffer = m_buffer.get();
    if (have > 0 && m_readCur != buffer) {
        std::memmove(buffer, m_readCur, have);
    }
    m_readBase += static_cast<uint64_t>(m_readCur - m_readBegin);
    m_readBegin = buffer;
    m_readCur = buffer;
    m_readEnd = buffer + have;
    while (have < needed) {
        const size_t count = m_source->Read({buffer + have, kBufferSize - have});
        if (count == 0) {
            ThrowEndOfData(startOffset, what);
        }
        have += count;
        m_readEnd = buffer + have;
    }
}

uint64_t CArchive::ReadSlow(size_t size, const char* what) {
    if (m_storing || m_closed) {
        ThrowMisuse("reading");
    }
    FillBuffer(size, what, GetPosition());
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        value |= static_cast<uint64_t>(m_readCur[i]) << (8 * i);
    }
    m_readCur += size;
    return value;
}

void CArchive::ReadBlock(uint8_t* destination, size_t size, const char* what) {
    if (m_storing || m_closed) {
        ThrowMisuse("reading");
    }
    const uint64_t startOffset = GetPosition();
    if (size > GetRemaining()) {
        ThrowEndOfData(startOffset, what);
    }
    size_t done = std::min(size, static_cast<size_t>(m_readEnd - m_readCur));
    if (done > 0) {
        std::memcpy(destination, m_readCur, done);
        m_readCur += done;
    }
    while (done < size) {
        const size_t rest = size - done;
        if (rest >= kBufferSize) {
            // Large blocks go straight from the source; the buffer is empty here.
            const size_t count = m_source->Read({destination + done, rest});
            if (count == 0) {
                ThrowEndOfData(startOffset, what);
            }
            m_readBase += count;
            done += count;
        } else {
            FillBuffer(rest, what, startOffset);
            std::memcpy(destination + done, m_readCur, rest);
            m_readCur += rest;
            done = size;
        }
    }
}

void CArchive::ReadBytes(std::span<uint8_t> bytes) {
    if (static_cast<size_t>(m_readEnd - m_readCur) >= bytes.size() && !bytes.empty()) {
        std::memcpy(bytes.data(), m_readCur, bytes.size());
        m_readCur += bytes.size();
        return;
    }
    ReadBlock(bytes.data(), bytes.size(), "a block of bytes");
}

uint32_t CArchive::ReadCount() {
    const uint16_t count = ReadWord();
    return count != 0xFFFF ? count : ReadDWord();
}

void CArchive::CheckCount(uint64_t count, size_t minBytesEach) {
    if (m_storing || m_closed) {
        ThrowMisuse("CheckCount");
    }
    const uint64_t each = std::max<uint64_t>(minBytesEach, 1);
    const uint64_t remaining = GetRemaining();
    if (count > remaining / each) {
        const uint64_t offset = GetPosition();
        Throw(CArchiveException::Cause::endOfFile, offset,
              "unexpected end of data at offset " + std::to_string(offset) + ": " +
                  std::to_string(count) + " items of at least " + std::to_string(each) +
                  " bytes each need more than the " + std::to_string(remaining) +
                  " bytes that remain");
    }
}

// ---- Strings ------------------------------------------------------------------------------------

void CArchive::WriteStringLength(uint64_t length) {
    if (length < kByteLengthEscape) {
        WriteByte(static_cast<uint8_t>(length));
    } else if (length < kUnicodeMarker) {
        // A WORD of 0xFFFE would read as the Unicode marker, so that length takes the DWORD form.
        WriteByte(kByteLengthEscape);
        WriteWord(static_cast<uint16_t>(length));
    } else {
        WriteByte(kByteLengthEscape);
        WriteWord(kWordLengthEscape);
        WriteDWord(static_cast<uint32_t>(length));
    }
}

void CArchive::WriteString(std::string_view utf8) {
    if (utf8.size() > 0xFFFFFFFFu) {
        // Longer than any length prefix can say (the UTF-16 form is never longer in units).
        Throw(CArchiveException::Cause::badFormat, GetPosition(),
              "a string of " + std::to_string(utf8.size()) + " bytes at offset " +
                  std::to_string(GetPosition()) + " is too long for the archive");
    }
    if (IsAscii(utf8)) {
        WriteStringLength(utf8.size());
        WriteBytes({reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size()});
        return;
    }
    if (const auto ansi = Utf8ToCp1252(utf8)) {
        WriteStringLength(ansi->size());
        WriteBytes({reinterpret_cast<const uint8_t*>(ansi->data()), ansi->size()});
        return;
    }
    const std::u16string units = Utf8ToUtf16(utf8);
    std::vector<uint8_t> bytes(units.size() * 2);
    for (size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = static_cast<uint8_t>(units[i]);
        bytes[2 * i + 1] = static_cast<uint8_t>(units[i] >> 8);
    }
    WriteByte(kByteLengthEscape);
    WriteWord(kUnicodeMarker);
    WriteStringLength(units.size());
    WriteBytes(bytes);
}

uint64_t CArchive::ReadStringLength(bool& unicode) {
    unicode = false;
    uint8_t byteLength = ReadByte();
    if (byteLength < kByteLengthEscape) {
        return byteLength;
    }
    uint16_t wordLength = ReadWord();
    if (wordLength == kUnicodeMarker) {
        // The marker is followed by a length prefix of its own, in which 0xFFFE is a length.
        unicode = true;
        byteLength = ReadByte();
        if (byteLength < kByteLengthEscape) {
            return byteLength;
        }
        wordLength = ReadWord();
    }
    return wordLength < kWordLengthEscape ? wordLength : ReadDWord();
}

std::string CArchive::ReadString() {
    const uint64_t offset = GetPosition();
    bool unicode = false;
    const uint64_t length = ReadStringLength(unicode);
    const uint64_t size = unicode ? length * 2 : length;
    if (size > GetRemaining()) {
        Throw(CArchiveException::Cause::endOfFile, offset,
              "unexpected end of data at offset " + std::to_string(offset) +
                  " while reading a string of " + std::to_string(length) +
                  (unicode ? " UTF-16 units (" : " characters (") + std::to_string(GetRemaining()) +
                  " bytes remain)");
    }
    const auto byteCount = static_cast<size_t>(size);
    std::string raw;
    const uint8_t* bytes = m_readCur;
    if (static_cast<size_t>(m_readEnd - m_readCur) >= byteCount) {
        m_readCur += byteCount;
    } else {
        raw.resize(byteCount);
        ReadBlock(reinterpret_cast<uint8_t*>(raw.data()), byteCount, "a string");
        bytes = reinterpret_cast<const uint8_t*>(raw.data());
    }
    if (!unicode) {
        return Cp1252ToUtf8({reinterpret_cast<const char*>(bytes), byteCount});
    }
    std::u16string units(byteCount / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    }
    return Utf16ToUtf8(units);
}

// ---- Writing objects ----------------------------------------------------------------------------

namespace {

// Fibonacci hashing: the top bits of the address times 2^64 / golden ratio.
size_t SlotOf(const void* key, int bits) noexcept {
    const auto address = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(key));
    return static_cast<size_t>((address * 0x9E3779B97F4A7C15ULL) >> (64 - bits));
}

} // namespace

uint32_t CArchive::FindStored(const void* key) const noexcept {
    if (m_storeSlots.empty()) {
        return 0;
    }
    const size_t mask = m_storeSlots.size() - 1;
    for (size_t slot = SlotOf(key, m_storeBits);; slot = (slot + 1) & mask) {
        const StoreSlot& entry = m_storeSlots[slot];
        if (entry.key == key) {
            return entry.index;
        }
        if (entry.key == nullptr) {
            return 0;
        }
    }
}

void CArchive::AddStored(const void* key, uint32_t index) {
    if (2 * (m_storeUsed + 1) > m_storeSlots.size()) {
        std::vector<StoreSlot> old = std::exchange(m_storeSlots, {});
        m_storeBits = m_storeBits == 0 ? 6 : m_storeBits + 1;
        m_storeSlots.resize(size_t{1} << m_storeBits);
        m_storeUsed = 0;
        for (const StoreSlot& entry : old) {
            if (entry.key != nullptr) {
                AddStored(entry.key, entry.index);
            }
        }
    }
    const size_t mask = m_storeSlots.size() - 1;
    size_t slot = SlotOf(key, m_storeBits);
    while (m_storeSlots[slot].key != nullptr) {
        slot = (slot + 1) & mask;
    }
    m_storeSlots[slot] = StoreSlot{key, index};
    ++m_storeUsed;
}

uint32_t CArchive::NextStoreIndex() {
    if (m_nextIndex > kMaxIndex) {
        Throw(CArchiveException::Cause::badIndex, GetPosition(),
              "more classes and objects than one archive can number, at offset " +
                  std::to_string(GetPosition()));
    }
    return m_nextIndex++;
}

void CArchive::WriteClassRef(const CRuntimeClass* runtimeClass) {
    const uint32_t classIndex =
        runtimeClass == m_lastClass ? m_lastClassIndex : FindStored(runtimeClass);
    if (classIndex != 0) {
        if (classIndex < kBigIndexTag) {
            WriteWord(static_cast<uint16_t>(kClassTag | classIndex));
        } else {
            WriteWord(kBigIndexTag);
            WriteDWord(kBigClassTag | classIndex);
        }
    } else {
        const std::string& name = runtimeClass->GetName();
        WriteWord(kNewClassTag);
        WriteWord(runtimeClass->GetSchema());
        WriteWord(static_cast<uint16_t>(name.size()));
        WriteBytes({reinterpret_cast<const uint8_t*>(name.data()), name.size()});
        const uint32_t newIndex = NextStoreIndex();
        AddStored(runtimeClass, newIndex);
        m_lastClass = runtimeClass;
        m_lastClassIndex = newIndex;
        return;
    }
    m_lastClass = runtimeClass;
    m_lastClassIndex = classIndex;
}

void CArchive::WriteObject(const CObject* object) {
    if (object == nullptr) {
        WriteWord(kNullTag);
        return;
    }
    if (const uint32_t index = FindStored(object); index != 0) {
        if (index < kBigIndexTag) {
            WriteWord(static_cast<uint16_t>(index));
        } else {
            WriteWord(kBigIndexTag);
            WriteDWord(index);
        }
        return;
    }
    if (!m_storing || m_closed) {
        ThrowMisuse("WriteObject");
    }
    if (m_depth >= kMaxDepth) {
        Throw(CArchiveException::Cause::tooDeep, GetPosition(),
              "objects nested more than " + std::to_string(kMaxDepth) + " levels deep at offset " +
                  std::to_string(GetPosition()));
    }
    const CRuntimeClass* runtimeClass = object->GetRuntimeClass();
    WriteClassRef(runtimeClass);
    // Registered before its fields, so that the object may refer to itself.
    AddStored(object, NextStoreIndex());
    const NestingScope scope(m_depth, m_objectSchema, runtimeClass->GetSchema());
    // One Serialize serves both directions; a storing archive only reads the object.
    const_cast<CObject*>(object)->Serialize(*this);
}

// ---- Reading objects ----------------------------------------------------------------------------

void CArchive::AddLoaded(const LoadEntry& entry, uint64_t offset) {
    if (m_loaded.size() > kMaxIndex) {
        Throw(CArchiveException::Cause::badIndex, offset,
              "more classes and objects than one archive can number, at offset " +
                  std::to_string(offset));
    }
    m_loaded.push_back(entry);
}

CArchive::LoadEntry CArchive::ReadClassRecord(uint64_t offset) {
    const uint16_t schema = ReadWord();
    const uint16_t nameLength = ReadWord();
    if (nameLength > CRuntimeClass::kMaxNameLength) {
        Throw(CArchiveException::Cause::badClass, offset,
              "class name of " + std::to_string(nameLength) + " characters at offset " +
                  std::to_string(offset) + " is too long");
    }
    char name[CRuntimeClass::kMaxNameLength];
    ReadBlock(reinterpret_cast<uint8_t*>(name), nameLength, "a class name");
    const std::string_view className(name, nameLength);
    const CRuntimeClass* runtimeClass = CRuntimeClass::FromName(className);
    if (runtimeClass == nullptr) {
        Throw(CArchiveException::Cause::badClass, offset,
              "unknown class \"" + Printable(className) + "\" at offset " + std::to_string(offset));
    }
    if (!runtimeClass->AcceptsSchema(schema)) {
        const uint16_t oldest = runtimeClass->GetOldestSchema();
        const uint16_t current = runtimeClass->GetSchema();
        Throw(CArchiveException::Cause::badSchema, offset,
              "class " + Quoted(*runtimeClass) + " at offset " + std::to_string(offset) +
                  " has schema " + std::to_string(schema) + ", which cannot be read (" +
                  (oldest == current ? "only " + std::to_string(current)
                                     : std::to_string(oldest) + " to " + std::to_string(current)) +
                  ")");
    }
    const LoadEntry entry{runtimeClass, nullptr, schema, true};
    AddLoaded(entry, offset);
    return entry;
}

CObjectRef CArchive::ReadObjectRef(const CRuntimeClass* expected) {
    const uint64_t offset = GetPosition();
    const uint16_t tag = ReadWord();
    LoadEntry classEntry;
    if (tag == kNewClassTag) {
        classEntry = ReadClassRecord(offset);
    } else {
        bool isClass = (tag & kClassTag) != 0;
        uint32_t index = tag & ~kClassTag;
        if (tag == kBigIndexTag) {
            const uint32_t bigTag = ReadDWord();
            isClass = (bigTag & kBigClassTag) != 0;
            index = bigTag & ~kBigClassTag;
        }
        if (!isClass && index == 0) {
            return {};
        }
        if (index == 0 || index >= m_loaded.size()) {
            Throw(CArchiveException::Cause::badIndex, offset,
                  (isClass ? "class index " : "object index ") + std::to_string(index) +
                      " at offset " + std::to_string(offset) + " names nothing read so far (" +
                      std::to_string(m_loaded.size() - 1) + " indices)");
        }
        const LoadEntry& entry = m_loaded[index];
        if (entry.isClass != isClass) {
            Throw(CArchiveException::Cause::badIndex, offset,
                  "index " + std::to_string(index) + " at offset " + std::to_string(offset) +
                      (isClass ? " names an object where a class is expected"
                               : " names a class where an object is expected"));
        }
        if (!isClass) {
            if (expected != nullptr && !entry.runtimeClass->IsDerivedFrom(expected)) {
                ThrowWrongType(offset, *entry.runtimeClass, *expected);
            }
            return {nullptr, entry.object};
        }
        classEntry = entry;
    }

    const CRuntimeClass& runtimeClass = *classEntry.runtimeClass;
    if (expected != nullptr && !runtimeClass.IsDerivedFrom(expected)) {
        Throw(CArchiveException::Cause::badClass, offset,
              "class " + Quoted(runtimeClass) + " at offset " + std::to_string(offset) +
                  " is not a " + Quoted(*expected));
    }
    if (m_depth >= kMaxDepth) {
        Throw(CArchiveException::Cause::tooDeep, offset,
              "objects nested more than " + std::to_string(kMaxDepth) + " levels deep at offset " +
                  std::to_string(offset));
    }
    std::unique_ptr<CObject> object = runtimeClass.CreateObject();
    if (object == nullptr) {
        Throw(CArchiveException::Cause::badClass, offset,
              "class " + Quoted(runtimeClass) + " at offset " + std::to_string(offset) +
                  " cannot be created on its own");
    }
    // Registered before its fields, so that the fields may refer back to it.
    AddLoaded(LoadEntry{&runtimeClass, object.get(), classEntry.schema, false}, offset);
    {
        const NestingScope scope(m_depth, m_objectSchema, classEntry.schema);
        object->Serialize(*this);
    }
    CObject* raw = object.get();
    return {std::move(object), raw};
}

} // namespace dv
