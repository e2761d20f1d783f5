// Brings the program's Qt Linguist files in step with the built-in string table. The texts are
// not tr() calls, so lupdate cannot find them; this tool reads the table itself.
//
//   dayvault_ts_update [--language de_DE] FILE.ts...
//
// A missing file is created for --language. Each file is reported with its counts and the numbers
// of the strings that still need a translation.
#include "TsFile.h"
#include "format/StringTable.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    std::string language;
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--language" && i + 1 < argc) {
            language = argv[++i];
        } else {
            files.emplace_back(argument);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: dayvault_ts_update [--language de_DE] FILE.ts...\n");
        return 2;
    }
    std::vector<dv::ts::TableString> table;
    for (const uint32_t id : dv::StringTableIds()) {
        table.push_back({id, dv::EnglishString(id)});
    }
    int status = 0;
    for (const auto& path : files) {
        try {
            dv::ts::TsFile existing;
            if (std::filesystem::exists(path)) {
                existing = dv::ts::ReadTs(path);
            } else if (language.empty()) {
                throw std::runtime_error(path.string() + ": missing, and no --language for it");
            } else {
                existing.language = language;
            }
            const dv::ts::TsFile updated = dv::ts::UpdateTs(existing, table);
            dv::ts::WriteTs(path, updated);
            std::string open;
            int unfinished = 0;
            int obsolete = 0;
            for (const auto& message : updated.messages) {
                if (message.state == dv::ts::TsMessage::State::Unfinished) {
                    ++unfinished;
                    open += " " + std::to_string(message.id);
                } else if (message.state == dv::ts::TsMessage::State::Obsolete) {
                    ++obsolete;
                }
            }
            std::printf("%s: %zu strings, %d to translate, %d obsolete\n", path.string().c_str(),
                        table.size(), unfinished, obsolete);
            if (unfinished > 0) {
                std::printf("  to translate:%s\n", open.c_str());
            }
        } catch (const std::exception& error) {
            std::fprintf(stderr, "dayvault_ts_update: %s\n", error.what());
            status = 1;
        }
    }
    return status;
}
