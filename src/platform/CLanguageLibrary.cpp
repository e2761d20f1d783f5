#include "platform/CLanguageLibrary.h"

#include "format/StringTable.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <algorithm>
#include <array>
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

bool CLanguageLibrary::Install(const Language& language) {
    auto translator = std::make_shared<QTranslator>();
    if (!translator->load(QString::fromStdString(language.file.string()))) {
        return false;
    }
    // The English text is the source and the string number tells apart equal English texts
    // that a language translates differently.
    SetTranslationHook(
        [translator](uint32_t id, std::string_view english) -> std::optional<std::string> {
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
