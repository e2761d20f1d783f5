// The synchronisation cycle's temporary files.

#include "document/TemporaryFile.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <random>
#include <system_error>

namespace dv {

TemporaryFile::TemporaryFile(std::string_view kind) {
    std::random_device random;
    std::mt19937_64 generator((static_cast<uint64_t>(random()) << 32) ^ random());
    const std::filesystem::path folder = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 16 && m_path.empty(); ++attempt) {
        std::array<char, 40> name{};
        std::snprintf(name.data(), name.size(), "dayvault-%016llx.%.8s",
                      static_cast<unsigned long long>(generator()), kind.data());
        const std::filesystem::path candidate = folder / name.data();
        // Exclusive creation: a name that exists belongs to someone else.
        if (std::FILE* file = std::fopen(candidate.string().c_str(), "wbx")) {
            std::fclose(file);
            m_path = candidate;
        }
    }
}

TemporaryFile::~TemporaryFile() {
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
}

} // namespace dv
