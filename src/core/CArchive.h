#pragma once

#include "core/ByteStream.h"
#include "core/CArchiveException.h"
#include "core/CObject.h"
#include "core/CRuntimeClass.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace dv {

/// The result of reading an object reference: a new object (owned set, object == owned.get()),
/// an object read earlier in the same archive (owned empty, object points to it), or a null
/// reference (both empty).
struct CObjectRef {
    std::unique_ptr<CObject> owned;
    CObject* object = nullptr;
};

/// The binary object archive of the event file, its side file, clipboard blocks and holiday
/// modules. It writes and reads exactly the bytes of the classic MFC 4.2 CArchive: little-endian
/// primitives, counts, length-prefixed strings and tagged objects whose first appearance of a
/// class carries the class record (name and schema).
///
/// An archive either stores (over a CByteSink) or loads (over a CByteSource), never both. It
/// buffers 64 KiB at a time; over a memory source it reads the memory in place. Every read error
/// throws CArchiveException naming the offset; after one the archive is not used any further.
/// Using a storing archive for reading (or the reverse), or using it after Close, is a programming
/// error and throws std::logic_error.
class CArchive {
public:
    static constexpr size_t kBufferSize = 64 * 1024;
    /// Objects may nest this many levels (an object inside an object inside ...), both ways.
    static constexpr int kMaxDepth = 64;
    /// GetObjectSchema outside any record.
    static constexpr uint16_t kNoSchema = 0xFFFF;
    /// The last index a class or object may take in one archive.
    static constexpr uint32_t kMaxIndex = 0x3FFFFFFD;

    /// A storing archive. The sink must outlive the archive.
    explicit CArchive(CByteSink& sink);
    /// A loading archive, starting at the source's current position. The source (and, for a
    /// memory source, its memory) must outlive the archive and every string it is still reading.
    explicit CArchive(CByteSource& source);
    /// Does not flush: bytes of a storing archive that was not closed are dropped, so an
    /// interrupted save (an exception) never hands a partial stream to the sink.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const noexcept { return m_storing; }
    bool IsLoading() const noexcept { return !m_storing; }

    // ---- Primitives (little-endian; a LONG is a signed 32-bit integer) ----

    void WriteByte(uint8_t value);
    void WriteWord(uint16_t value);
    void WriteDWord(uint32_t value);
    void WriteLong(int32_t value) { WriteDWord(static_cast<uint32_t>(value)); }
    /// Writes the bytes as they are.
    void WriteBytes(std::span<const uint8_t> bytes);

    uint8_t ReadByte();
    uint16_t ReadWord();
    uint32_t ReadDWord();
    int32_t ReadLong() { return static_cast<int32_t>(ReadDWord()); }
    /// Fills `bytes` completely or throws endOfFile.
    void ReadBytes(std::span<uint8_t> bytes);

    // ---- Counts and strings ----

    /// A WORD when `count` is below 0xFFFF, else WORD 0xFFFF followed by the DWORD.
    void WriteCount(uint32_t count);
    /// Any count that the form can hold; check it with CheckCount before reserving memory.
    uint32_t ReadCount();

    /// Writes UTF-8 text as a length-prefixed string: in Windows-1252 when every character has a
    /// place there, else in the Unicode form (BYTE 0xFF, WORD 0xFFFE, then the length in UTF-16
    /// units and UTF-16LE). Ill-formed UTF-8 is written as U+FFFD in the Unicode form. Throws
    /// badFormat for text of 2^32 or more characters.
    void WriteString(std::string_view utf8);
    /// Reads either form and returns UTF-8 (unpaired surrogates become U+FFFD). A length larger
    /// than the rest of the data throws endOfFile before anything is allocated.
    std::string ReadString();

    // ---- Objects ----

    /// Writes a null tag for nullptr; an index for an object already written by this archive;
    /// otherwise the class record or class reference, then the object's own fields. Throws
    /// tooDeep beyond kMaxDepth nested objects and badIndex beyond kMaxIndex indices.
    void WriteObject(const CObject* object);

    /// Reads an object reference. `expected` (nullptr accepts any class) must be the stored
    /// class or one of its bases. Errors: badClass (unknown name, wrong class, class without
    /// factory), badSchema (stored schema outside the class's accepted range), badIndex (an index
    /// naming nothing yet, or a class where an object is meant and the reverse), tooDeep,
    /// endOfFile. A back-reference points to an object read earlier by this archive; it stays
    /// valid as long as that object's owner keeps it.
    CObjectRef ReadObjectRef(const CRuntimeClass* expected);

    /// Reads a new object of class T (or a class derived from it); nullptr for a null reference.
    /// A back-reference is badIndex here, since the result is owned.
    template <class T>
    std::unique_ptr<T> ReadObject();

    /// Inside a record's Serialize: while loading, the schema that the stream stored for that
    /// record's class; while storing, the class's current schema. kNoSchema outside any record.
    uint16_t GetObjectSchema() const noexcept { return m_objectSchema; }

    /// Throws endOfFile when `count` items of at least `minBytesEach` bytes (0 counts as 1) cannot
    /// fit in what remains of the input. Record readers call it before reserving for a count.
    void CheckCount(uint64_t count, size_t minBytesEach);

    /// Throws badFormat at the current offset: "bad data at offset N: <what>".
    [[noreturn]] void ThrowFormatError(std::string what);

    /// Bytes written or read so far (the offset of the next byte).
    uint64_t GetPosition() const noexcept;

    /// Loading: bytes not read yet. Storing: 0.
    uint64_t GetRemaining() const noexcept;

    /// Storing: writes the buffered bytes to the sink and flushes it; must be called for the data
    /// to arrive. Loading: ends reading. Calling it again does nothing.
    void Close();

private:
    struct LoadEntry {
        const CRuntimeClass* runtimeClass = nullptr; // of the class, or of the object
        CObject* object = nullptr;                   // nullptr for a class (and for index 0)
        uint16_t schema = 0;                         // schema stored in the class record
        bool isClass = false;
    };

    void WriteSlow(const uint8_t* bytes, size_t size);
    uint64_t ReadSlow(size_t size, const char* what);
    void FillBuffer(size_t needed, const char* what, uint64_t startOffset);
    void ReadBlock(uint8_t* destination, size_t size, const char* what);
    void FlushBuffer();
    void WriteStringLength(uint64_t length);
    uint64_t ReadStringLength(bool& unicode);
    uint32_t NextStoreIndex();
    void WriteClassRef(const CRuntimeClass* runtimeClass);
    LoadEntry ReadClassRecord(uint64_t offset);
    void AddLoaded(const LoadEntry& entry, uint64_t offset);
    [[noreturn]] void Throw(CArchiveException::Cause cause, uint64_t offset,
                            const std::string& message) const;
    [[noreturn]] void ThrowMisuse(const char* what) const;
    [[noreturn]] void ThrowEndOfData(uint64_t offset, const char* what) const;
    [[noreturn]] void ThrowBackReference(uint64_t offset) const;
    [[noreturn]] void ThrowWrongType(uint64_t offset, const CRuntimeClass& found,
                                     const CRuntimeClass& expected) const;

    bool m_storing;
    bool m_closed = false;
    std::unique_ptr<uint8_t[]> m_buffer;

    // Storing: the free part of the buffer is [m_writeCur, m_writeEnd).
    CByteSink* m_sink = nullptr;
    uint8_t* m_writeCur = nullptr;
    uint8_t* m_writeEnd = nullptr;
    uint64_t m_flushed = 0; // bytes handed to the sink

    // Loading: the unread part is [m_readCur, m_readEnd), which starts at stream offset
    // m_readBase + (m_readCur - m_readBegin).
    CByteSource* m_source = nullptr;
    const uint8_t* m_readBegin = nullptr;
    const uint8_t* m_readCur = nullptr;
    const uint8_t* m_readEnd = nullptr;
    uint64_t m_readBase = 0;
    bool m_inPlace = false; // reading the source's memory directly

    // One index sequence for classes and objects, from 1; index 0 is the null reference. Written
    // classes and objects are found by address in an open-addressing table (a class and an object
    // never share an address); this is the hot path of saving many records.
    struct StoreSlot {
        const void* key = nullptr; // nullptr: free slot
        uint32_t index = 0;
    };
    uint32_t FindStored(const void* key) const noexcept;
    void AddStored(const void* key, uint32_t index);
    std::vector<StoreSlot> m_storeSlots; // size a power of two, at most half full
    size_t m_storeUsed = 0;
    int m_storeBits = 0;                        // log2 of m_storeSlots.size()
    const CRuntimeClass* m_lastClass = nullptr; // the class written last, to skip a lookup
    uint32_t m_lastClassIndex = 0;
    uint32_t m_nextIndex = 1;
    std::vector<LoadEntry> m_loaded;

    int m_depth = 0;
    uint16_t m_objectSchema = kNoSchema;
};

// ---- Inline fast paths --------------------------------------------------------------------------

inline void CArchive::WriteByte(uint8_t value) {
    if (m_writeCur == m_writeEnd) {
        WriteSlow(&value, 1);
        return;
    }
    *m_writeCur++ = value;
}

inline void CArchive::WriteWord(uint16_t value) {
    const uint8_t bytes[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
    if (m_writeEnd - m_writeCur < 2) {
        WriteSlow(bytes, 2);
        return;
    }
    m_writeCur[0] = bytes[0];
    m_writeCur[1] = bytes[1];
    m_writeCur += 2;
}

inline void CArchive::WriteDWord(uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    if (m_writeEnd - m_writeCur < 4) {
        WriteSlow(bytes, 4);
        return;
    }
    for (int i = 0; i < 4; ++i) {
        m_writeCur[i] = bytes[i];
    }
    m_writeCur += 4;
}

inline uint8_t CArchive::ReadByte() {
    if (m_readCur == m_readEnd) {
        return static_cast<uint8_t>(ReadSlow(1, "a BYTE"));
    }
    return *m_readCur++;
}

inline uint16_t CArchive::ReadWord() {
    if (m_readEnd - m_readCur < 2) {
        return static_cast<uint16_t>(ReadSlow(2, "a WORD"));
    }
    const auto value = static_cast<uint16_t>(m_readCur[0] | (m_readCur[1] << 8));
    m_readCur += 2;
    return value;
}

inline uint32_t CArchive::ReadDWord() {
    if (m_readEnd - m_readCur < 4) {
        return static_cast<uint32_t>(ReadSlow(4, "a DWORD"));
    }
    const uint32_t value =
        static_cast<uint32_t>(m_readCur[0]) | (static_cast<uint32_t>(m_readCur[1]) << 8) |
        (static_cast<uint32_t>(m_readCur[2]) << 16) | (static_cast<uint32_t>(m_readCur[3]) << 24);
    m_readCur += 4;
    return value;
}

template <class T>
std::unique_ptr<T> CArchive::ReadObject() {
    const uint64_t offset = GetPosition();
    CObjectRef ref = ReadObjectRef(&T::RuntimeClass);
    if (ref.object == nullptr) {
        return nullptr;
    }
    if (!ref.owned) {
        ThrowBackReference(offset);
    }
    // A class whose registered base chain disagrees with its C++ bases fails the cast.
    T* typed = dynamic_cast<T*>(ref.owned.get());
    if (typed == nullptr) {
        ThrowWrongType(offset, *ref.object->GetRuntimeClass(), T::RuntimeClass);
    }
    ref.owned.release();
    return std::unique_ptr<T>(typed);
}

} // namespace dv
