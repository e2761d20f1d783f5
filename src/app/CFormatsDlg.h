#pragma once

#include "core/CDateTime.h"
#include "format/FormatSettings.h"
#include "settings/CSettings.h"

#include <QDialog>
#include <QList>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace dv {

class CDateEntry;
class CDayvaultApp;
class CMainFrame;
class CTodoEntry;

/// "Internal Formats": every text and date-time format of the settings on seven pages (General,
/// Clipboard, Tooltips, Calendar, ToDo's, Headers, Misc), each group with a "Default" button
/// that puts the default texts of the active language back into its fields. Under every field
/// a preview shows the format rendered by the real formatters on a sample event or to-do (or on
/// the current date and time for date codes), and a note names what the format probably does
/// not mean (a token that is no placeholder, an unknown date code); neither ever stops typing,
/// since every format is valid text.
class CFormatsDlg final : public QDialog {
    Q_OBJECT
public:
    /// A format member of the settings.
    using Member = std::string CSettings::*;

    /// Shows the format values of `settings`; the previews use the date-time of the installed
    /// clock at this moment.
    explicit CFormatsDlg(const CSettings& settings, QWidget* parent = nullptr);
    ~CFormatsDlg() override;

    /// Writes every field into `settings`: the format keys only, the other keys stay. A field
    /// that still shows its value as it was opened gives back that value unchanged; an edited
    /// placeholder format stores each line break as CR LF.
    void ApplyTo(CSettings& settings) const;
    /// The value that field `member` holds now, as ApplyTo would store it.
    std::string Value(Member member) const;

    // ---- For tests and the screenshots
    QTabWidget* Pages() const { return m_pages; }
    /// The edit field of `member` (a QLineEdit or a QPlainTextEdit), or null.
    QWidget* Editor(Member member) const;
    QLabel* Preview(Member member) const;
    QLabel* Problems(Member member) const;
    /// The "Default" buttons of page `page` (0..6), from the top.
    QList<QPushButton*> DefaultButtons(int page) const;

protected:
    void changeEvent(QEvent* event) override;

private:
    enum class Kind : unsigned char {
        DateCodes,   // codes of CDateTime::Format
        EventFormat, // placeholders of an event, for one variant of the day
        TodoFormat,  // placeholders of a to-do
        PlainText,   // the state values
    };
    struct Field;
    struct FieldInfo {
        Member member;
        uint32_t labelId;
        Kind kind;
        int variant = 0; // EventFormat: the variant of the day (FormatVariant)
    };

    QWidget* MakePage();
    void AddHelp(uint32_t helpId);
    void AddGroup(QWidget* page, uint32_t titleId, const std::vector<FieldInfo>& infos);
    void AddEventGroup(QWidget* page, uint32_t titleId, Member normal, Member singleDay,
                       Member firstDay, Member middleDay, Member lastDay);
    const Field* Find(Member member) const;
    void MakeSamples();
    FormatSettings CurrentFormats() const;
    void RefreshPreviews();
    void ColourNotes();
    void RefreshField(Field& field, const FormatSettings& formats);

    CSettings m_settings;
    CDateTime m_now;
    std::unique_ptr<CDateEntry> m_timedEvent;
    std::unique_ptr<CDateEntry> m_allDayEvent;
    std::unique_ptr<CDateEntry> m_multiDayEvent;
    std::unique_ptr<CTodoEntry> m_todo;
    std::vector<std::unique_ptr<Field>> m_fields;
    QTabWidget* m_pages = nullptr;
    QHBoxLayout* m_lastButtonRow = nullptr; // of the group added last
    bool m_refreshing = false;
};

/// Extras > Internal Formats: the dialog on the program's settings. OK stores the formats,
/// saves the settings and, when anything changed, shows the new texts everywhere: the time bar,
/// the notification icon's tooltip and the reminder window at once, the pages by hints 0 and 15.
/// Cancel changes nothing.
void RunInternalFormatsCommand(CDayvaultApp& app, CMainFrame& frame);

} // namespace dv
