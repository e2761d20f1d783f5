#pragma once

// Random documents and comparisons for the event file, backup, merge and clipboard tests.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CTodoEntry.h"
#include "core/RecordBytes.h"
#include "document/DocumentContents.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace dv::test {

/// What random texts may contain.
enum class TextKind {
    anything,       ///< ASCII, Windows-1252 letters, characters outside it, escapes, "=" and "[]"
    windows1252,    ///< as anything, without characters outside Windows-1252
    backupRoundTrip ///< as anything, but never white space at the end (a backup line loses it)
};

inline std::string RandomText(std::mt19937& rng, TextKind kind = TextKind::anything,
                              int maxPieces = 6) {
    static const std::vector<std::string_view> kPieces = {
        "Meeting",          " ", "x", "42", "\\", "\n", "\r", "\t", "=", "[", "]", "\\n", "%d",
        "\xC3\xA9",         // é
        "\xE2\x82\xAC",     // € (Windows-1252 0x80)
        "\xC3\x9F",         // ß
        "\xCE\xA9",         // Ω, not in Windows-1252
        "\xF0\x9F\x93\x85", // a calendar emoji, outside the BMP
    };
    std::uniform_int_distribution<int> pieceCount(0, maxPieces);
    std::uniform_int_distribution<size_t> pick(0, kPieces.size() - 1);
    std::string text;
    const int count = pieceCount(rng);
    for (int i = 0; i < count; ++i) {
        const std::string_view piece = kPieces[pick(rng)];
        const bool outside1252 = piece == "\xCE\xA9" || piece == "\xF0\x9F\x93\x85";
        if (kind == TextKind::windows1252 && outside1252) {
            continue;
        }
        text += piece;
    }
    if (kind == TextKind::backupRoundTrip) {
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' ||
                                 text.back() == '\r')) {
            text.pop_back();
        }
        if (!text.empty() && text.front() == ' ') {
            text.insert(text.begin(), 'a'); // keeps the key's "=" directly before the value
        }
    }
    return text;
}

inline CDateTime RandomDateTime(std::mt19937& rng) {
    std::uniform_int_distribution<int32_t> day(CDateTime(1990, 1, 1).GetDayNumber(),
                                               CDateTime(2040, 12, 31).GetDayNumber());
    std::uniform_int_distribution<int32_t> second(0, 86399);
    return CDateTime::FromDayNumber(day(rng), second(rng));
}

inline int32_t RandomInt(std::mt19937& rng, int32_t low, int32_t high) {
    return std::uniform_int_distribution<int32_t>(low, high)(rng);
}

/// Random user data: every field drawn, codes mostly in range, sometimes not.
inline DateData RandomDateData(std::mt19937& rng, TextKind kind) {
    DateData d;
    d.StorageType = RandomInt(rng, 0, 1);
    d.Category = RandomText(rng, kind, 2);
    d.Description = RandomText(rng, kind);
    d.Notes = RandomText(rng, kind, 10);
    d.Display = RandomInt(rng, 0, 3);
    d.DisplayColor = static_cast<uint32_t>(RandomInt(rng, 0, 0xFFFFFF));
    d.FontColor = static_cast<uint32_t>(RandomInt(rng, 0, 0xFFFFFF));
    d.StartDate = RandomDateTime(rng);
    d.EndDate = d.StartDate + CDateTimeSpan(RandomInt(rng, 0, 5 * 86400));
    d.ShowStartTime = RandomInt(rng, 0, 1);
    d.ShowEnd = RandomInt(rng, 0, 1);
    d.Repeat = RandomInt(rng, 0, 2);
    d.RepeatRate = RandomInt(rng, 0, 12);
    d.RepeatUnit = RandomInt(rng, 1, 5);
    d.RepeatWeekdayCount = RandomInt(rng, 0, 5);
    d.RepeatWeekday = RandomInt(rng, 0, 6);
    d.RepeatEnd = RandomInt(rng, 0, 2);
    d.RepeatEndCount = RandomInt(rng, -3, 100);
    d.RepeatEndDate = RandomDateTime(rng);
    d.CondWeekdays = RandomInt(rng, 0, 0x7F);
    d.CondMonth = RandomInt(rng, 0, 0xFFF);
    d.Forewarn = RandomInt(rng, 0, 1);
    d.ForewarnSpan = RandomInt(rng, 0, 90);
    d.ForewarnUnit = RandomInt(rng, 0, 3);
    d.ForewarnSilent = RandomInt(rng, 0, 1);
    d.SnoozeSpan = RandomInt(rng, 0, 90);
    d.SnoozeUnit = RandomInt(rng, 0, 3);
    d.SnoozeType = RandomInt(rng, 0, 1);
    d.OverdueAction = RandomInt(rng, 0, 3);
    d.ExecuteSpan = RandomInt(rng, INT32_MIN, INT32_MAX);
    d.ExecuteUnit = RandomInt(rng, 0, 3);
    d.Action = RandomInt(rng, 0, 2);
    d.Sound = RandomInt(rng, 0, 1);
    d.SoundFile = RandomText(rng, kind, 3);
    d.SoundRepeatEndless = RandomInt(rng, 0, 1);
    d.SoundRepeatCount = RandomInt(rng, 0, 10);
    d.DocumentFile = RandomText(rng, kind, 3);
    d.AckOpen = RandomInt(rng, 0, 1);
    d.CmdLine = RandomText(rng, kind, 3);
    d.Parameter = RandomText(rng, kind, 3);
    d.AckExecute = RandomInt(rng, 0, 1);
    return d;
}

/// A random event, with a reminder state built through the record's own operations when
/// `withState` is set: due (from an evaluation), acknowledged, snoozed and dropped occurrences.
inline std::unique_ptr<CDateEntry> RandomEvent(std::mt19937& rng, TextKind kind, bool withState) {
    const CDateTime created = RandomDateTime(rng);
    auto event = std::make_unique<CDateEntry>(created);
    DateData data = RandomDateData(rng, kind);
    data.GUID = event->GetGUID();
    if (withState) {
        // Created before its start, then evaluated a few days later: the occurrences of those
        // days become due, as they would in a running program.
        event->UpdateReminders(data.StartDate - CDateTimeSpan(86400));
    }
    event->AssignData(data);
    if (withState) {
        event->UpdateReminders(data.StartDate + CDateTimeSpan(RandomInt(rng, 0, 3 * 86400)));
        const int stateCount = RandomInt(rng, 0, 4);
        for (int i = 0; i < stateCount; ++i) {
            const CDateTime occurrence = RandomDateTime(rng);
            switch (RandomInt(rng, 0, 2)) {
            case 0:
                event->DropOccurrence(occurrence);
                break;
            case 1:
                event->Snooze(occurrence, occurrence + CDateTimeSpan(600));
                break;
            default:
                event->SetDone(occurrence, true);
                break;
            }
        }
    }
    return event;
}

inline std::unique_ptr<CTodoEntry> RandomTodo(std::mt19937& rng, TextKind kind) {
    auto todo = std::make_unique<CTodoEntry>(RandomDateTime(rng));
    TodoData d = todo->GetData();
    d.StorageType = RandomInt(rng, 0, 1);
    d.Group = RandomText(rng, kind, 2);
    d.Description = RandomText(rng, kind);
    d.Notes = RandomText(rng, kind, 10);
    d.Deadline = RandomDateTime(rng);
    d.ShowDeadline = RandomInt(rng, 0, 1);
    d.ShowDeadlineTime = RandomInt(rng, 0, 1);
    d.Forewarn = RandomInt(rng, 0, 1);
    d.ForewarnSpan = RandomInt(rng, 0, 30);
    d.ForewarnUnit = RandomInt(rng, 0, 3);
    d.Priority = RandomInt(rng, 1, 10);
    d.AssociateDocumentFile = RandomInt(rng, 0, 1);
    d.DocumentFile = RandomText(rng, kind, 3);
    todo->SetData(d);
    todo->SetDone(RandomInt(rng, 0, 1) == 1);
    todo->SetCurrentTime(RandomDateTime(rng));
    return todo;
}

/// A document with up to the given numbers of entries (each count drawn from 0 up to it).
inline DocumentContents RandomDocument(std::mt19937& rng, int maxTemplates, int maxEvents,
                                       int maxTodos, TextKind kind = TextKind::anything) {
    DocumentContents contents;
    const int templates = RandomInt(rng, 0, maxTemplates);
    const int events = RandomInt(rng, 0, maxEvents);
    const int todos = RandomInt(rng, 0, maxTodos);
    for (int i = 0; i < templates; ++i) {
        contents.templates.push_back(RandomEvent(rng, kind, false));
    }
    for (int i = 0; i < events; ++i) {
        contents.events.push_back(RandomEvent(rng, kind, true));
    }
    for (int i = 0; i < todos; ++i) {
        contents.todos.push_back(RandomTodo(rng, kind));
    }
    return contents;
}

/// A deep copy, through the records' copy constructors.
inline DocumentContents CopyContents(const DocumentContents& source) {
    DocumentContents copy;
    for (const auto& entry : source.templates) {
        copy.templates.push_back(std::make_unique<CDateEntry>(*entry));
    }
    for (const auto& entry : source.events) {
        copy.events.push_back(std::make_unique<CDateEntry>(*entry));
    }
    for (const auto& entry : source.todos) {
        copy.todos.push_back(std::make_unique<CTodoEntry>(*entry));
    }
    copy.changeList = source.changeList;
    return copy;
}

/// Every record stored byte for byte the same (so every stored field and list is equal), in the
/// same order, and the same change list.
inline void ExpectSameContents(const DocumentContents& actual, const DocumentContents& expected) {
    const auto compareList = [](const auto& a, const auto& b, const char* what) {
        ASSERT_EQ(a.size(), b.size()) << what;
        for (size_t i = 0; i < a.size(); ++i) {
            EXPECT_EQ(ByteDifference(StoreObject(*a[i]), StoreObject(*b[i])), "")
                << what << " " << i;
        }
    };
    compareList(actual.templates, expected.templates, "template");
    compareList(actual.events, expected.events, "event");
    compareList(actual.todos, expected.todos, "to-do");
    EXPECT_EQ(actual.changeList, expected.changeList);
}

/// A fresh folder below the system's temporary folder, removed with everything in it at the end.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::random_device device;
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 16; ++attempt) {
            m_path = base / ("dayvault-test-" + std::to_string(device()));
            if (std::filesystem::create_directory(m_path)) {
                return;
            }
        }
        throw std::runtime_error("cannot create a temporary folder");
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / name; }

    /// The names of the files in the folder, sorted.
    std::vector<std::string> FileNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_path)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::filesystem::path m_path;
};

/// The whole file; empty when it is missing.
inline std::vector<uint8_t> ReadAllBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        return {};
    }
    std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

inline void WriteAllBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

} // namespace dv::test
