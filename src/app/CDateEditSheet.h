#pragma once

#include "core/CDateEntry.h"
#include "core/DateData.h"

#include <QDialog>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QDialogButtonBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTimeEdit;
class QToolButton;

namespace dv {

class CSettings;
class IFileDialogs;
class IPrompt;
class IProfileStore;
class ISoundPlayer;

/// What the editor pages need from the program: the formats of the pickers, the messages, the
/// file dialogs, the sound player and the store that keeps the colour chooser's custom colours.
struct EditorServices {
    const CSettings* settings = nullptr;
    IPrompt* prompt = nullptr;
    IFileDialogs* fileDialogs = nullptr;
    ISoundPlayer* sound = nullptr;
    IProfileStore* store = nullptr;
    /// Asks for a name (title, label, proposal); nullopt when cancelled. Empty: an input dialog.
    std::function<std::optional<std::string>(const std::string&, const std::string&,
                                             const std::string&)>
        askName;
};

/// Reads a number typed into one of the editors' boxes: the C library's decimal conversion,
/// stored as its absolute value; text that is no number gives 0.
int32_t ReadCount(const QString& text);
/// Sets up a date or time edit to show `format` (a "%" format of the settings).
void ApplyPickerFormat(QWidget* picker, const std::string& format, bool time);
CDateTime PickedDateTime(const QDateEdit* date, const QTimeEdit* time);
void ShowDateTime(QDateEdit* date, QTimeEdit* time, const CDateTime& value);
/// Fills a combo box with the "|"-separated entries of string `id`.
void FillList(QComboBox* box, uint32_t id);

class CDateEditSheet;

/// The "Description" page: category, texts, display, start and end, reminder and sound.
class CDateEditPage1 final : public QWidget {
    Q_OBJECT
public:
    CDateEditPage1(CDateEditSheet& sheet, int mode, const EditorServices& services);
    void ShowData(const DateData& data);
    void StoreData(DateData& data) const;
    void UpdateEnabling();

    QComboBox* categoryBox = nullptr;
    QToolButton* newCategory = nullptr;
    QToolButton* deleteCategory = nullptr;
    QToolButton* renameCategory = nullptr;
    QLineEdit* description = nullptr;
    QPlainTextEdit* notes = nullptr;
    QCheckBox* share = nullptr;
    QButtonGroup* display = nullptr;
    QPushButton* fieldColor = nullptr;
    QPushButton* textColor = nullptr;
    QDateEdit* startDate = nullptr;
    QCheckBox* startTimeOn = nullptr;
    QTimeEdit* startTime = nullptr;
    QCheckBox* endOn = nullptr;
    QDateEdit* endDate = nullptr;
    QTimeEdit* endTime = nullptr;
    QCheckBox* reminder = nullptr;
    QComboBox* reminderSpan = nullptr;
    QComboBox* reminderUnit = nullptr;
    QCheckBox* silent = nullptr;
    QCheckBox* sound = nullptr;
    QLineEdit* soundFile = nullptr;
    QPushButton* soundBrowse = nullptr;
    QToolButton* play = nullptr;
    QRadioButton* endless = nullptr;
    QRadioButton* repeatSound = nullptr;
    QComboBox* soundCount = nullptr;

private:
    void StartChanged();
    void EndChanged();
    void ChooseColor(bool field);
    void ShowColors();

    CDateEditSheet& m_sheet;
    int m_mode;
    EditorServices m_services;
    int64_t m_duration = 0; // end - start in seconds, kept while the start moves
    uint32_t m_fieldColor = 0;
    uint32_t m_textColor = 0;
};

/// The "Repetition" page: the rule, its end and the additional conditions.
class CDateEditPage2 final : public QWidget {
    Q_OBJECT
public:
    CDateEditPage2(int mode, const EditorServices& services);
    void ShowData(const DateData& data);
    void StoreData(DateData& data) const;
    void UpdateEnabling();

    QButtonGroup* repeat = nullptr;
    QComboBox* rate = nullptr;
    QComboBox* unit = nullptr;
    QComboBox* ordinal = nullptr;
    QComboBox* weekday = nullptr;
    QButtonGroup* end = nullptr;
    QComboBox* endCount = nullptr;
    QDateEdit* endDate = nullptr;
    QTimeEdit* endTime = nullptr;
    std::vector<QCheckBox*> weekdays; // Monday first
    std::vector<QCheckBox*> months;   // January first
    QPushButton* setAll = nullptr;
    QPushButton* clearAll = nullptr;

private:
    int m_mode;
};

/// The "Action" page: what the reminder does, overdue execution and snoozing.
class CDateEditPage3 final : public QWidget {
    Q_OBJECT
public:
    explicit CDateEditPage3(const EditorServices& services);
    void ShowData(const DateData& data);
    void StoreData(DateData& data) const;
    void UpdateEnabling();

    QButtonGroup* action = nullptr;
    QCheckBox* ackOpen = nullptr;
    QLineEdit* document = nullptr;
    QPushButton* documentBrowse = nullptr;
    QCheckBox* ackExecute = nullptr;
    QLineEdit* command = nullptr;
    QPushButton* commandBrowse = nullptr;
    QLineEdit* parameter = nullptr;
    QPushButton* parameterBrowse = nullptr;
    QButtonGroup* overdue = nullptr;
    QComboBox* executeSpan = nullptr;
    QComboBox* executeUnit = nullptr;
    QButtonGroup* snoozeType = nullptr;
    QComboBox* snoozeSpan = nullptr;
    QComboBox* snoozeUnit = nullptr;

private:
    EditorServices m_services;
};

/// The event editor: mode 0 edits the category templates, mode 1 enters a new event, mode 2
/// edits an existing one. All three pages work on one DateData that the sheet holds.
class CDateEditSheet final : public QDialog {
    Q_OBJECT
public:
    enum Mode { EditCategories = 0, NewEvent = 1, EditEvent = 2 };

    CDateEditSheet(int mode, const EditorServices& services, QWidget* parent = nullptr);
    ~CDateEditSheet() override;

    /// The working data and the templates the category box offers; call both before exec().
    void SetData(const DateData& data);
    void SetTemplates(std::vector<std::unique_ptr<CDateEntry>> templates);
    const DateData& GetData() const { return m_data; }
    /// The template list, with what the sheet added or removed.
    std::vector<std::unique_ptr<CDateEntry>>& Templates() { return m_templates; }
    int SelectedTemplate() const { return m_selectedTemplate; }

    int Mode() const { return m_mode; }
    QTabWidget* Pages() const { return m_tabs; }
    CDateEditPage1* Page1() const { return m_page1; }
    CDateEditPage2* Page2() const { return m_page2; }
    CDateEditPage3* Page3() const { return m_page3; }

    // The category box's operations (the buttons of page 1).
    void CategorySelected(int boxIndex);
    void NewCategory();
    void RenameCategory();
    void DeleteCategory();

    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FillCategoryBox();
    int AddCategoryItem(const QString& name, int templateIndex);
    int FindCategory(const QString& name) const;
    void SelectBoxEntry(int boxIndex);
    void StoreAll();
    void ShowAll();
    bool NameIsFree(const std::string& name);
    std::optional<std::string> AskName(uint32_t title, uint32_t label, const std::string& proposal);

    int m_mode;
    EditorServices m_services;
    DateData m_data;
    std::vector<std::unique_ptr<CDateEntry>> m_templates;
    int m_selectedItem = -1;
    int m_selectedTemplate = -1;
    bool m_opened = false;

    QTabWidget* m_tabs = nullptr;
    CDateEditPage1* m_page1 = nullptr;
    CDateEditPage2* m_page2 = nullptr;
    CDateEditPage3* m_page3 = nullptr;
};

} // namespace dv
