// The synchronisation cycle's temporary files.

#include "document/TemporaryFile.h"

#include <string>
#include <system_error>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dv {

TemporaryFile::TemporaryFile(std::string_view kind) {
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) {
        return;
    }
    // mkdtemp creates the folder exclusively with mode 0700, whatever the umask.
    std::string folder = (base / "dayvault-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        return;
    }
    m_folder = folder;
    const std::filesystem::path file = m_folder / std::string(kind.substr(0, 8));
    const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                  S_IRUSR | S_IWUSR);
    if (descriptor < 0) {
        return;
    }
    // The umask can only take bits away, never add them; this keeps the mode exact.
    const bool privateMode = ::fchmod(descriptor, S_IRUSR | S_IWUSR) == 0;
    ::close(descriptor);
    if (privateMode) {
        m_path = file;
    }
}

TemporaryFile::~TemporaryFile() {
    if (!m_folder.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }
}

} // namespace dv
