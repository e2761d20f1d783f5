#pragma once

#include "app/CDateEditSheet.h"
#include "core/TodoData.h"

#include <QDialog>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimeEdit;

namespace dv {

/// The to-do editor "Edit ToDo" ("New ToDo" for a new one): edits one TodoData and refuses an empty
/// group or description.
class CTodoEditDlg final : public QDialog {
    Q_OBJECT
public:
    /// `groups` fills the group box's list (the document's existing groups).
    CTodoEditDlg(const TodoData& data, const std::vector<std::string>& groups,
                 const EditorServices& services, QWidget* parent = nullptr);

    /// The edited data after OK.
    const TodoData& GetData() const { return m_data; }
    /// For a to-do that does not exist yet: titled "New ToDo", and with no group of its own the
    /// first group of the list is chosen.
    void ShowAsNew();

    void accept() override;

    QComboBox* group = nullptr;
    QLineEdit* description = nullptr;
    QPlainTextEdit* notes = nullptr;
    QCheckBox* share = nullptr;
    QCheckBox* deadline = nullptr;
    QDateEdit* date = nullptr;
    QCheckBox* timeOn = nullptr;
    QTimeEdit* time = nullptr;
    QCheckBox* forewarn = nullptr;
    QComboBox* span = nullptr;
    QComboBox* unit = nullptr;
    QButtonGroup* priority = nullptr; // ids 0..9
    QCheckBox* associate = nullptr;
    QLineEdit* documentFile = nullptr;
    QPushButton* browse = nullptr;

private:
    void UpdateEnabling();

    TodoData m_data;
    EditorServices m_services;
};

} // namespace dv
