#include "core/CFileException.h"

#include <system_error>
#include <utility>

namespace dv {

CFileException::CFileException(std::filesystem::path path, std::string reason)
    : std::runtime_error(path.string() + ": " + reason), m_path(std::move(path)),
      m_reason(std::move(reason)) {}

CFileException CFileException::FromErrno(std::filesystem::path path, const std::string& action,
                                         int errorNumber) {
    // The generic category gives strerror's text without strerror's shared buffer.
    std::string reason = action;
    if (errorNumber != 0) {
        reason += ": " + std::generic_category().message(errorNumber);
    }
    return CFileException(std::move(path), std::move(reason));
}

} // namespace dv
