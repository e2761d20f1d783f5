#pragma once

#include "app/UiText.h"
#include "core/CDateTime.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QRadioButton;
class QTimeEdit;
class QWidget;

namespace dv {

struct DateData;
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
/// The same without the sign removed.
int32_t ReadNumber(const QString& text);
/// Sets up a date or time edit to show `format` (a "%" format of the settings); a time edit
/// also takes "a" or "p" typed into its AM/PM part.
void ApplyPickerFormat(QWidget* picker, const std::string& format, bool time);
CDateTime PickedDateTime(const QDateEdit* date, const QTimeEdit* time);
void ShowDateTime(QDateEdit* date, QTimeEdit* time, const CDateTime& value);
/// A new event on today's date (that of `now`) starts at the next full hour with the template's
/// length, as a meeting typed in now is meant for the coming hours; other days keep the
/// template's times, and so does today once the next full hour would fall on tomorrow.
void StartAtNextHourToday(DateData& data, const CDateTime& now);
/// Fills a combo box with the "|"-separated entries of string `id`.
void FillList(QComboBox* box, uint32_t id);

namespace editor {

// Small builders and readers shared by the editor dialogs.
using dv::Text;
/// An editable box offering `values` (a count typed or chosen).
QComboBox* CountBox(const QStringList& values);
/// A drop-down list of the "|"-separated entries of string `id`.
QComboBox* ListBox(uint32_t id);
void ShowCount(QComboBox* box, int32_t value);
/// The id of the checked button, 0 when none is checked.
int Checked(const QButtonGroup* group);
/// Checks the button `id`, the first one when there is no such button.
void Check(QButtonGroup* group, int id);
QRadioButton* Radio(QButtonGroup* group, uint32_t text, int id);
/// A path from the open dialog with filter string `filter`, starting at `start`; empty when
/// cancelled.
QString BrowseFrom(const EditorServices& services, QWidget* parent, uint32_t filter,
                   const QString& start);

} // namespace editor

} // namespace dv
