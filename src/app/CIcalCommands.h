#pragma once

#include "ical/IcalCalendar.h"

#include <QDialog>
#include <filesystem>
#include <string>
#include <string_view>

class QLabel;
class QTreeWidget;

namespace dv {

class CDayvaultApp;
class CMainFrame;

/// The MIME type of iCalendar data on the clipboard and in drops.
inline constexpr const char* kIcalMimeType = "text/calendar";

/// The window after an import: one line of counts, then every added, updated, approximated
/// (with its reasons) and skipped entry. Not modal, so that the user can look at the calendar
/// beside it.
class CIcalImportReportDlg final : public QDialog {
    Q_OBJECT
public:
    CIcalImportReportDlg(const std::string& sourceName, const ical::ImportReport& report,
                         QWidget* parent);

    QLabel* Summary() const { return m_summary; }
    QTreeWidget* Entries() const { return m_entries; }

private:
    QLabel* m_summary = nullptr;
    QTreeWidget* m_entries = nullptr;
};

/// Imports `text` into the open document as one undo step (events and to-dos each), notes the
/// original UIDs beside the event file, and lets the approvals ask before the first run of an
/// action that arrived with it. Throws ical::IcalError (the document unchanged) when `text` is
/// not a calendar.
ical::ImportReport ImportIcalIntoDocument(CDayvaultApp& app, std::string_view text);

/// Imports `text` (named `sourceName` in messages) and shows the report window; a calendar that
/// cannot be read is a message naming it. Returns the report window, or null after an error.
CIcalImportReportDlg* ImportIcalWithReport(CDayvaultApp& app, std::string_view text,
                                           const std::string& sourceName);

/// Reads the file and imports it as above; an unreadable file is a message naming it.
CIcalImportReportDlg* ImportIcalFile(CDayvaultApp& app, const std::filesystem::path& file);

/// One event or to-do of the document (by GUID) as a calendar, for the clipboard; empty when
/// the document has no such entry.
std::string EntryAsIcal(CDayvaultApp& app, const std::string& guid);

/// Installs the handlers of File > Import > iCalendar and File > Export > iCalendar, and lets
/// the main window take .ics files dropped onto it.
void RegisterIcalCommands(CMainFrame& frame, CDayvaultApp& app);

/// A file that is taken for a calendar (by its extension: .ics, .ical, .icalendar).
bool IsIcalFile(const std::filesystem::path& file);
/// A calendar given on the command line: asks whether to import it into the open event file
/// and does so, with the report.
void OfferIcalImport(CDayvaultApp& app, const std::filesystem::path& file);

} // namespace dv
