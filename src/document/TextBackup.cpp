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

// Where a backup's sections go: into a key file...
class KeyFileSink {
public:
    explicit KeyFileSink(CKeyFile& file) : m_file(file) {}
    void BeginSection(const std::string& name) { m_section = &m_file.GetOrAddSection(name); }
    void Put(std::string_view key, std::string value) {
        m_section->SetValue(key, std::move(value));
    }

private:
    CKeyFile& m_file;
    CKeyFile::Section* m_section = nullptr;
};

// ...or straight into the text of the file, laid out as CKeyFile::ToText lays it out. A backup
// sets every key once, so no key file is needed in between (a large one costs time and memory).
class TextSink {
public:
    explicit TextSink(std::string& text) : m_text(text) {}
    void BeginSection(const std::string& name) {
        if (!m_text.empty()) {
            m_text += "\r\n";
        }
        m_text += '[';
        m_text += name;
        m_text += "]\r\n";
    }
    void Put(std::string_view key, const std::string& value) {
        m_text += key;
        m_text += '=';
        m_text += value;
        m_text += "\r\n";
    }

private:
    std::string& m_text;
};

// Writes one section's keys in their kinds.
template <class Sink>
class SectionWriter {
public:
    explicit SectionWriter(Sink& sink) : m_sink(sink) {}

    void Text(const char* key, std::string_view value) { m_sink.Put(key, EscapeBackupText(value)); }
    void Int(const char* key, int32_t value) { m_sink.Put(key, std::to_string(value)); }
    void Colour(const char* key, uint32_t value) { m_sink.Put(key, FormatColour(value)); }
    void Date(const char* key, const CDateTime& value) { m_sink.Put(key, value.FormatFixed()); }
    void Dropped(const std::vector<CDateTime>& occurrences) {
        for (size_t i = 0; i < occurrences.size(); ++i) {
            m_sink.Put(kDroppedKeyFormat + std::to_string(i), occurrences[i].FormatFixed());
        }
    }

private:
    Sink& m_sink;
};

// Reads one section's keys over the defaults already in the fields.
class SectionReader {
public:
    explicit SectionReader(const CKeyFile::Section& section) : m_section(section) {}

    void Text(const char* key, std::string& field) const {
        if (const std::string* value = m_section.GetValue(key)) {
            field = UnescapeBackupText(*value);
        }
    }
    void Int(const char* key, int32_t& field) const {
        if (const std::string* value = m_section.GetValue(key); value && !value->empty()) {
            field = ParseDecimal(*value);
        }
    }
    void Colour(const char* key, uint32_t& field) const {
        if (const std::string* value = m_section.GetValue(key); value && !value->empty()) {
            field = ParseColour(*value);
        }
    }
    void Date(const char* key, CDateTime& field) const {
        if (const std::string* value = m_section.GetValue(key); value && !value->empty()) {
            field.Parse(*value); // an invalid date leaves the field as it was
        }
    }
    /// The dropped occurrences, up to the first missing or empty key.
    std::vector<CDateTime> Dropped() const {
        std::vector<CDateTime> occurrences;
        for (size_t i = 0;; ++i) {
            const std::string* value = m_section.GetValue(kDroppedKeyFormat + std::to_string(i));
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
    const CKeyFile::Section& m_section;
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

// Every section of a backup of `contents`, in list order.
template <class Sink>
void WriteBackup(const DocumentContents& contents, Sink& sink) {
    SectionWriter<Sink> writer(sink);
    const auto writeEvents = [&](const char* kind, const auto& list) {
        for (size_t i = 0; i < list.size(); ++i) {
            sink.BeginSection(SectionName(kind, i));
            EventKeys(writer, list[i]->GetData());
            writer.Dropped(list[i]->GetDroppedOccurrences());
        }
    };
    writeEvents("Template", contents.templates);
    writeEvents("DateEntry", contents.events);
    for (size_t i = 0; i < contents.todos.size(); ++i) {
        const CTodoEntry& todo = *contents.todos[i];
        sink.BeginSection(SectionName("TodoEntry", i));
        TodoKeys(writer, todo.GetData());
        writer.Int("Done", todo.IsDone() ? 1 : 0);
    }
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
    KeyFileSink sink(file);
    WriteBackup(contents, sink);
    return file;
}

DocumentContents RestoreTextBackup(const CKeyFile& file, const CDateTime& now) {
    DocumentContents contents;
    // Each list runs from number 0 to the first number without a section.
    for (size_t i = 0;; ++i) {
        const CKeyFile::Section* section = file.FindSection(SectionName("Template", i));
        if (section == nullptr) {
            break;
        }
        contents.templates.push_back(ReadTemplate(SectionReader(*section), now));
    }
    for (size_t i = 0;; ++i) {
        const CKeyFile::Section* section = file.FindSection(SectionName("DateEntry", i));
        if (section == nullptr) {
            break;
        }
        contents.events.push_back(ReadEvent(SectionReader(*section), now));
    }
    for (size_t i = 0;; ++i) {
        const CKeyFile::Section* section = file.FindSection(SectionName("TodoEntry", i));
        if (section == nullptr) {
            break;
        }
        contents.todos.push_back(ReadTodo(SectionReader(*section), now));
    }
    return contents;
}

// ---- Bytes and files ----------------------------------------------------------------------------

std::string WriteTextBackupBytes(const DocumentContents& contents) {
    std::string text;
    TextSink sink(text);
    WriteBackup(contents, sink);
    return CKeyFile::EncodeText(text);
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
