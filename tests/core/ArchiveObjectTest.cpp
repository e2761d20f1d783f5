#include "RecordBytes.h"
#include "core/CArchive.h"

#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace dv {
namespace {

using Cause = CArchiveException::Cause;
using test::Bytes;
using test::ClassRecord;
using test::Concat;
using test::DWord;
using test::ExpectArchiveError;
using test::Store;
using test::Word;

// One WORD, with the schemas its class takes: CTestItem 1 only, CTestStrict 2 only, CTestVersioned
// 1 to 4.
template <uint16_t Schema, uint16_t Oldest>
class CTestWord : public CObject {
public:
    static const CRuntimeClass RuntimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &RuntimeClass; }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteWord(value);
        } else {
            value = ar.ReadWord();
        }
    }
    uint16_t value = 0;
};
using CTestItem = CTestWord<1, 1>;
using CTestStrict = CTestWord<2, 2>;
using CTestVersioned = CTestWord<4, 1>;
template <>
const CRuntimeClass CTestItem::RuntimeClass{"CTestItem", 1, 1, nullptr, &MakeObject<CTestItem>};
template <>
const CRuntimeClass CTestStrict::RuntimeClass{"CTestStrict", 2, 2, nullptr,
                                              &MakeObject<CTestStrict>};
template <>
const CRuntimeClass CTestVersioned::RuntimeClass{"CTestVersioned", 4, 1, nullptr,
                                                 &MakeObject<CTestVersioned>};

// An abstract base that is never created on its own, and a class derived from it.
class CTestBase : public CObject {
public:
    static const CRuntimeClass RuntimeClass;
    int32_t base = 0;
};
const CRuntimeClass CTestBase::RuntimeClass{"CTestBase", 1, 1, nullptr, nullptr};

class CTestDerived : public CTestBase {
public:
    static const CRuntimeClass RuntimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &RuntimeClass; }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteLong(base);
        } else {
            base = ar.ReadLong();
        }
    }
};
const CRuntimeClass CTestDerived::RuntimeClass{"CTestDerived", 1, 1, &CTestBase::RuntimeClass,
                                               &MakeObject<CTestDerived>};

// A link to any object: its own child, an earlier object, or none.
class CTestNode : public CObject {
public:
    static const CRuntimeClass RuntimeClass;
    const CRuntimeClass* GetRuntimeClass() const override { return &RuntimeClass; }
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar.WriteObject(link);
        } else {
            CObjectRef ref = ar.ReadObjectRef(nullptr);
            owned = std::move(ref.owned);
            link = ref.object;
        }
    }
    std::unique_ptr<CObject> owned;
    CObject* link = nullptr;
};
const CRuntimeClass CTestNode::RuntimeClass{"CTestNode", 1, 1, nullptr, &MakeObject<CTestNode>};

void ReadAny(CArchive& ar) {
    ar.ReadObjectRef(nullptr);
}

void ReadTwo(CArchive& ar) {
    ReadAny(ar);
    ReadAny(ar);
}

TEST(ArchiveObjectTest, LargeIndexForms) {
    // 0x7FFD items take the indices 2 to 0x7FFE after their class's index 1.
    std::vector<CTestItem> items(0x7FFD);
    CTestStrict s1;
    s1.value = 0x5151;
    CTestStrict s2;
    s2.value = 0x5252;
    CTestItem last;
    last.value = 0x4242;
    size_t tailStart = 0;
    const Bytes bytes = Store([&](CArchive& ar) {
        for (CTestItem& item : items) {
            ar.WriteObject(&item);
        }
        tailStart = ar.GetPosition();
        ar.WriteObject(&items.back()); // index 0x7FFE, still a WORD
        ar.WriteObject(&s1);           // class 0x7FFF, object 0x8000
        ar.WriteObject(&s2);           // large class reference, object 0x8001
        ar.WriteObject(&s1);           // large object reference
        ar.WriteObject(&s2);
        ar.WriteObject(&last); // small class reference, object 0x8002
        ar.WriteObject(&last);
    });
    const Bytes tail(bytes.begin() + static_cast<ptrdiff_t>(tailStart), bytes.end());
    EXPECT_EQ(tail,
              Concat({Word(0x7FFE), ClassRecord("CTestStrict", 2), Word(0x5151), Word(0x7FFF),
                      DWord(0x80007FFF), Word(0x5252), Word(0x7FFF), DWord(0x8000), Word(0x7FFF),
                      DWord(0x8001), Word(0x8001), Word(0x4242), Word(0x7FFF), DWord(0x8002)}));

    CMemorySource source(bytes);
    CArchive ar(source);
    std::vector<std::unique_ptr<CObject>> owned;
    for (size_t i = 0; i < items.size(); ++i) {
        owned.push_back(ar.ReadObjectRef(&CTestItem::RuntimeClass).owned);
    }
    EXPECT_EQ(ar.ReadObjectRef(nullptr).object, owned.back().get());
    CObjectRef r1 = ar.ReadObjectRef(&CTestStrict::RuntimeClass);
    CObjectRef r2 = ar.ReadObjectRef(&CTestStrict::RuntimeClass);
    ASSERT_TRUE(r1.owned && r2.owned);
    EXPECT_EQ(static_cast<CTestStrict*>(r2.object)->value, 0x5252);
    EXPECT_EQ(ar.ReadObjectRef(nullptr).object, r1.object);
    EXPECT_EQ(ar.ReadObjectRef(nullptr).object, r2.object);
    const auto readLast = ar.ReadObject<CTestItem>();
    ASSERT_TRUE(readLast);
    EXPECT_EQ(readLast->value, 0x4242);
    EXPECT_EQ(ar.ReadObjectRef(nullptr).object, readLast.get());
}

TEST(ArchiveObjectTest, DamagedRecordsNameTheirFault) {
    const Bytes item = Concat({ClassRecord("CTestItem", 1), Word(1)}); // class 1, object 2
    struct Row {
        Cause cause;
        Bytes bytes;
        uint64_t offset;
        std::string message;
        std::function<void(CArchive&)> read = ReadTwo;
    };
    const std::vector<Row> rows = {
        {Cause::badSchema, Concat({ClassRecord("CTestVersioned", 0), Word(1)}), 0,
         "schema 0, which cannot be read (1 to 4)"},
        {Cause::badSchema, Concat({ClassRecord("CTestStrict", 1), Word(1)}), 0, "(only 2)"},
        {Cause::badSchema, Concat({ClassRecord("CTestStrict", 3), Word(1)}), 0, "\"CTestStrict\""},
        {Cause::badSchema, Concat({item, ClassRecord("CTestStrict", 1), Word(1)}), 17, "schema 1"},
        {Cause::badClass, Concat({ClassRecord("CNowhere", 1), Word(1)}), 0,
         "unknown class \"CNowhere\""},
        {Cause::badClass, ClassRecord(std::string_view("C\0x", 3), 1), 0, "\"C\\x00x\""},
        {Cause::badClass, Concat({{0xFF, 0xFF}, Word(1), Word(64), Bytes(64, 'C')}), 0,
         "64 characters"},
        {Cause::badClass, Concat({ClassRecord("CTestStrict", 2), Word(1)}), 0,
         "\"CTestStrict\" at offset 0 is not a \"CTestItem\"",
         [](CArchive& ar) { ar.ReadObject<CTestItem>(); }},
        {Cause::badClass, Concat({item, Word(0x8001), Word(2)}), 17, "not a \"CTestStrict\"",
         [](CArchive& ar) {
             ar.ReadObject<CTestItem>();
             ar.ReadObjectRef(&CTestStrict::RuntimeClass);
         }},
        {Cause::badClass, Concat({item, Word(2)}), 17, "not a \"CTestVersioned\"",
         [](CArchive& ar) {
             const CObjectRef first = ar.ReadObjectRef(nullptr);
             const CObjectRef again = ar.ReadObjectRef(&CTestVersioned::RuntimeClass);
         }},
        {Cause::badClass, Concat({ClassRecord("CTestBase", 1), DWord(0)}), 0, "cannot be created"},
        {Cause::badClass, Concat({ClassRecord("CTestBase", 1), DWord(0)}), 0,
         "is not a \"CTestDerived\"",
         [](CArchive& ar) { ar.ReadObjectRef(&CTestDerived::RuntimeClass); }},
        {Cause::badIndex, Word(5), 0, "object index 5"},
        {Cause::badIndex, Concat({Word(0x8001), Word(1)}), 0, "class index 1"},
        {Cause::badIndex, Word(0x8000), 0, "class index 0"},
        {Cause::badIndex, Concat({item, Word(3)}), 17, "names nothing read so far (2 indices)"},
        {Cause::badIndex, Concat({item, Word(0x8002), Word(1)}), 17,
         "names an object where a class is expected"},
        {Cause::badIndex, Concat({item, Word(1)}), 17, "names a class where an object is expected"},
        {Cause::badIndex, Concat({item, Word(0x7FFF), DWord(9)}), 17, "object index 9"},
        {Cause::badIndex, Concat({item, Word(0x7FFF), DWord(0xFFFFFFFF)}), 17,
         "class index 2147483647"},
        {Cause::badIndex, Concat({item, Word(2)}), 17, "where a new object is expected",
         [](CArchive& ar) {
             ar.ReadObject<CTestItem>();
             ar.ReadObject<CTestItem>();
         }},
    };
    for (const Row& row : rows) {
        ExpectArchiveError(row.bytes, row.cause, row.offset, row.read, row.message, row.message);
    }
    // The large form of index 0 is a null reference, as in the framework.
    const Bytes largeNull = Concat({Word(0x7FFF), DWord(0)});
    CMemorySource source(largeNull);
    CArchive ar(source);
    EXPECT_EQ(ar.ReadObject<CTestItem>(), nullptr);
    EXPECT_EQ(ar.GetRemaining(), 0u);
}

TEST(ArchiveObjectTest, NestingDepthIsLimitedBothWays) {
    auto chain = [](int depth) {
        std::vector<std::unique_ptr<CTestNode>> nodes;
        for (int i = 0; i < depth; ++i) {
            nodes.push_back(std::make_unique<CTestNode>());
            if (i > 0) {
                nodes[i - 1]->link = nodes[i].get();
            }
        }
        return nodes;
    };
    const auto deepest = chain(CArchive::kMaxDepth);
    // The deepest chain allowed is written; one more level is refused.
    EXPECT_NO_THROW(Store([&](CArchive& ar) { ar.WriteObject(deepest.front().get()); }));
    const auto tooDeep = chain(CArchive::kMaxDepth + 1);
    CMemorySink sink;
    CArchive storing(sink);
    try {
        storing.WriteObject(tooDeep.front().get());
        ADD_FAILURE() << "writing too deep: no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), Cause::tooDeep) << e.what();
    }

    // One node more than allowed: the class record (15 bytes), then a class reference per node.
    Bytes deeper = ClassRecord("CTestNode", 1);
    for (int i = 1; i < CArchive::kMaxDepth + 1; ++i) {
        deeper = Concat({deeper, Word(0x8001)});
    }
    deeper = Concat({deeper, Word(0)});
    ExpectArchiveError(deeper, Cause::tooDeep, 15 + 2 * (CArchive::kMaxDepth - 1), ReadAny,
                       "reading too deep", "nested more than 64 levels");
}

TEST(ArchiveObjectTest, RegistryFindsClassesByExactNameAndDerivedClassesByTheirBase) {
    EXPECT_EQ(CRuntimeClass::FromName("CTestItem"), &CTestItem::RuntimeClass);
    EXPECT_EQ(CRuntimeClass::FromName("CTestIte"), nullptr);
    EXPECT_EQ(CRuntimeClass::FromName(""), nullptr);
    {
        const CRuntimeClass local("CTestLocal", 3, 2, nullptr, &MakeObject<CTestItem>);
        EXPECT_EQ(CRuntimeClass::FromName("CTestLocal"), &local);
    }
    EXPECT_EQ(CRuntimeClass::FromName("CTestLocal"), nullptr);

    auto make = [](std::string_view name, uint16_t schema, uint16_t oldest) {
        const CRuntimeClass attempt(name, schema, oldest, nullptr, nullptr);
    };
    EXPECT_THROW(make("CTestItem", 1, 1), std::logic_error) << "name taken";
    EXPECT_EQ(CRuntimeClass::FromName("CTestItem"), &CTestItem::RuntimeClass)
        << "the refused duplicate leaves the first in place";
    EXPECT_THROW(make("", 1, 1), std::invalid_argument);
    EXPECT_THROW(make(std::string(64, 'C'), 1, 1), std::invalid_argument);
    EXPECT_NO_THROW(make(std::string(63, 'C'), 1, 1));
    EXPECT_THROW(make("C Space", 1, 1), std::invalid_argument);
    EXPECT_THROW(make("CTestRange", 1, 2), std::invalid_argument) << "oldest above current";
    EXPECT_THROW(make("CTestRange", 0xFFFF, 1), std::invalid_argument);

    // A derived class is read where its base is expected.
    CTestDerived derived;
    derived.base = -5;
    const Bytes bytes = Store([&](CArchive& ar) { ar.WriteObject(&derived); });
    CMemorySource source(bytes);
    CArchive ar(source);
    const std::unique_ptr<CTestBase> read = ar.ReadObject<CTestBase>();
    ASSERT_TRUE(read);
    EXPECT_TRUE(read->IsKindOf(&CTestBase::RuntimeClass));
    EXPECT_FALSE(read->IsKindOf(&CTestItem::RuntimeClass));
    EXPECT_EQ(read->base, -5);
}

} // namespace
} // namespace dv
