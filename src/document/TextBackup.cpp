#include "document/TextBackup.h"

#include "core/ByteStream.h"
#include "core/CDateEntry.h"
#include "core/CFileException.h"
#include "core/CTodoEntry.h"
#include "document/EventFile.h"

#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace dv {

namespace {

// ---- file-local helpers -------------------------------------------------------------------------

constexpr char kDroppedKeyFormat[] = "DroppedOccurence "; // spelled as the format has it

std::string SectionName(const char* kind, size_t number) {
    return std::string(kind) + " " + std::to_string(number);
}

// Reads a decimal integer as the C library's atoi does (leading white space, a sign, the leading
// digits; 0 when there are none), but saturating at the int32 range instead of overflowing.
int32_t ParseDecimal(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int64_t value = 0;
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(value * 10 + (text[i] - '0'), kLimit);
    }
    if (negative) {
        return static_cast<int32_t>(-value);
    }
    return static_cast<int32_t>(std::min(value, kLimit - 1));
}

std::string FormatColour(uint32_t colour) {
    // 0x00BBGGRR, written as red, green, blue.
    return std::to_string(colour & 0xFF) + "," + std::to_string((colour >> 8) & 0xFF) + "," +
           std::to_string((colour >> 16) & 0xFF);
}

// "r,g,b" back to 0x00BBGGRR; a missing number counts 0 and each keeps its low byte, as the
// colour macro that combines them does.
uint32_t ParseColour(std::string_view text) {
    uint32_t parts[3] = {0, 0, 0};
    for (uint32_t& part : parts) {
        const size_t comma = text.find(',');
        part = static_cast<uint32_t>(ParseDecimal(text.substr(0, comma))) & 0xFF;
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    return parts[0] | (parts[1] << 8) | (parts[2] << 16);
}

// Writes one section's keys.
class SectionWriter {
public:
    SectionWriter(CKeyFile& file, std::string section)
        : m_file(file), m_section(std::move(section)) {}

    void Text(const char* key, std::string_view value) {
        m_file.SetValue(m_section, key, EscapeBackupText(value));
    }
    void Int(const char* key, int32_t value) {
        m_file.SetValue(m_section, key, std::to_string(value));
    }
    void Colour(const char* key, uint32_t value) {
        m_file.SetValue(m_section, key, FormatColour(value));
    }
    void Date(const char* key, const CDateTime& value) {
        m_file.SetValue(m_section, key, value.FormatFixed());
    }
    void Dropped(const std::vector<CDateTime>& occurrences) {
        for (size_t i = 0; i < occurrences.size(); ++i) {
            Date((kDroppedKeyFormat + std::to_string(i)).c_str(), occurrences[i]);
        }
    }

private:
    CKeyFile& m_file;
    std::string m_section;
};

// Reads one section's keys over the defaults already in the fields.
class SectionReader {
public:
    SectionReader(const CKeyFile& file, std::string section)
        : m_file(file), m_section(std::move(section)) {}

    void Text(const char* key, std::string& field) const {
        if (const std::string* value = m_file.GetValue(m_section, key)) {
            field = UnescapeBackupText(*value);
        }
    }
    void Int(const char* key, int32_t& field) const {
        if (const std::string* value = m_file.GetValue(m_section, key); value && !value->empty()) {
            field = ParseDecimal(*value);
        }
    }
    void Colour(const char* key, uint32_t& field) const {
        if (const std::string* value = m_file.GetValue(m_section, key); value && !value->empty()) {
            field = ParseColour(*value);
        }
    }
    void Date(const char* key, CDateTime& field) const {
        if (const std::string* value = m_file.GetValue(m_section, key); value && !value->empty()) {
            field.Parse(*value); // an invalid date leaves the field as it was
        }
    }
    /// The dropped occurrences, up to the first missing or empty key.
    std::vector<CDateTime> Dropped() const {
        std::vector<CDateTime> occurrences;
        for (size_t i = 0;; ++i) {
            const std::string* value =
                m_file.GetValue(m_section, kDroppedKeyFormat + std::to_string(i));
            if (value == nullptr || value->empty()) {
                return occurrences;
            }
            CDateTime occurrence;
            if (occurrence.Parse(*value)) {
                occurrences.push_back(occurrence);
            }
        }
    }

private:
    const CKeyFile& m_file;
    std::string m_section;
};

// The keys of an event or template, in the order the format lists them. One function serves
// writing and reading, so that the two cannot disagree on a key or its kind.
template <class Access, class Data>
void EventKeys(Access& a, Data& d) {
    a.Text("GUID", d.GUID);
    a.Int("StorageType", d.StorageType);
    a.Text("Category", d.Category);
    a.Text("Description", d.Description);
    a.Text("Notes", d.Notes);
    a.Int("Display", d.Display);
    a.Colour("DisplayColor", d.DisplayColor);
    a.Colour("FontColor", d.FontColor);
    a.Date("StartDate", d.StartDate);
    a.Date("EndDate", d.EndDate);
    a.Int("ShowStartTime", d.ShowStartTime);
    a.Int("ShowEnd", d.ShowEnd);
    a.Int("Repeat", d.Repeat);
    a.Int("RepeatRate", d.RepeatRate);
    a.Int("RepeatUnit", d.RepeatUnit);
    a.Int("RepeatWeekdayCount", d.RepeatWeekdayCount);
    a.Int("RepeatWeekday", d.RepeatWeekday);
    a.Int("RepeatEnd", d.RepeatEnd);
    a.Int("RepeatEndCount", d.RepeatEndCount);
    a.Date("RepeatEndDate", d.RepeatEndDate);
    a.Int("CondWeekdays", d.CondWeekdays);
    a.Int("CondMonth", d.CondMonth);
    a.Int("Forewarn", d.Forewarn);
    a.Int("ForewarnSpan", d.ForewarnSpan);
    a.Int("ForewarnUnit", d.ForewarnUnit);
    a.Int("ForewarnSilent", d.ForewarnSilent);
    a.Int("SnoozeSpan", d.SnoozeSpan);
    a.Int("SnoozeUnit", d.SnoozeUnit);
    a.Int("SnoozeType", d.SnoozeType);
    a.Int("OverdueAction", d.OverdueAction);
    a.Int("ExecuteSpan", d.ExecuteSpan);
    a.Int("ExecuteUnit", d.ExecuteUnit);
    a.Int("Action", d.Action);
    a.Int("Sound", d.Sound);
    a.Text("SoundFile", d.SoundFile);
    a.Int("SoundRepeatEndless", d.SoundRepeatEndless);
    a.Int("SoundRepeatCount", d.SoundRepeatCount);
    a.Text("DocumentFile", d.DocumentFile);
    a.Int("AckOpen", d.AckOpen);
    a.Text("CmdLine", d.CmdLine);
    a.Text("Parameter", d.Parameter);
    a.Int("AckExecute", d.AckExecute);
}

// The keys of a to-do but Done, which lies outside its data.
template <class Access, class Data>
void TodoKeys(Access& a, Data& d) {
    a.Text("GUID", d.GUID);
    a.Int("StorageType", d.StorageType);
    a.Text("Group", d.Group);
    a.Text("Description", d.Description);
    a.Text("Notes", d.Notes);
    a.Date("Deadline", d.Deadline);
    a.Int("ShowDeadline", d.ShowDeadline);
    a.Int("ShowDeadlineTime", d.ShowDeadlineTime);
    a.Int("Forewarn", d.Forewarn);
    a.Int("ForewarnSpan", d.ForewarnSpan);
    a.Int("ForewarnUnit", d.ForewarnUnit);
    a.Int("Priority", d.Priority);
    a.Int("AssociateDocumentFile", d.AssociateDocumentFile);
    a.Text("DocumentFile", d.DocumentFile);
}

// Writing passes the data as const; these overloads take the fields by value.
class ConstSectionWriter {
public:
    explicit ConstSectionWriter(SectionWriter& writer) : m_writer(writer) {}
    void Text(const char* key, const std::string& value) { m_writer.Text(key, value); }
    void Int(const char* key, int32_t value) { m_writer.Int(key, value); }
    void Colour(const char* key, uint32_t value) { m_writer.Colour(key, value); }
    void Date(const char* key, const CDateTime& value) { m_writer.Date(key, value); }

private:
    SectionWriter& m_writer;
};

void WriteEventSection(CKeyFile& file, std::string section, const CDateEntry& entry) {
    SectionWriter writer(file, std::move(section));
    ConstSectionWriter access(writer);
    EventKeys(access, entry.GetData());
    writer.Dropped(entry.GetDroppedOccurrences());
}

// A GUID key that is present but empty would give the entry no identity; it keeps the new one.
void KeepGuidWhenEmpty(std::string& guid, const std::string& fresh) {
    if (guid.empty()) {
        guid = fresh;
    }
}

std::unique_ptr<CDateEntry> ReadTemplate(const SectionReader& reader, const CDateTime& now) {
    auto entry = std::make_unique<CDateEntry>(now);
    DateData data = entry->GetData();
    EventKeys(reader, data);
    KeepGuidWhenEmpty(data.GUID, entry->GetGUID());
    entry->AssignData(data);
    for (const CDateTime& occurrence : reader.Dropped()) {
        entry->DropOccurrence(occurrence);
    }
    return entry;
}

std::unique_ptr<CDateEntry> ReadEvent(const SectionReader& reader, const CDateTime& now) {
    // Created as a new event is: evaluated at `now` with its default data first, so that its
    // reminders count from `now`, then given the data read.
    auto entry = std::make_unique<CDateEntry>(now);
    DateData data = entry->GetData();
    EventKeys(reader, data);
    KeepGuidWhenEmpty(data.GUID, entry->GetGUID());
    entry->UpdateReminders(now);
    entry->SetData(data, now);
    for (const CDateTime& occurrence : reader.Dropped()) {
        entry->DropOccurrence(occurrence);
    }
    return entry;
}

std::unique_ptr<CTodoEntry> ReadTodo(const SectionReader& reader, const CDateTime& now) {
    auto entry = std::make_unique<CTodoEntry>(now);
    TodoData data = entry->GetData();
    TodoKeys(reader, data);
    KeepGuidWhenEmpty(data.GUID, entry->GetGUID());
    entry->SetData(data);
    int32_t done = entry->IsDone() ? 1 : 0;
    reader.Int("Done", done);
    entry->SetDone(done != 0);
    entry->SetCurrentTime(now);
    return entry;
}

} // namespace

// ---- Escapes ------------------------------------------------------------------------------------

std::string EscapeBackupText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            escaped += c;
            break;
        }
    }
    return escaped;
}

std::string UnescapeBackupText(std::string_view text) {
    std::string plain;
    plain.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            plain += text[i];
            continue;
        }
        if (++i == text.size()) {
            break; // a lone backslash at the end
        }
        switch (text[i]) {
        case '\\':
            plain += '\\';
            break;
        case 'n':
            plain += '\n';
            break;
        case 'r':
            plain += '\r';
            break;
        case 't':
            plain += '\t';
            break;
        default:
            break; // an unknown escape drops both characters
        }
    }
    return plain;
}

// ---- Key file -----------------------------------------------------------------------------------

CKeyFile BuildTextBackup(const DocumentContents& contents) {
    CKeyFile file;
    for (size_t i = 0; i < contents.templates.size(); ++i) {
        WriteEventSection(file, SectionName("Template", i), *contents.templates[i]);
    }
    for (size_t i = 0; i < contents.events.size(); ++i) {
        WriteEventSection(file, SectionName("DateEntry", i), *contents.events[i]);
    }
    for (size_t i = 0; i < contents.todos.size(); ++i) {
        const CTodoEntry& todo = *contents.todos[i];
        SectionWriter writer(file, SectionName("TodoEntry", i));
        ConstSectionWriter access(writer);
        TodoKeys(access, todo.GetData());
        writer.Int("Done", todo.IsDone() ? 1 : 0);
    }
    return file;
}

DocumentContents RestoreTextBackup(const CKeyFile& file, const CDateTime& now) {
    DocumentContents contents;
    for (size_t i = 0; file.HasSection(SectionName("Template", i)); ++i) {
        contents.templates.push_back(
            ReadTemplate(SectionReader(file, SectionName("Template", i)), now));
    }
    for (size_t i = 0; file.HasSection(SectionName("DateEntry", i)); ++i) {
        contents.events.push_back(ReadEvent(SectionReader(file, SectionName("DateEntry", i)), now));
    }
    for (size_t i = 0; file.HasSection(SectionName("TodoEntry", i)); ++i) {
        contents.todos.push_back(ReadTodo(SectionReader(file, SectionName("TodoEntry", i)), now));
    }
    return contents;
}

// ---- Bytes and files ----------------------------------------------------------------------------

std::string WriteTextBackupBytes(const DocumentContents& contents) {
    return BuildTextBackup(contents).ToBytes();
}

DocumentContents ReadTextBackupBytes(std::string_view bytes, const CDateTime& now) {
    return RestoreTextBackup(CKeyFile::FromBytes(bytes), now);
}

void WriteTextBackup(const std::filesystem::path& path, const DocumentContents& contents) {
    const std::string bytes = WriteTextBackupBytes(contents);
    RemoveStaleTemporaryFiles(path);
    CAtomicFileSink sink(path);
    sink.Write({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
    sink.Commit();
}

DocumentContents ReadTextBackup(const std::filesystem::path& path, const CDateTime& now) {
    CFileSource source(path);
    std::string bytes;
    // The size is taken at opening; a file that shrinks meanwhile just ends early.
    bytes.resize(static_cast<size_t>(source.GetRemaining()));
    size_t filled = 0;
    while (filled < bytes.size()) {
        const size_t count =
            source.Read({reinterpret_cast<uint8_t*>(bytes.data()) + filled, bytes.size() - filled});
        if (count == 0) {
            break;
        }
        filled += count;
    }
    bytes.resize(filled);
    return ReadTextBackupBytes(bytes, now);
}

} // namespace dv
