#pragma once

#include "app/ExportControls.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;

namespace dv {

/// "CSV-Export": the to-do list or the calendar of a range of days into a CSV file, with the
/// columns of the "Formats for CSV-Export" settings. The text is built with the export of the
/// core; a save dialog then asks for the file. A file that cannot be written is named in a
/// message, keeps what it held, and the dialog stays open.
class CCsvExportDlg final : public QDialog {
    Q_OBJECT
public:
    /// `todoView`: the to-do page is shown, so the to-do kind is chosen at first.
    CCsvExportDlg(const ExportServices& services, bool todoView, QWidget* parent = nullptr);

    QButtonGroup* kind = nullptr; ///< ids kCsvKindTodo, kCsvKindCalendar
    QDateEdit* start = nullptr;
    QComboBox* length = nullptr;
    QLabel* range = nullptr;
    QPushButton* options = nullptr;
    QPushButton* exportButton = nullptr;
    QPushButton* cancel = nullptr;

private:
    void UpdateRange();
    void OpenOptions();
    void Export();

    ExportServices m_services;
};

} // namespace dv
