#include "support/Files.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

namespace dv::test {

namespace fs = std::filesystem;

TemporaryFolder::TemporaryFolder(std::string_view label) {
    // The random part keeps parallel test programs apart; an existing folder is never reused.
    std::random_device device;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 16; ++attempt) {
        m_path = base / ("dayvault-" + std::string(label) + "-" + std::to_string(device()) +
                         std::to_string(device()));
        if (fs::create_directory(m_path)) {
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder in " + base.string());
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::vector<std::string> TemporaryFolder::FileNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> ReadFileBytes(const fs::path& path) {
    const std::string text = ReadFile(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

void WriteFile(const fs::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

void WriteFileBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    WriteFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

} // namespace dv::test
