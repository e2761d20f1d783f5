#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class QTranslator;

namespace dv {

/// The program's languages: translation files "lang/dayvault_XXXX.qm" below the program folder,
/// each named by the four hexadecimal digits of its Windows language identifier (0407 German,
/// 040C French, ...). English (0x409) is built into the string table and needs no file.
class CLanguageLibrary {
public:
    static constexpr uint32_t kBuiltInLanguage = 0x409;

    /// One translation file found in the folder.
    struct Language {
        uint32_t id = 0; ///< the Windows language identifier (16 bits)
        std::filesystem::path file;
    };

    explicit CLanguageLibrary(std::filesystem::path programFolder);
    ~CLanguageLibrary();
    CLanguageLibrary(const CLanguageLibrary&) = delete;
    CLanguageLibrary& operator=(const CLanguageLibrary&) = delete;

    /// The translation files of "lang/", ordered by identifier; files whose names do not follow
    /// the pattern are left out.
    std::vector<Language> Languages() const;

    /// Chooses the language for the stored `Language` value: its low 16 bits, or the user's own
    /// language when they are 0. A file of exactly that identifier wins; else the first file of
    /// the same primary language (the low 10 bits); else the built-in 0x409. Installs the chosen
    /// file's texts as the string table's translation hook (none for 0x409) and returns the
    /// chosen identifier, which the caller stores back. A file that cannot be loaded counts as
    /// missing.
    uint32_t Select(int32_t storedLanguage);

    /// The language now in use.
    uint32_t Current() const { return m_current; }
    /// The translation files that Select found damaged and passed over: the file, and what is
    /// wrong with it.
    struct Problem {
        std::filesystem::path file;
        std::string reason;
    };
    const std::vector<Problem>& Problems() const { return m_problems; }

    /// Checks that a translation file's structure holds together before Qt reads from it: Qt
    /// trusts the offsets and lengths inside the file, and a damaged one makes every lookup
    /// read outside it. Empty when the file is sound, else what is wrong.
    static std::string CheckTranslation(const QByteArray& data);

    /// The Windows language identifier of a Qt locale (the primary language with its usual
    /// sub-language for the country); 0x409 for a language the table does not know.
    static uint32_t LanguageIdOf(const QLocale& locale);
    /// The Qt locale of a Windows language identifier: the country the identifier names, else
    /// the language's main one; English for an identifier the table does not know.
    static QLocale LocaleOf(uint32_t id);

    /// Removes the translation hook that Select installed.
    static void Uninstall();

private:
    bool Install(const Language& language);

    std::filesystem::path m_folder;
    uint32_t m_current = kBuiltInLanguage;
    std::vector<Problem> m_problems;
};

} // namespace dv
