#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace dv {

class CObject;

/// The description of a serialisable class: the name and schema that the archive writes in a class
/// record, the oldest schema the class still reads, its base class and how to create an instance.
///
/// Registration rule: constructing a CRuntimeClass registers it under its name in one process-wide
/// registry, and destroying it removes it again. Each serialisable class defines one as its static
/// member `RuntimeClass`; the registry then knows the class once static initialisation of the
/// class's object file has run, i.e. from main() on, provided the object file is linked (naming
/// `T::RuntimeClass` anywhere, as ReadObject<T> does, is enough). Names are unique: registering a
/// second class under a name already taken throws std::logic_error, as does an invalid name or
/// schema range (see the constructor); during static initialisation that ends the program at start,
/// which is where such a mistake should show. Lookups are thread-safe.
class CRuntimeClass {
public:
    using Factory = std::unique_ptr<CObject> (*)();

    /// The longest class name that a class record can carry and still be read back.
    static constexpr size_t kMaxNameLength = 63;

    /// `className`: 1 to kMaxNameLength printable ASCII characters. `schema`: the current schema,
    /// 0 to 0xFFFE (0xFFFF never names a schema in a class record). `oldestSchema`: the oldest
    /// schema the class reads, at most `schema`; equal to it for a class that reads no older
    /// layout. `baseClass`: the serialisable base class, or nullptr. `factory`: creates a default
    /// instance, or nullptr for a class that is never created on its own (an abstract base).
    CRuntimeClass(std::string_view className, uint16_t schema, uint16_t oldestSchema,
                  const CRuntimeClass* baseClass, Factory factory);
    ~CRuntimeClass();
    CRuntimeClass(const CRuntimeClass&) = delete;
    CRuntimeClass& operator=(const CRuntimeClass&) = delete;

    const std::string& GetName() const noexcept { return m_className; }
    uint16_t GetSchema() const noexcept { return m_schema; }
    uint16_t GetOldestSchema() const noexcept { return m_oldestSchema; }
    const CRuntimeClass* GetBaseClass() const noexcept { return m_baseClass; }

    /// True when a stored schema lies in [GetOldestSchema(), GetSchema()], both inclusive.
    bool AcceptsSchema(uint16_t schema) const noexcept {
        return schema >= m_oldestSchema && schema <= m_schema;
    }

    /// True when this class is `base` or has it among its base classes; false for nullptr.
    bool IsDerivedFrom(const CRuntimeClass* base) const noexcept;

    bool CanCreate() const noexcept { return m_factory != nullptr; }

    /// A new default instance; nullptr when the class has no factory.
    std::unique_ptr<CObject> CreateObject() const;

    /// The registered class of that exact (case-sensitive) name, or nullptr when there is none.
    static const CRuntimeClass* FromName(std::string_view className);

private:
    std::string m_className;
    uint16_t m_schema;
    uint16_t m_oldestSchema;
    const CRuntimeClass* m_baseClass;
    Factory m_factory;
};

/// A factory for CRuntimeClass: `&MakeObject<CDateEntry>`.
template <class T>
std::unique_ptr<CObject> MakeObject() {
    return std::make_unique<T>();
}

} // namespace dv
