#pragma once

#include "core/CDateTime.h"
#include "core/CObject.h"
#include "core/CRuntimeClass.h"

namespace dv {

/// A date-time as a tagged archive object. Records embed CDateTime by value (two LONGs, no tag),
/// so CDateTime itself stays a plain value type; this box gives the class "CDateTime" (schema 1,
/// no older schema) its place in the class registry, so that a stream naming it is read with the
/// same rules as any other class, and a stored schema other than 1 is refused.
class CDateTimeObject : public CObject {
public:
    static const CRuntimeClass RuntimeClass;

    CDateTimeObject() = default;
    explicit CDateTimeObject(const CDateTime& value) : m_value(value) {}

    const CRuntimeClass* GetRuntimeClass() const override { return &RuntimeClass; }
    void Serialize(CArchive& ar) override { m_value.Serialize(ar); }

    const CDateTime& GetValue() const { return m_value; }

private:
    CDateTime m_value;
};

} // namespace dv
