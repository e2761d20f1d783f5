#include "app/CDayvaultApp.h"

#include "app/CIcalCommands.h"
#include "app/CMainFrame.h"
#include "app/IFileDialogs.h"
#include "app/WindowPlacement.h"
#include "core/CArchiveException.h"
#include "core/CFileException.h"
#include "document/RotatingBackup.h"
#include "format/StringIds.h"
#include "format/StringTable.h"
#include "platform/CKeychainSecretStore.h"
#include "platform/CLanguageLibrary.h"
#include "platform/CQtLocaleNames.h"
#include "platform/CQtProfileStore.h"
#include "platform/CQtPrompt.h"
#include "platform/CSingleInstance.h"
#include "settings/CIniStore.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <system_error>

namespace dv {

namespace {

// The user's data folder name below the config folder, kept from the program's origins.
constexpr const char* kUserFolderName = "QX's Dayvault";
// Rotating backups of the event file: at most one a day.
constexpr int kBackupIntervalHours = 20;
// The event file of a start without a file name, in the user data folder.
constexpr const char* kStandardEventFileName = "Dayvault.dat";

QWidget* ActiveMainWindow() {
    return QApplication::activeWindow();
}

} // namespace

AppEnvironment AppEnvironment::FromProcess(const QStringList& arguments) {
    AppEnvironment environment;
    const QString binFolder = QCoreApplication::applicationDirPath();
    const QString shared = QDir(binFolder).absoluteFilePath(QStringLiteral("../share/dayvault"));
    // Installed, the data lies in share/dayvault; in the build tree it lies beside the program.
    const bool installed = QDir(shared).exists(QStringLiteral("holidays")) &&
                           !QDir(binFolder).exists(QStringLiteral("holidays"));
    environment.ProgramFolder = QDir::cleanPath(installed ? shared : binFolder).toStdString();
    environment.UserDataFolder =
        std::filesystem::path(
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation).toStdString()) /
        kUserFolderName;
    environment.ProgramFile = QCoreApplication::applicationFilePath();
    if (arguments.size() > 1 && !arguments.at(1).isEmpty()) {
        std::error_code error;
        const std::filesystem::path named(arguments.at(1).toStdString());
        const std::filesystem::path absolute = std::filesystem::absolute(named, error);
        environment.CommandLineFile = error ? named : absolute.lexically_normal();
    }
    return environment;
}

CDayvaultApp::CDayvaultApp(AppEnvironment environment, IPrompt* prompt, IFileDialogs* fileDialogs,
                           ISecretStore* keyring)
    : m_environment(std::move(environment)) {
    if (!prompt) {
        m_ownPrompt = std::make_unique<CQtPrompt>(&ActiveMainWindow);
        prompt = m_ownPrompt.get();
    }
    if (!fileDialogs) {
        m_ownFileDialogs = std::make_unique<CQtFileDialogs>();
        fileDialogs = m_ownFileDialogs.get();
    }
    if (!keyring) {
        m_ownKeyring = std::make_unique<CKeychainSecretStore>();
        keyring = m_ownKeyring.get();
    }
    m_prompt = prompt;
    m_fileDialogs = fileDialogs;
    m_keyring = keyring;
    m_document.SetPrompt(m_prompt);
    m_document.SetUseLockFiles(true);
}

CDayvaultApp::~CDayvaultApp() {
    // The frame stops the worker and observes the document, so it goes first.
    m_frame.reset();
    CLanguageLibrary::Uninstall();
}

uint32_t CDayvaultApp::Language() const {
    return m_languages ? m_languages->Current() : CLanguageLibrary::kBuiltInLanguage;
}

bool CDayvaultApp::Start() {
    ChooseStore();
    ChooseLanguage();
    LoadSettings();

    if (m_settings.SingleInstance) {
        m_instance = std::make_unique<CSingleInstance>(m_environment.InstanceName);
        const QString named = m_environment.CommandLineFile
                                  ? QString::fromStdString(m_environment.CommandLineFile->string())
                                  : QString();
        if (m_instance->ActivateRunningInstance(named)) {
            m_handedOver = true;
            return false;
        }
    }

    ReportTranslationProblems();
    LoadHolidays();
    OpenStartDocument();
    MakeStartBackup();

    m_frame = std::make_unique<CMainFrame>(*this);
    connect(m_frame.get(), &CMainFrame::Exited, this, &CDayvaultApp::QuitRequested);
    if (m_instance) {
        connect(m_instance.get(), &CSingleInstance::ActivationRequested, m_frame.get(),
                &CMainFrame::BringToFront);
        connect(m_instance.get(), &CSingleInstance::OpenRequested, this,
                [this](const QString& file) { OpenHandedOverFile(file.toStdString()); });
    }
    m_frame->ShowInitially(m_settings.RunMinimized);
    ReportHolidayProblems();
    if (m_environment.CommandLineFile && IsIcalFile(*m_environment.CommandLineFile)) {
        OfferIcalImport(*this, *m_environment.CommandLineFile);
    }
    return true;
}

void CDayvaultApp::ChooseStore() {
    m_storeChoice = ChooseSettingsStore(m_environment.ProgramFolder, m_environment.UserDataFolder);
    SwitchStore(m_storeChoice.UseRegistry);
}

void CDayvaultApp::SwitchStore(bool usePlatformStore) {
    // A password the old place could not hand over yet gets one more try before it moves.
    m_vault.Resolve(m_settings);
    std::unique_ptr<IProfileStore> oldStore = std::move(m_store);
    ISecretStore* oldKeyring = m_vault.Keyring();
    m_vault.SetKeyring(usePlatformStore ? m_keyring : nullptr);
    if (usePlatformStore) {
        m_store = std::make_unique<CQtProfileStore>();
        // Both stores agree on the choice, so a later start finds the same one.
        m_store->WriteBool(CSettings::kSection, "UseRegistry", true);
        try {
            m_store->Flush();
        } catch (const CFileException&) {
            // A store that cannot be written still reads; the settings keep their defaults.
        }
    } else {
        // The INI file's folder is made when the INI file is the store, and only then.
        std::error_code error;
        std::filesystem::create_directories(m_storeChoice.IniPath.parent_path(), error);
        m_store = std::make_unique<CIniStore>(m_storeChoice.IniPath);
    }
    m_usesPlatformStore = usePlatformStore;
    if (oldStore) {
        // The settings carry the password to the new store; no stale copy stays behind.
        m_vault.Release(*oldStore, oldKeyring);
    }
}

void CDayvaultApp::ChooseLanguage() {
    m_languages = std::make_unique<CLanguageLibrary>(m_environment.ProgramFolder);
    const int32_t stored = m_store->ReadInt(CSettings::kSection, "Language", 0);
    const uint32_t chosen = m_languages->Select(stored);
    // Day and month names are the user's, unless the user chose another language for the
    // program: a German program does not say "Monday".
    const QLocale system = QLocale::system();
    const QLocale names = (CLanguageLibrary::LanguageIdOf(system) & 0x3FF) == (chosen & 0x3FF)
                              ? system
                              : CLanguageLibrary::LocaleOf(chosen);
    QLocale::setDefault(names);
    SetLocaleNames(std::make_shared<CQtLocaleNames>(names));
    m_store->WriteInt(CSettings::kSection, "Language", static_cast<int32_t>(chosen & 0xFFFF));
    try {
        m_store->Flush();
    } catch (const CFileException&) {
        // Not being able to remember the language is no reason to stop.
    }
}

void CDayvaultApp::LoadSettings() {
    m_vault.Load(m_settings, *m_store);
    m_settings.LoadExitState(*m_store);
    // The primary screen first: a placement that shows on none goes there.
    QList<QRect> screens;
    if (const QScreen* primary = QGuiApplication::primaryScreen()) {
        screens.push_back(primary->availableGeometry());
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen()) {
            screens.push_back(screen->availableGeometry());
        }
    }
    const QRect desktop = screens.isEmpty() ? QRect(0, 0, CWindowSettings::kFallbackDesktopWidth,
                                                    CWindowSettings::kFallbackDesktopHeight)
                                            : screens.front();
    m_windowSettings.Load(*m_store, desktop.width(), desktop.height());
    CWindowSettings& layout = m_windowSettings;
    // The settings may come from another machine, an older screen or a hand-edited file.
    const bool firstStart = !m_store->ReadRawString(CWindowSettings::kSection, "MainWindowWidth");
    const QRect placement = firstStart ? FirstStartGeometry(desktop)
                                       : FitToScreens(layout.MainWindowX, layout.MainWindowY,
                                                      layout.MainWindowWidth,
                                                      layout.MainWindowHeight, screens);
    if (firstStart) {
        layout.MainWindowMaximized = FirstStartMaximized(desktop);
    }
    layout.MainWindowX = placement.x();
    layout.MainWindowY = placement.y();
    layout.MainWindowWidth = placement.width();
    layout.MainWindowHeight = placement.height();
}

bool CDayvaultApp::SaveSettings() {
    try {
        m_vault.Save(m_settings, *m_store);
        return true;
    } catch (const std::exception& error) {
        m_prompt->ShowMessage(FormatString(kIdsCannotStoreSettings, error.what()),
                              PromptIcon::Stop);
        return false;
    }
}

void CDayvaultApp::LoadHolidays() {
    m_holidaySettings.Load(*m_store);
    m_holidays.SetBaseFolder(m_environment.ProgramFolder);
    m_holidayProblems = m_holidays.LoadModules(m_holidaySettings.ActiveModules);
}

std::filesystem::path CDayvaultApp::StandardEventFile() const {
    return m_environment.UserDataFolder / kStandardEventFileName;
}

void CDayvaultApp::OpenStartDocument() {
    // A file the user named but declined to make gives way to the file of an ordinary start. A
    // calendar on the command line is offered for import into that file instead.
    if (m_environment.CommandLineFile && !IsIcalFile(*m_environment.CommandLineFile) &&
        OpenOrOfferToCreate(*m_environment.CommandLineFile)) {
        return;
    }
    std::filesystem::path file;
    if (m_settings.LoadDateFile == 0) {
        file = m_settings.LastDateFile;
    } else if (m_settings.LoadDateFile == 1) {
        file = m_settings.DefaultDateFile;
        if (file.empty()) {
            // Without a chosen file the program keeps its events in a file of its own, so that
            // what a new user enters is saved, and found again at the next start.
            file = StandardEventFile();
            std::error_code error;
            if (!std::filesystem::exists(file, error) && !error && CreateEventFile(file)) {
                return;
            }
        }
    }
    if (!file.empty()) {
        try {
            m_document.Open(file);
            return;
        } catch (const std::exception& error) {
            // A file that cannot be read gives way to a new document; the user learns why.
            m_prompt->ShowMessage(FormatString(kIdsCannotOpenEventFile, error.what()),
                                  PromptIcon::Stop);
        }
    }
    m_document.NewDocument();
}

bool CDayvaultApp::OpenOrOfferToCreate(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::exists(file, error) && !error) {
        return m_prompt->AskYesNo(FormatString(kIdsAskCreateEventFile, file.string()),
                                  PromptIcon::Question) &&
               CreateEventFile(file);
    }
    try {
        return m_document.Open(file);
    } catch (const std::exception& exception) {
        m_prompt->ShowMessage(FormatString(kIdsCannotOpenEventFile, exception.what()),
                              PromptIcon::Stop);
        return false;
    }
}

bool CDayvaultApp::CreateEventFile(const std::filesystem::path& file) {
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    // A folder that cannot be made shows in the save's own message.
    return m_document.NewDocument() && m_document.SaveAs(file);
}

void CDayvaultApp::OpenHandedOverFile(const std::filesystem::path& file) {
    if (!m_frame) {
        return;
    }
    m_frame->BringToFront();
    if (file == m_document.GetPathName()) {
        return;
    }
    std::error_code error;
    if (std::filesystem::exists(file, error) || error) {
        m_frame->OpenDocument(file.string());
        return;
    }
    if (m_prompt->AskYesNo(FormatString(kIdsAskCreateEventFile, file.string()),
                           PromptIcon::Question)) {
        m_frame->BeforeDocumentReplaced();
        if (CreateEventFile(file)) {
            m_frame->AddRecentFile(file.string());
        }
    }
}

void CDayvaultApp::ReportTranslationProblems() {
    // Shown in English: the damaged file was passed over, so no translation is installed
    // unless another file of the language was sound.
    for (const CLanguageLibrary::Problem& problem : m_languages->Problems()) {
        m_prompt->ShowMessage(
            FormatString(kIdsTranslationDamaged, {problem.file.string(), problem.reason}),
            PromptIcon::Exclamation);
    }
}

void CDayvaultApp::ReportHolidayProblems() {
    if (m_holidayProblems.empty()) {
        return;
    }
    std::string list;
    for (const std::string& problem : m_holidayProblems) {
        list += (list.empty() ? "" : "\n") + problem;
    }
    m_prompt->ShowMessage(FormatString(kIdsHolidayModulesSkipped, list), PromptIcon::Exclamation);
}

void CDayvaultApp::MakeStartBackup() {
    const std::filesystem::path& file = m_document.GetPathName();
    if (m_settings.BackupDepth > 0 && !file.empty()) {
        MakeRotatingBackup(file, m_settings.BackupDepth, kBackupIntervalHours);
    }
}

} // namespace dv
