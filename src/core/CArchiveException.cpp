#include "core/CArchiveException.h"

namespace dv {

CArchiveException::CArchiveException(Cause cause, uint64_t offset, const std::string& message)
    : std::runtime_error(message), m_cause(cause), m_offset(offset) {}

const char* CArchiveException::CauseName(Cause cause) noexcept {
    switch (cause) {
    case Cause::endOfFile:
        return "endOfFile";
    case Cause::badClass:
        return "badClass";
    case Cause::badSchema:
        return "badSchema";
    case Cause::badIndex:
        return "badIndex";
    case Cause::tooDeep:
        return "tooDeep";
    case Cause::badFormat:
        return "badFormat";
    }
    return "unknown";
}

} // namespace dv
