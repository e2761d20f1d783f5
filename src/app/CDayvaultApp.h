#pragma once

#include "document/CDayvaultDoc.h"
#include "holidays/CHolidayModuleSet.h"
#include "holidays/CHolidaySettings.h"
#include "settings/CPasswordVault.h"
#include "settings/CSettings.h"
#include "settings/CWindowSettings.h"
#include "settings/SettingsStoreChoice.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace dv {

class CLanguageLibrary;
class CMainFrame;
class CSingleInstance;
class IFileDialogs;
class IPrompt;
class IProfileStore;
class ISecretStore;

/// Where the program runs: its folders, its file, the command line.
struct AppEnvironment {
    /// The folder that holds holidays/, templates/, lang/, sounds/ and doc/.
    std::filesystem::path ProgramFolder;
    /// The per-user data folder (the INI file when it is there, the approvals of actions).
    std::filesystem::path UserDataFolder;
    /// The program file, for the start-with-the-system entry.
    QString ProgramFile;
    /// The event file named on the command line, made absolute against the working folder (a
    /// running instance that is handed the file has another one).
    std::optional<std::filesystem::path> CommandLineFile;
    /// The single-instance socket; empty: the one of this user.
    QString InstanceName;

    /// The environment of this process: the program folder beside the executable (or
    /// <prefix>/share/dayvault when installed), the user data folder "QX's Dayvault" in the
    /// user's config folder, the first argument after the program as the event file.
    static AppEnvironment FromProcess(const QStringList& arguments);
};

/// The program: starts up in its fixed order, owns the settings, the document, the holiday
/// modules and the main window, and switches the settings store when the options ask for it.
class CDayvaultApp final : public QObject {
    Q_OBJECT
public:
    /// `prompt` and `fileDialogs` answer the questions and file dialogs, `keyring` keeps the FTP
    /// password of the platform store (not owned; null: the desktop's message boxes, file
    /// dialogs and keyring).
    explicit CDayvaultApp(AppEnvironment environment, IPrompt* prompt = nullptr,
                          IFileDialogs* fileDialogs = nullptr, ISecretStore* keyring = nullptr);
    ~CDayvaultApp() override;

    /// Runs the start-up. False when the program is to end at once: another instance was asked
    /// to come to the front, or not even an empty document could be made.
    bool Start();

    /// True when Start ended because another instance runs.
    bool HandedOverToOtherInstance() const { return m_handedOver; }

    const AppEnvironment& Environment() const { return m_environment; }
    IProfileStore& Store() { return *m_store; }
    /// True when the platform store (not an INI file) holds the settings.
    bool UsesPlatformStore() const { return m_usesPlatformStore; }
    const SettingsStoreChoice& StoreChoice() const { return m_storeChoice; }
    /// Switches to the platform store (true) or to the INI file chosen at start-up (false). The
    /// FTP password moves with the settings: the platform store keeps it in the keyring where
    /// one answers, the INI file scrambled.
    void SwitchStore(bool usePlatformStore);
    /// Where the FTP password is kept; the settings hold it in plain text meanwhile.
    CPasswordVault& PasswordVault() { return m_vault; }
    /// Writes every setting to the store; a failure is shown and false returned.
    bool SaveSettings();

    CSettings& Settings() { return m_settings; }
    CWindowSettings& WindowSettings() { return m_windowSettings; }
    CHolidaySettings& HolidaySettings() { return m_holidaySettings; }
    CHolidayModuleSet& Holidays() { return m_holidays; }
    /// Modules that failed to load at start-up ("<name>: <reason>").
    const std::vector<std::string>& HolidayProblems() const { return m_holidayProblems; }
    CDayvaultDoc& Document() { return m_document; }
    CMainFrame* Frame() { return m_frame.get(); }
    IPrompt& Prompt() { return *m_prompt; }
    IFileDialogs& FileDialogs() { return *m_fileDialogs; }
    /// The language in use (a Windows language identifier).
    uint32_t Language() const;

    /// The event file that a start without a file name opens when `DefaultDateFile` is empty:
    /// "Dayvault.dat" in the user data folder, made at the first start.
    std::filesystem::path StandardEventFile() const;
    /// Another start of the program named `file`: this window comes to the front and opens it
    /// (saving the open document first); a file that does not exist is offered to be made.
    void OpenHandedOverFile(const std::filesystem::path& file);

signals:
    /// The user ended the program (the exit command).
    void QuitRequested();

private:
    void ChooseStore();
    void ChooseLanguage();
    void LoadSettings();
    void LoadHolidays();
    void OpenStartDocument();
    /// Opens `file`, or offers to make it when it does not exist. False when the user declined
    /// or the file could not be read or made (the reason was shown).
    bool OpenOrOfferToCreate(const std::filesystem::path& file);
    /// Replaces the document by a new one saved as `file` (its folder made first).
    bool CreateEventFile(const std::filesystem::path& file);
    void MakeStartBackup();
    /// Says which translation files were passed over as damaged.
    void ReportTranslationProblems();
    /// Names, in one message, the active holiday modules that could not be loaded and why.
    void ReportHolidayProblems();

    AppEnvironment m_environment;
    std::unique_ptr<IPrompt> m_ownPrompt;
    std::unique_ptr<IFileDialogs> m_ownFileDialogs;
    std::unique_ptr<ISecretStore> m_ownKeyring;
    IPrompt* m_prompt = nullptr;
    IFileDialogs* m_fileDialogs = nullptr;
    ISecretStore* m_keyring = nullptr;
    CPasswordVault m_vault;

    SettingsStoreChoice m_storeChoice;
    std::unique_ptr<IProfileStore> m_store;
    bool m_usesPlatformStore = false;
    std::unique_ptr<CLanguageLibrary> m_languages;
    CSettings m_settings;
    CWindowSettings m_windowSettings;
    CHolidaySettings m_holidaySettings;
    CHolidayModuleSet m_holidays;
    std::vector<std::string> m_holidayProblems;
    std::unique_ptr<CSingleInstance> m_instance;
    bool m_handedOver = false;
    // The document outlives the frame, which observes it.
    CDayvaultDoc m_document;
    std::unique_ptr<CMainFrame> m_frame;
};

} // namespace dv
