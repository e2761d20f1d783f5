#include "ical/UidStore.h"

#include "core/ByteStream.h"
#include "core/CFileException.h"
#include "document/EventFile.h"

#include <cerrno>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

namespace dv::ical {

namespace {

constexpr std::string_view kHeader = "DAYVAULT-UIDS 1";

std::string Escape(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) {
            throw std::invalid_argument("a line ends in a lone backslash");
        }
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            throw std::invalid_argument("an unknown escape");
        }
    }
    return out;
}

} // namespace

std::filesystem::path UidStore::PathFor(const std::filesystem::path& eventFile) {
    return SidePath(eventFile, ".uids");
}

std::string UidStore::ToText() const {
    std::string text(kHeader);
    text += '\n';
    for (const auto& [guid, uid] : m_uids) {
        text += guid + '\t' + Escape(uid) + '\n';
    }
    return text;
}

UidStore UidStore::FromText(std::string_view text) {
    UidStore store;
    size_t at = text.find('\n');
    if (text.substr(0, at) != kHeader) {
        throw std::invalid_argument("not a UID list");
    }
    while (at != std::string_view::npos && at + 1 < text.size()) {
        const size_t begin = at + 1;
        at = text.find('\n', begin);
        const std::string_view line =
            text.substr(begin, at == std::string_view::npos ? std::string_view::npos : at - begin);
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos || tab == 0) {
            throw std::invalid_argument("a line without GUID and UID");
        }
        store.m_uids[std::string(line.substr(0, tab))] = Unescape(line.substr(tab + 1));
    }
    return store;
}

UidStore UidStore::Load(const std::filesystem::path& eventFile) {
    const auto path = PathFor(eventFile);
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw CFileException::FromErrno(path, "cannot open for reading", errno);
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) {
        throw CFileException(path, "cannot read");
    }
    try {
        return FromText(text.str());
    } catch (const std::invalid_argument& e) {
        throw CFileException(path, std::string("not a list of UIDs: ") + e.what());
    }
}

void UidStore::Save(const std::filesystem::path& eventFile) const {
    const auto path = PathFor(eventFile);
    if (m_uids.empty()) {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
        return;
    }
    const std::string text = ToText();
    CAtomicFileSink sink(path);
    sink.Write(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    sink.Commit();
}

std::string UidStore::UidFor(const std::string& guid) const {
    const auto it = m_uids.find(guid);
    return it != m_uids.end() ? it->second : guid;
}

void UidStore::Set(const std::string& guid, const std::string& uid) {
    if (uid.empty() || uid == guid) {
        m_uids.erase(guid);
    } else {
        m_uids[guid] = uid;
    }
}

void UidStore::Prune(const DocumentContents& contents) {
    std::set<std::string> guids;
    for (const auto& event : contents.events) {
        guids.insert(event->GetGUID());
    }
    for (const auto& todo : contents.todos) {
        guids.insert(todo->GetGUID());
    }
    std::erase_if(m_uids, [&](const auto& entry) { return guids.count(entry.first) == 0; });
}

void SaveWithUids(const std::filesystem::path& eventFile, const DocumentContents& contents,
                  const UidStore& uids) {
    UidStore kept = uids;
    kept.Prune(contents);
    kept.Save(eventFile);
    WriteEventFile(eventFile, contents);
}

} // namespace dv::ical
