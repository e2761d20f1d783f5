#pragma once

#include "core/CRuntimeClass.h"

namespace dv {

class CArchive;

/// Base of every record that the object archive writes as a tagged object. A serialisable class
/// has a static `RuntimeClass` (its name, schema and factory) and returns it from GetRuntimeClass.
class CObject {
public:
    virtual ~CObject() = default;

    /// The class as registered; never nullptr.
    virtual const CRuntimeClass* GetRuntimeClass() const = 0;

    /// Writes the record's fields when `ar` is storing, reads them when it is loading. While
    /// loading, ar.GetObjectSchema() tells which layout the stream holds.
    virtual void Serialize(CArchive& ar) = 0;

    /// True when this object's class is `runtimeClass` or derives from it.
    bool IsKindOf(const CRuntimeClass* runtimeClass) const {
        return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
    }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

} // namespace dv
