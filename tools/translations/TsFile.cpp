#include "TsFile.h"

#include <QFile>
#include <QString>
#include <QXmlStreamReader>
#include <algorithm>
#include <charconv>
#include <fstream>
#include <map>
#include <stdexcept>
#include <system_error>

namespace dv::ts {

namespace {

std::runtime_error Failure(const std::filesystem::path& path, const std::string& what) {
    return std::runtime_error(path.string() + ": " + what);
}

// Text as Qt Linguist writes it: markup characters as entities, and the control characters
// that an XML reader would otherwise change (a CR becomes LF) as character references.
std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '\n':
            out += '\n';
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out += "&#" + std::to_string(static_cast<int>(c)) + ";";
            } else {
                out += c;
            }
        }
    }
    return out;
}

TsMessage ReadMessage(QXmlStreamReader& xml, const std::filesystem::path& path) {
    TsMessage message;
    bool numbered = false;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == QLatin1String("source")) {
            message.source = xml.readElementText().toStdString();
        } else if (name == QLatin1String("oldsource")) {
            message.oldSource = xml.readElementText().toStdString();
        } else if (name == QLatin1String("comment")) {
            const std::string text = xml.readElementText().toStdString();
            const auto [end, error] =
                std::from_chars(text.data(), text.data() + text.size(), message.id);
            numbered = error == std::errc() && end == text.data() + text.size();
        } else if (name == QLatin1String("translation")) {
            const auto type = xml.attributes().value(QLatin1String("type"));
            message.state =
                type == QLatin1String("unfinished") ? TsMessage::State::Unfinished
                : (type == QLatin1String("obsolete") || type == QLatin1String("vanished"))
                    ? TsMessage::State::Obsolete
                    : TsMessage::State::Finished;
            message.translation = xml.readElementText().toStdString();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (!numbered) {
        throw Failure(path, "a message without its string number, at line " +
                                std::to_string(xml.lineNumber()));
    }
    return message;
}

} // namespace

const TsMessage* TsFile::Find(uint32_t id) const {
    const auto it = std::lower_bound(messages.begin(), messages.end(), id,
                                     [](const TsMessage& m, uint32_t v) { return m.id < v; });
    return it != messages.end() && it->id == id ? &*it : nullptr;
}

TsFile ReadTs(const std::filesystem::path& path) {
    QFile device(QString::fromStdString(path.string()));
    if (!device.open(QIODevice::ReadOnly)) {
        throw Failure(path, "cannot be read: " + device.errorString().toStdString());
    }
    TsFile file;
    QXmlStreamReader xml(&device);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("TS")) {
        throw Failure(path, "is not a Qt Linguist file");
    }
    file.language = xml.attributes().value(QLatin1String("language")).toString().toStdString();
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("context")) {
            xml.skipCurrentElement();
            continue;
        }
        std::string context;
        std::vector<TsMessage> messages;
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("name")) {
                context = xml.readElementText().toStdString();
            } else if (xml.name() == QLatin1String("message")) {
                messages.push_back(ReadMessage(xml, path));
            } else {
                xml.skipCurrentElement();
            }
        }
        if (context == kContext) {
            file.messages.insert(file.messages.end(), messages.begin(), messages.end());
        }
    }
    if (xml.hasError()) {
        throw Failure(path, "line " + std::to_string(xml.lineNumber()) + ": " +
                                xml.errorString().toStdString());
    }
    std::stable_sort(file.messages.begin(), file.messages.end(),
                     [](const TsMessage& a, const TsMessage& b) { return a.id < b.id; });
    const auto twice =
        std::adjacent_find(file.messages.begin(), file.messages.end(),
                           [](const TsMessage& a, const TsMessage& b) { return a.id == b.id; });
    if (twice != file.messages.end()) {
        throw Failure(path, "string " + std::to_string(twice->id) + " appears twice");
    }
    return file;
}

TsFile UpdateTs(const TsFile& existing, const std::vector<TableString>& table) {
    TsFile updated;
    updated.language = existing.language;
    std::map<uint32_t, TsMessage> byId;
    for (const TableString& string : table) {
        TsMessage message;
        message.id = string.id;
        message.source = std::string(string.english);
        if (const TsMessage* old = existing.Find(string.id)) {
            message.translation = old->translation;
            if (old->source == message.source) {
                message.oldSource = old->oldSource;
                message.state = old->state == TsMessage::State::Obsolete
                                    ? (old->translation.empty() ? TsMessage::State::Unfinished
                                                                : TsMessage::State::Finished)
                                    : old->state;
            } else {
                // The translator sees what the old translation was made for.
                message.oldSource = old->oldSource.empty() ? old->source : old->oldSource;
                message.state = TsMessage::State::Unfinished;
            }
        }
        byId[message.id] = std::move(message);
    }
    for (const TsMessage& old : existing.messages) {
        if (!byId.contains(old.id)) {
            TsMessage gone = old;
            gone.state = TsMessage::State::Obsolete;
            byId[gone.id] = std::move(gone);
        }
    }
    for (auto& [id, message] : byId) {
        updated.messages.push_back(std::move(message));
    }
    return updated;
}

std::string FormatTs(const TsFile& file) {
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE TS>\n";
    out += "<TS version=\"2.1\" language=\"" + Escape(file.language) + "\">\n";
    out += "<context>\n    <name>" + Escape(kContext) + "</name>\n";
    for (const TsMessage& message : file.messages) {
        out += "    <message>\n";
        out += "        <source>" + Escape(message.source) + "</source>\n";
        if (!message.oldSource.empty()) {
            out += "        <oldsource>" + Escape(message.oldSource) + "</oldsource>\n";
        }
        out += "        <comment>" + std::to_string(message.id) + "</comment>\n";
        out += "        <translation";
        if (message.state == TsMessage::State::Unfinished) {
            out += " type=\"unfinished\"";
        } else if (message.state == TsMessage::State::Obsolete) {
            out += " type=\"obsolete\"";
        }
        out += ">" + Escape(message.translation) + "</translation>\n";
        out += "    </message>\n";
    }
    out += "</context>\n</TS>\n";
    return out;
}

void WriteTs(const std::filesystem::path& path, const TsFile& file) {
    std::filesystem::path temporary = path;
    temporary += ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << FormatTs(file);
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            throw Failure(path, "cannot be written");
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        throw Failure(path, "cannot be replaced: " + error.message());
    }
}

} // namespace dv::ts
