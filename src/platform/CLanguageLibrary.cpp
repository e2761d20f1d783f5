#include "platform/CLanguageLibrary.h"

#include "format/StringTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>
#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <system_error>

namespace dv {

namespace {

constexpr uint32_t kPrimaryMask = 0x3FF;
constexpr const char* kFilePrefix = "dayvault_";
constexpr const char* kContext = "Dayvault";

// The Windows primary language of the common Qt languages; the sub-language is 1 (the main
// country) unless the country table below knows better.
struct PrimaryLanguage {
    QLocale::Language language;
    uint32_t primary;
};
constexpr std::array kPrimaries{
    PrimaryLanguage{QLocale::Arabic, 0x01},     PrimaryLanguage{QLocale::Bulgarian, 0x02},
    PrimaryLanguage{QLocale::Catalan, 0x03},    PrimaryLanguage{QLocale::Chinese, 0x04},
    PrimaryLanguage{QLocale::Czech, 0x05},      PrimaryLanguage{QLocale::Danish, 0x06},
    PrimaryLanguage{QLocale::German, 0x07},     PrimaryLanguage{QLocale::Greek, 0x08},
    PrimaryLanguage{QLocale::English, 0x09},    PrimaryLanguage{QLocale::Spanish, 0x0A},
    PrimaryLanguage{QLocale::Finnish, 0x0B},    PrimaryLanguage{QLocale::French, 0x0C},
    PrimaryLanguage{QLocale::Hebrew, 0x0D},     PrimaryLanguage{QLocale::Hungarian, 0x0E},
    PrimaryLanguage{QLocale::Icelandic, 0x0F},  PrimaryLanguage{QLocale::Italian, 0x10},
    PrimaryLanguage{QLocale::Japanese, 0x11},   PrimaryLanguage{QLocale::Korean, 0x12},
    PrimaryLanguage{QLocale::Dutch, 0x13},      PrimaryLanguage{QLocale::NorwegianBokmal, 0x14},
    PrimaryLanguage{QLocale::Polish, 0x15},     PrimaryLanguage{QLocale::Portuguese, 0x16},
    PrimaryLanguage{QLocale::Romanian, 0x18},   PrimaryLanguage{QLocale::Russian, 0x19},
    PrimaryLanguage{QLocale::Croatian, 0x1A},   PrimaryLanguage{QLocale::Slovak, 0x1B},
    PrimaryLanguage{QLocale::Swedish, 0x1D},    PrimaryLanguage{QLocale::Turkish, 0x1F},
    PrimaryLanguage{QLocale::Ukrainian, 0x22},  PrimaryLanguage{QLocale::Slovenian, 0x24},
    PrimaryLanguage{QLocale::Estonian, 0x25},   PrimaryLanguage{QLocale::Latvian, 0x26},
    PrimaryLanguage{QLocale::Lithuanian, 0x27},
};

struct CountryLanguage {
    QLocale::Language language;
    QLocale::Territory territory;
    uint32_t id;
};
constexpr std::array kCountries{
    CountryLanguage{QLocale::English, QLocale::UnitedKingdom, 0x809},
    CountryLanguage{QLocale::English, QLocale::Australia, 0xC09},
    CountryLanguage{QLocale::English, QLocale::Canada, 0x1009},
    CountryLanguage{QLocale::German, QLocale::Switzerland, 0x807},
    CountryLanguage{QLocale::German, QLocale::Austria, 0xC07},
    CountryLanguage{QLocale::French, QLocale::Belgium, 0x80C},
    CountryLanguage{QLocale::French, QLocale::Canada, 0xC0C},
    CountryLanguage{QLocale::French, QLocale::Switzerland, 0x100C},
    CountryLanguage{QLocale::Italian, QLocale::Switzerland, 0x810},
    CountryLanguage{QLocale::Dutch, QLocale::Belgium, 0x813},
    CountryLanguage{QLocale::Portuguese, QLocale::Portugal, 0x816},
    CountryLanguage{QLocale::Spanish, QLocale::Mexico, 0x80A},
};

// The identifier in a file name "dayvault_XXXX.qm"; nullopt for any other name.
std::optional<uint32_t> IdOfFileName(const std::string& name) {
    const std::string prefix = kFilePrefix;
    if (name.size() != prefix.size() + 4 + 3 || name.rfind(prefix, 0) != 0 ||
        name.substr(name.size() - 3) != ".qm") {
        return std::nullopt;
    }
    uint32_t id = 0;
    for (char c : name.substr(prefix.size(), 4)) {
        const int digit = (c >= '0' && c <= '9')   ? c - '0'
                          : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                          : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                   : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        id = id * 16 + static_cast<uint32_t>(digit);
    }
    return id;
}

// Qt's own texts (standard buttons, the line edits' context menu, file dialogs) in the chosen
// language, from the Qt translations that the system has installed; none for English.
std::unique_ptr<QTranslator> g_qtTexts;

void InstallQtTexts(uint32_t id) {
    if (g_qtTexts) {
        QCoreApplication::removeTranslator(g_qtTexts.get());
        g_qtTexts.reset();
    }
    if ((id & kPrimaryMask) == (CLanguageLibrary::kBuiltInLanguage & kPrimaryMask)) {
        return;
    }
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(CLanguageLibrary::LocaleOf(id), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)) &&
        QCoreApplication::installTranslator(translator.get())) {
        g_qtTexts = std::move(translator);
    }
}

} // namespace

CLanguageLibrary::CLanguageLibrary(std::filesystem::path programFolder)
    : m_folder(std::move(programFolder) / "lang") {}

CLanguageLibrary::~CLanguageLibrary() = default;

std::vector<CLanguageLibrary::Language> CLanguageLibrary::Languages() const {
    std::vector<Language> found;
    std::error_code error;
    for (std::filesystem::directory_iterator it(m_folder, error), end; !error && it != end;
         it.increment(error)) {
        if (!it->is_regular_file(error)) {
            continue;
        }
        if (const auto id = IdOfFileName(it->path().filename().string())) {
            found.push_back(Language{*id, it->path()});
        }
    }
    std::sort(found.begin(), found.end(),
              [](const Language& a, const Language& b) { return a.id < b.id; });
    return found;
}

uint32_t CLanguageLibrary::LanguageIdOf(const QLocale& locale) {
    for (const CountryLanguage& entry : kCountries) {
        if (entry.language == locale.language() && entry.territory == locale.territory()) {
            return entry.id;
        }
    }
    for (const PrimaryLanguage& entry : kPrimaries) {
        if (entry.language == locale.language()) {
            return 0x400 | entry.primary;
        }
    }
    return kBuiltInLanguage;
}

QLocale CLanguageLibrary::LocaleOf(uint32_t id) {
    for (const CountryLanguage& entry : kCountries) {
        if (entry.id == id) {
            return QLocale(entry.language, entry.territory);
        }
    }
    for (const PrimaryLanguage& entry : kPrimaries) {
        if (entry.primary == (id & kPrimaryMask)) {
            return QLocale(entry.language);
        }
    }
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

uint32_t CLanguageLibrary::Select(int32_t storedLanguage) {
    m_problems.clear();
    uint32_t requested = static_cast<uint32_t>(storedLanguage) & 0xFFFF;
    if (requested == 0) {
        requested = LanguageIdOf(QLocale::system());
    }
    const std::vector<Language> languages = Languages();
    for (const Language& language : languages) {
        if (language.id == requested && Install(language)) {
            return m_current = language.id;
        }
    }
    for (const Language& language : languages) {
        if ((language.id & kPrimaryMask) == (requested & kPrimaryMask) && Install(language)) {
            return m_current = language.id;
        }
    }
    Uninstall();
    return m_current = kBuiltInLanguage;
}

namespace {

// The layout of a compiled translation: a magic number, then blocks of a tag byte and a
// big-endian 32-bit length; the messages block holds records of tagged fields.
constexpr unsigned char kQmMagic[16] = {0x3c, 0xb8, 0x64, 0x18, 0xca, 0xef, 0x9c, 0x95,
                                        0xcd, 0x21, 0x1c, 0xbf, 0x60, 0xa1, 0xbd, 0xdd};
enum QmBlock : unsigned char {
    kContexts = 0x2f,
    kHashes = 0x42,
    kMessages = 0x69,
    kNumerusRules = 0x88,
    kDependencies = 0x96,
    kLanguage = 0xa7,
};
enum QmField : unsigned char {
    kFieldEnd = 1,
    kFieldSourceText16 = 2,
    kFieldTranslation = 3,
    kFieldContext16 = 4,
    kFieldObsolete1 = 5,
    kFieldSourceText = 6,
    kFieldContext = 7,
    kFieldComment = 8,
    kFieldObsolete2 = 9,
};

uint32_t Read32(const unsigned char* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

uint32_t Read16(const unsigned char* p) {
    return (uint32_t{p[0]} << 8) | p[1];
}

// One message record from `at` up to its end field, inside the messages block.
std::string CheckMessage(const unsigned char* block, uint32_t size, uint32_t at) {
    while (at < size) {
        const unsigned char field = block[at++];
        switch (field) {
        case kFieldEnd:
            return {};
        case kFieldObsolete1:
            if (size - at < 4) {
                return "a message runs past the end of its block";
            }
            at += 4;
            break;
        case kFieldTranslation:
        case kFieldSourceText16:
        case kFieldContext16:
        case kFieldSourceText:
        case kFieldContext:
        case kFieldComment:
        case kFieldObsolete2: {
            if (size - at < 4) {
                return "a message runs past the end of its block";
            }
            const uint32_t length = Read32(block + at);
            at += 4;
            // An absent translation is marked by all bits set and has no text.
            if (field == kFieldTranslation && length == 0xFFFFFFFFu) {
                break;
            }
            if (length > size - at) {
                return "a text of a message runs past the end of its block";
            }
            at += length;
            break;
        }
        default:
            return "a message holds an unknown field";
        }
    }
    // Running off the end counts as the end field, as the reader treats it.
    return {};
}

} // namespace

std::string CLanguageLibrary::CheckTranslation(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto size = static_cast<uint64_t>(bytes.size());
    if (size < sizeof kQmMagic || std::memcmp(data, kQmMagic, sizeof kQmMagic) != 0) {
        return "not a translation file";
    }
    const unsigned char* messages = nullptr;
    uint32_t messagesSize = 0;
    const unsigned char* hashes = nullptr;
    uint32_t hashesSize = 0;
    const unsigned char* contexts = nullptr;
    uint32_t contextsSize = 0;
    uint64_t at = sizeof kQmMagic;
    while (size - at > 5) {
        const unsigned char tag = data[at];
        const uint32_t length = Read32(data + at + 1);
        at += 5;
        if (tag == 0 || length == 0) {
            break;
        }
        if (length > size - at) {
            return "a block runs past the end of the file";
        }
        switch (tag) {
        case kMessages:
            messages = data + at;
            messagesSize = length;
            break;
        case kHashes:
            hashes = data + at;
            hashesSize = length;
            break;
        case kContexts:
            contexts = data + at;
            contextsSize = length;
            break;
        case kDependencies:
            // Ours stand alone; a dependency would load a file that was never checked.
            return "it depends on other translation files";
        case kNumerusRules:
        case kLanguage:
            break;
        default:
            break;
        }
        at += length;
    }
    if (hashesSize % 8 != 0) {
        return "its index has a broken length";
    }
    for (uint32_t entry = 0; entry < hashesSize; entry += 8) {
        const uint32_t offset = Read32(hashes + entry + 4);
        if (offset >= messagesSize) {
            return "its index points outside the messages";
        }
        if (std::string problem = CheckMessage(messages, messagesSize, offset); !problem.empty()) {
            return problem;
        }
    }
    if (contextsSize > 0) {
        // A hash table of 16-bit offsets into a list of length-prefixed context names, each
        // list ending with a zero length.
        if (contextsSize < 2 || Read16(contexts) == 0 ||
            2 + 2 * uint64_t{Read16(contexts)} > contextsSize) {
            return "its context table is broken";
        }
        const uint32_t buckets = Read16(contexts);
        const uint64_t listStart = 2 + 2 * uint64_t{buckets};
        for (uint32_t bucket = 0; bucket < buckets; ++bucket) {
            const uint32_t offset = Read16(contexts + 2 + 2 * bucket);
            if (offset == 0) {
                continue;
            }
            uint64_t p = listStart + 2 * uint64_t{offset};
            for (;;) {
                if (p >= contextsSize) {
                    return "its context table is broken";
                }
                const uint32_t length = contexts[p];
                if (length == 0) {
                    break;
                }
                p += 1 + length;
            }
        }
    }
    return {};
}

bool CLanguageLibrary::Install(const Language& language) {
    QFile file(QString::fromStdString(language.file.string()));
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (std::string problem = CheckTranslation(bytes); !problem.empty()) {
        // Select may try one file twice (exactly, then by its primary language).
        if (std::none_of(m_problems.begin(), m_problems.end(),
                         [&](const Problem& known) { return known.file == language.file; })) {
            m_problems.push_back(Problem{language.file, std::move(problem)});
        }
        return false;
    }
    auto translator = std::make_shared<QTranslator>();
    // Loaded from the very bytes that were checked, kept alive with the translator.
    auto kept = std::make_shared<QByteArray>(bytes);
    if (!translator->load(reinterpret_cast<const uchar*>(kept->constData()),
                          static_cast<int>(kept->size()))) {
        return false;
    }
    // The English text is the source and the string number tells apart equal English texts
    // that a language translates differently.
    SetTranslationHook(
        [translator, kept](uint32_t id, std::string_view english) -> std::optional<std::string> {
            const std::string source(english);
            const QString text =
                translator->translate(kContext, source.c_str(), std::to_string(id).c_str());
            if (text.isEmpty()) {
                return std::nullopt;
            }
            return text.toStdString();
        });
    InstallQtTexts(language.id);
    return true;
}

void CLanguageLibrary::Uninstall() {
    SetTranslationHook({});
    InstallQtTexts(kBuiltInLanguage);
}

} // namespace dv
