// Fuzz target for the object archive reader.
//
// The input is read as: DWORD flags, then objects until the data ends. Bit 0 of the flags reads
// the first object as an owned CFuzzRecord (the typed path), the rest are read as references to
// any class. Whatever was read is written again and read back; the second writing must give the
// same bytes as the first, so reading and writing are checked against each other as well.

#include "core/CArchive.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using dv::CArchive;
using dv::CObject;
using dv::CObjectRef;
using dv::CRuntimeClass;

// The owned part of a reference, kept so that back-references stay valid.
struct Child {
    std::unique_ptr<CObject> owned;
    CObject* object = nullptr;

    void Read(CArchive& ar, const CRuntimeClass* expected) {
        CObjectRef ref = ar.ReadObjectRef(expected);
        owned = std::move(ref.owned);
        object = ref.object;
    }
};

class CFuzzBase : public CObject {
public:
    static const CRuntimeClass RuntimeClass;
};
const CRuntimeClass CFuzzBase::RuntimeClass{"CFuzzBase", 1, 1, nullptr, nullptr};

// Schema 3, reads 1 and 2: 1 = title; 2 adds LONG values and string tags; 3 adds children.
class CFuzzRecord : public CFuzzBase {
public:
    static const CRuntimeClass RuntimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &RuntimeClass; }

    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteString(m_title);
            ar.WriteCount(static_cast<uint32_t>(m_values.size()));
            for (const int32_t value : m_values) {
                ar.WriteLong(value);
            }
            ar.WriteCount(static_cast<uint32_t>(m_tags.size()));
            for (const std::string& tag : m_tags) {
                ar.WriteString(tag);
            }
            ar.WriteCount(static_cast<uint32_t>(m_children.size()));
            for (const Child& child : m_children) {
                ar.WriteObject(child.object);
            }
            return;
        }
        const uint16_t schema = ar.GetObjectSchema();
        m_title = ar.ReadString();
        if (schema >= 2) {
            const uint32_t valueCount = ar.ReadCount();
            ar.CheckCount(valueCount, 4);
            m_values.reserve(valueCount);
            for (uint32_t i = 0; i < valueCount; ++i) {
                m_values.push_back(ar.ReadLong());
            }
            const uint32_t tagCount = ar.ReadCount();
            ar.CheckCount(tagCount, 1);
            m_tags.reserve(tagCount);
            for (uint32_t i = 0; i < tagCount; ++i) {
                m_tags.push_back(ar.ReadString());
            }
        }
        if (schema >= 3) {
            const uint32_t childCount = ar.ReadCount();
            ar.CheckCount(childCount, 2);
            m_children.resize(childCount);
            for (Child& child : m_children) {
                child.Read(ar, &CFuzzBase::RuntimeClass);
            }
        }
        if (ar.GetObjectSchema() != schema) {
            std::abort(); // nested reads must not change this record's schema
        }
    }

private:
    std::string m_title;
    std::vector<int32_t> m_values;
    std::vector<std::string> m_tags;
    std::vector<Child> m_children;
};
const CRuntimeClass CFuzzRecord::RuntimeClass{"CFuzzRecord", 3, 1, &CFuzzBase::RuntimeClass,
                                              &dv::MakeObject<CFuzzRecord>};

// Fixed layout, no older schema: BYTE, WORD, DWORD, a string and a raw block of 3 bytes.
class CFuzzLeaf : public CFuzzBase {
public:
    static const CRuntimeClass RuntimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &RuntimeClass; }

    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteByte(m_byte);
            ar.WriteWord(m_word);
            ar.WriteDWord(m_dword);
            ar.WriteString(m_text);
            ar.WriteBytes(m_block);
            return;
        }
        m_byte = ar.ReadByte();
        m_word = ar.ReadWord();
        m_dword = ar.ReadDWord();
        m_text = ar.ReadString();
        ar.ReadBytes(m_block);
        if (m_byte == 0xEE) {
            ar.ThrowFormatError("leaf marked as damaged");
        }
    }

private:
    uint8_t m_byte = 0;
    uint16_t m_word = 0;
    uint32_t m_dword = 0;
    std::string m_text;
    uint8_t m_block[3] = {};
};
const CRuntimeClass CFuzzLeaf::RuntimeClass{"CFuzzLeaf", 1, 1, &CFuzzBase::RuntimeClass,
                                            &dv::MakeObject<CFuzzLeaf>};

// Not a CFuzzBase: a reference to any object, so chains and cycles can form.
class CFuzzLink : public CObject {
public:
    static const CRuntimeClass RuntimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &RuntimeClass; }

    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteObject(m_target.object);
        } else {
            m_target.Read(ar, nullptr);
        }
    }

private:
    Child m_target;
};
const CRuntimeClass CFuzzLink::RuntimeClass{"CFuzzLink", 2, 2, nullptr, &dv::MakeObject<CFuzzLink>};

struct Document {
    uint32_t flags = 0;
    std::vector<std::unique_ptr<CObject>> owned;
    std::vector<CObject*> objects; // in stream order, nullptr and back-references included
};

// Returns false when the archive rejects the data.
bool Load(const uint8_t* data, size_t size, Document& document) {
    dv::CMemorySource source({data, size});
    CArchive ar(source);
    try {
        document.flags = ar.ReadDWord();
        if ((document.flags & 1) != 0) {
            std::unique_ptr<CFuzzRecord> first = ar.ReadObject<CFuzzRecord>();
            document.objects.push_back(first.get());
            document.owned.push_back(std::move(first));
        }
        while (ar.GetRemaining() > 0) {
            CObjectRef ref = ar.ReadObjectRef(nullptr);
            document.objects.push_back(ref.object);
            if (ref.owned) {
                document.owned.push_back(std::move(ref.owned));
            }
        }
    } catch (const dv::CArchiveException&) {
        return false;
    }
    return true;
}

std::vector<uint8_t> Store(const Document& document) {
    dv::CMemorySink sink;
    CArchive ar(sink);
    ar.WriteDWord(document.flags);
    for (const CObject* object : document.objects) {
        ar.WriteObject(object);
    }
    ar.Close();
    return sink.TakeData();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Document first;
    if (!Load(data, size, first)) {
        return 0;
    }
    const std::vector<uint8_t> written = Store(first);
    Document second;
    if (!Load(written.data(), written.size(), second)) {
        std::abort(); // the archive could not read what it wrote
    }
    if (Store(second) != written) {
        std::abort(); // reading and writing disagree
    }
    return 0;
}
