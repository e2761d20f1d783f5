#pragma once

// Random documents and comparisons for the event file, backup, merge and clipboard tests.

#include "core/CDateEntry.h"
#include "core/CDateTime.h"
#include "core/CTodoEntry.h"
#include "document/DocumentContents.h"
#include "support/ArchiveBytes.h"
#include "support/Files.h"
#include "support/Random.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
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

inline std::string RandomText(Random& rng, TextKind kind = TextKind::anything, int maxPieces = 6) {
    static const std::vector<std::string_view> kPieces = {
        "Meeting",          " ", "x", "42", "\\", "\n", "\r", "\t", "=", "[", "]", "\\n", "%d",
        "\xC3\xA9",         // é
        "\xE2\x82\xAC",     // € (Windows-1252 0x80)
        "\xC3\x9F",         // ß
        "\xCE\xA9",         // Ω, not in Windows-1252
        "\xF0\x9F\x93\x85", // a calendar emoji, outside the BMP
    };
    std::string text;
    const int count = rng.Int(0, maxPieces);
    for (int i = 0; i < count; ++i) {
        const std::string_view piece = rng.Pick(kPieces);
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

inline CDateTime RandomDateTime(Random& rng) {
    return rng.DateTime(CDateTime(1990, 1, 1), CDateTime(2040, 12, 31, 23, 59, 59));
}

/// Random user data: every field drawn, codes mostly in range, sometimes not.
inline DateData RandomDateData(Random& rng, TextKind kind) {
    DateData d;
    d.StorageType = rng.Int(0, 1);
    d.Category = RandomText(rng, kind, 2);
    d.Description = RandomText(rng, kind);
    d.Notes = RandomText(rng, kind, 10);
    d.Display = rng.Int(0, 3);
    d.DisplayColor = static_cast<uint32_t>(rng.Int(0, 0xFFFFFF));
    d.FontColor = static_cast<uint32_t>(rng.Int(0, 0xFFFFFF));
    d.StartDate = RandomDateTime(rng);
    d.EndDate = d.StartDate + CDateTimeSpan(rng.Int(0, 5 * 86400));
    d.ShowStartTime = rng.Int(0, 1);
    d.ShowEnd = rng.Int(0, 1);
    d.Repeat = rng.Int(0, 2);
    d.RepeatRate = rng.Int(0, 12);
    d.RepeatUnit = rng.Int(1, 5);
    d.RepeatWeekdayCount = rng.Int(0, 5);
    d.RepeatWeekday = rng.Int(0, 6);
    d.RepeatEnd = rng.Int(0, 2);
    d.RepeatEndCount = rng.Int(-3, 100);
    d.RepeatEndDate = RandomDateTime(rng);
    d.CondWeekdays = rng.Int(0, 0x7F);
    d.CondMonth = rng.Int(0, 0xFFF);
    d.Forewarn = rng.Int(0, 1);
    d.ForewarnSpan = rng.Int(0, 90);
    d.ForewarnUnit = rng.Int(0, 3);
    d.ForewarnSilent = rng.Int(0, 1);
    d.SnoozeSpan = rng.Int(0, 90);
    d.SnoozeUnit = rng.Int(0, 3);
    d.SnoozeType = rng.Int(0, 1);
    d.OverdueAction = rng.Int(0, 3);
    d.ExecuteSpan = rng.Int(INT32_MIN, INT32_MAX);
    d.ExecuteUnit = rng.Int(0, 3);
    d.Action = rng.Int(0, 2);
    d.Sound = rng.Int(0, 1);
    d.SoundFile = RandomText(rng, kind, 3);
    d.SoundRepeatEndless = rng.Int(0, 1);
    d.SoundRepeatCount = rng.Int(0, 10);
    d.DocumentFile = RandomText(rng, kind, 3);
    d.AckOpen = rng.Int(0, 1);
    d.CmdLine = RandomText(rng, kind, 3);
    d.Parameter = RandomText(rng, kind, 3);
    d.AckExecute = rng.Int(0, 1);
    return d;
}

/// A random event, with a reminder state built through the record's own operations when
/// `withState` is set: due (from an evaluation), acknowledged, snoozed and dropped occurrences.
inline std::unique_ptr<CDateEntry> RandomEvent(Random& rng, TextKind kind, bool withState) {
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
        event->UpdateReminders(data.StartDate + CDateTimeSpan(rng.Int(0, 3 * 86400)));
        const int stateCount = rng.Int(0, 4);
        for (int i = 0; i < stateCount; ++i) {
            const CDateTime occurrence = RandomDateTime(rng);
            switch (rng.Int(0, 2)) {
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

inline std::unique_ptr<CTodoEntry> RandomTodo(Random& rng, TextKind kind) {
    auto todo = std::make_unique<CTodoEntry>(RandomDateTime(rng));
    TodoData d = todo->GetData();
    d.StorageType = rng.Int(0, 1);
    d.Group = RandomText(rng, kind, 2);
    d.Description = RandomText(rng, kind);
    d.Notes = RandomText(rng, kind, 10);
    d.Deadline = RandomDateTime(rng);
    d.ShowDeadline = rng.Int(0, 1);
    d.ShowDeadlineTime = rng.Int(0, 1);
    d.Forewarn = rng.Int(0, 1);
    d.ForewarnSpan = rng.Int(0, 30);
    d.ForewarnUnit = rng.Int(0, 3);
    d.Priority = rng.Int(1, 10);
    d.AssociateDocumentFile = rng.Int(0, 1);
    d.DocumentFile = RandomText(rng, kind, 3);
    todo->SetData(d);
    todo->SetDone(rng.Int(0, 1) == 1);
    todo->SetCurrentTime(RandomDateTime(rng));
    return todo;
}

/// A document with up to the given numbers of entries (each count drawn from 0 up to it).
inline DocumentContents RandomDocument(Random& rng, int maxTemplates, int maxEvents, int maxTodos,
                                       TextKind kind = TextKind::anything) {
    DocumentContents contents;
    const int templates = rng.Int(0, maxTemplates);
    const int events = rng.Int(0, maxEvents);
    const int todos = rng.Int(0, maxTodos);
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

} // namespace dv::test
