#include "document/Merge.h"

#include "document/EventFile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <utility>

namespace dv {

namespace {

// ---- file-local helpers -------------------------------------------------------------------------

// An entry's second identity: its description and a date-time (events: StartDate, to-dos:
// Deadline), compared exactly.
struct DescriptionAndDate {
    std::string description;
    int32_t dayNumber = 0;
    int32_t seconds = 0;

    DescriptionAndDate(const std::string& text, const CDateTime& date)
        : description(text), dayNumber(date.GetDayNumber()), seconds(date.GetSecondsOfDay()) {}

    friend bool operator==(const DescriptionAndDate&, const DescriptionAndDate&) = default;
};

struct DescriptionAndDateHash {
    size_t operator()(const DescriptionAndDate& key) const noexcept {
        const uint64_t date = (static_cast<uint64_t>(static_cast<uint32_t>(key.dayNumber)) << 32) |
                              static_cast<uint32_t>(key.seconds);
        return std::hash<std::string>()(key.description) ^ (std::hash<uint64_t>()(date) * 31);
    }
};

// The identities of the entries of one list that a merge compares against; grows as entries are
// appended, so that later duplicates in the merged file are caught too.
class KnownEntries {
public:
    void Add(const std::string& guid, const std::string& description, const CDateTime& date) {
        m_guids.insert(guid);
        m_descriptions.emplace(description, date);
    }
    bool Contains(const std::string& guid, const std::string& description,
                  const CDateTime& date) const {
        return m_guids.contains(guid) || m_descriptions.contains({description, date});
    }

private:
    std::unordered_set<std::string> m_guids;
    std::unordered_set<DescriptionAndDate, DescriptionAndDateHash> m_descriptions;
};

// The change list with a set beside it, so that merging many shared entries stays linear.
class ChangeList {
public:
    explicit ChangeList(std::vector<std::string>& list)
        : m_list(list), m_listed(list.begin(), list.end()) {}

    void Add(const std::string& guid) {
        if (m_listed.insert(guid).second) {
            m_list.push_back(guid);
        }
    }

private:
    std::vector<std::string>& m_list;
    std::unordered_set<std::string> m_listed;
};

} // namespace

MergeResult MergeContents(DocumentContents& target, DocumentContents&& other) {
    MergeResult result;
    ChangeList changeList(target.changeList);

    std::unordered_set<std::string> categories;
    for (const auto& entry : target.templates) {
        categories.insert(entry->GetData().Category);
    }
    for (auto& entry : other.templates) {
        if (categories.insert(entry->GetData().Category).second) {
            target.templates.push_back(std::move(entry));
            ++result.templatesAdded;
        }
    }

    KnownEntries events;
    for (const auto& entry : target.events) {
        events.Add(entry->GetGUID(), entry->GetData().Description, entry->GetData().StartDate);
    }
    for (auto& entry : other.events) {
        const DateData& data = entry->GetData();
        if (events.Contains(data.GUID, data.Description, data.StartDate)) {
            continue;
        }
        events.Add(data.GUID, data.Description, data.StartDate);
        if (data.StorageType == 1) {
            changeList.Add(data.GUID);
        }
        target.events.push_back(std::move(entry));
        ++result.eventsAdded;
    }

    KnownEntries todos;
    for (const auto& entry : target.todos) {
        todos.Add(entry->GetGUID(), entry->GetData().Description, entry->GetData().Deadline);
    }
    for (auto& entry : other.todos) {
        const TodoData& data = entry->GetData();
        if (todos.Contains(data.GUID, data.Description, data.Deadline)) {
            continue;
        }
        todos.Add(data.GUID, data.Description, data.Deadline);
        if (data.StorageType == 1) {
            changeList.Add(data.GUID);
        }
        result.urgentTodoAdded = result.urgentTodoAdded || entry->IsUrgent();
        target.todos.push_back(std::move(entry));
        ++result.todosAdded;
    }

    // The entries not taken are discarded; the lists hold no moved-from slots afterwards.
    other.templates.clear();
    other.events.clear();
    other.todos.clear();
    return result;
}

MergeResult MergeEventFile(DocumentContents& target, const std::filesystem::path& path) {
    // Reading everything first is safer than merging while reading: a damaged file adds nothing
    // instead of the entries in front of the damage.
    DocumentContents other = ReadEventFile(path, EventFileParts::entriesOnly);
    return MergeContents(target, std::move(other));
}

} // namespace dv
