#pragma once

#include "settings/CSettings.h"

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QTimeEdit;

namespace dv {

class CDayvaultApp;
class CMainFrame;
class IFileDialogs;
class IPrompt;

/// What the options dialog needs besides the settings it edits.
struct OptionsContext {
    IPrompt* prompt = nullptr;           ///< the range messages
    IFileDialogs* fileDialogs = nullptr; ///< the event file's and the shared file's browse buttons
    std::vector<uint32_t> languages;     ///< offered besides the built-in English, by identifier
    bool passwordStored = false;         ///< a password is kept (shown only as a placeholder)
    /// Chooses a colour (0x00BBGGRR) or a font; nullopt when cancelled. Empty: the desktop's
    /// colour and font dialogs.
    std::function<std::optional<uint32_t>(uint32_t, QWidget*)> chooseColour;
    std::function<std::optional<LogFont>(const LogFont&, QWidget*)> chooseFont;
};

/// The Options dialog: every setting that no other dialog owns, on pages grouped as users look
/// for them. It edits a copy; OK checks every number against its range (a value outside gets a
/// message naming the field and the range, and the focus) before Result() holds anything new.
class COptionsDlg final : public QDialog {
    Q_OBJECT
public:
    /// The pages, in their order.
    enum Page {
        General,
        Display,
        ColoursFonts,
        Reminders,
        Todos,
        Sharing,
        Backups,
        Languages,
        PageCount
    };

    COptionsDlg(const CSettings& settings, OptionsContext context, QWidget* parent = nullptr);
    ~COptionsDlg() override;

    /// The settings as the user left them; the ones passed in until OK succeeded.
    const CSettings& Result() const { return m_result; }
    /// True when the user removed the stored FTP password.
    bool PasswordRemoved() const { return m_passwordRemoved; }

    void ShowPage(Page page);
    QStackedWidget* Pages() const { return m_pages; }

public slots:
    void accept() override;

private:
    /// A number field with its range, as OK checks it.
    struct NumberField {
        QLineEdit* edit = nullptr;
        uint32_t label = 0; ///< string id of the field's name
        int32_t low = 0;
        int32_t high = 0;
        int32_t CSettings::*member = nullptr;
    };

    QWidget* BuildGeneral();
    QWidget* BuildDisplay();
    QWidget* BuildColoursFonts();
    QWidget* BuildReminders();
    QWidget* BuildTodos();
    QWidget* BuildSharing();
    QWidget* BuildBackups();
    QWidget* BuildLanguages();

    QCheckBox* Check(bool CSettings::*member, uint32_t text, const char* name);
    QLineEdit* Number(int32_t CSettings::*member, uint32_t label, int32_t low, int32_t high,
                      const char* name);
    QPushButton* ColourButton(uint32_t CSettings::*member, const char* name);
    QPushButton* FontButton(LogFont CSettings::*member, const char* name);
    void ShowFont(QPushButton* button, const LogFont& font);
    void UpdateEnabled();
    /// The settings as the controls show them; false with the message shown when a number is
    /// out of range.
    bool Collect(CSettings& settings);

    CSettings m_result;
    CSettings m_edit; // colours and fonts chosen so far
    OptionsContext m_context;
    bool m_passwordRemoved = false;

    QListWidget* m_list = nullptr;
    QStackedWidget* m_pages = nullptr;
    std::vector<std::pair<QCheckBox*, bool CSettings::*>> m_checks;
    std::vector<NumberField> m_numbers;

    // General
    QButtonGroup* m_loadFile = nullptr;
    QLineEdit* m_defaultFile = nullptr;
    QButtonGroup* m_startView = nullptr;
    QComboBox* m_defaultView = nullptr;
    QLineEdit* m_homepage = nullptr;
    // Display
    QComboBox* m_weekStart = nullptr;
    QComboBox* m_weekLayout = nullptr;
    QComboBox* m_fortnightLayout = nullptr;
    QCheckBox* m_doneStruck = nullptr;
    QCheckBox* m_doneGrey = nullptr;
    QCheckBox* m_doneInverse = nullptr;
    QCheckBox* m_clock24 = nullptr;
    bool m_clock24Shown = false; ///< its state when the dialog opened: unchanged keeps the setting
    // Reminders
    QTimeEdit* m_snoozeTime = nullptr;
    // Sharing
    QButtonGroup* m_network = nullptr;
    QLineEdit* m_sharedFile = nullptr;
    QLineEdit* m_ftpServer = nullptr;
    QLineEdit* m_ftpLogin = nullptr;
    QLineEdit* m_ftpPassword = nullptr;
    QPushButton* m_removePassword = nullptr;
    QLineEdit* m_ftpFile = nullptr;
    QButtonGroup* m_syncType = nullptr;
    QCheckBox* m_writeChanges = nullptr;
    QCheckBox* m_writeDeletions = nullptr;
    // Enabled by the choices above them.
    std::vector<QWidget*> m_defaultFileRow; // standard event file
    std::vector<QWidget*> m_sharedFileRow;  // network path
    QWidget* m_ftpBox = nullptr;            // FTP server
    QWidget* m_syncBox = nullptr;           // either place
    QCheckBox* m_snoozeFixed = nullptr;
    // Languages
    QListWidget* m_languages = nullptr;
};

/// The Options command: the dialog on a copy of the settings, the start-with-the-system option
/// shown as the real entry has it; on OK the frame applies the result.
void RunOptionsDialog(CDayvaultApp& app, CMainFrame& frame);

} // namespace dv
