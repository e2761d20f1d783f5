#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace dv {

/// A stream that the object archive cannot read (or an object it cannot write). The whole load or
/// save ends; the operation that opened the archive catches this and reports what().
class CArchiveException : public std::runtime_error {
public:
    enum class Cause {
        endOfFile, ///< the data ends inside a value, or a length or count needs more than remains
        badClass,  ///< unknown class name, a class of the wrong kind, or one that cannot be created
        badSchema, ///< a stored schema that the class does not read
        badIndex,  ///< a tag naming no earlier class or object, the wrong kind, or too many indices
        tooDeep,   ///< objects nested deeper than the archive allows
        badFormat, ///< a value that a record reader rejects, or data too large for its form
    };

    /// `message` is the full text, naming the offset; `offset` is the byte position in the stream
    /// (from 0) where the faulty item starts.
    CArchiveException(Cause cause, uint64_t offset, const std::string& message);

    Cause GetCause() const noexcept { return m_cause; }
    uint64_t GetOffset() const noexcept { return m_offset; }

    /// The enumerator's name, e.g. "endOfFile".
    static const char* CauseName(Cause cause) noexcept;

private:
    Cause m_cause;
    uint64_t m_offset;
};

} // namespace dv
