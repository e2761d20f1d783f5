#pragma once

#include "export/DayListing.h"

#include <QFont>
#include <QFontMetrics>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class QScrollBar;

namespace dv {

/// One day of a calendar page: a caption band with the date and its holidays, and below it a
/// scrolling list of the day's entries, one line each. It draws what the page puts in and
/// reports what the user does; it never reads the document or the settings itself.
class CDayList final : public QWidget {
    Q_OBJECT
public:
    /// The caption band: its text, colour and fonts, and the day's holiday texts.
    struct Caption {
        CDateTime date;
        QString text;
        QColor color;
        QFont font;
        QFont holidayFont;
        QStringList holidays;
    };

    explicit CDayList(QWidget* parent = nullptr);

    void SetCaption(Caption caption);
    const Caption& GetCaption() const { return m_caption; }
    /// Only the caption colour, for a change of the selection or of today.
    void SetCaptionColor(const QColor& color);
    /// Holiday lines below the date instead of beside it.
    void SetHolidaysBelowDate(bool below);
    void SetEntryFont(const QFont& font);
    /// The wheel pages the calendar (the page handles it) instead of scrolling the list.
    void SetWheelPages(bool pages) { m_wheelPages = pages; }

    /// Replaces the entries, which must be in entry order, and hands back the old ones.
    std::vector<DayEntry> SetEntries(std::vector<DayEntry> entries);
    /// Inserts an entry at its place in entry order, after its equals.
    void InsertEntry(DayEntry entry);
    /// Removes the entries of the event at `event` (compared as an address only); true when
    /// there were any.
    bool RemoveEntriesOf(const void* event);
    /// The entries; an entry's text may still be empty when a text source is set (EntryText).
    const std::vector<DayEntry>& Entries() const { return m_entries; }
    /// Formats an entry whose text is empty, when it is first shown (the page lists texts only
    /// for the lines a cell shows).
    using TextSource = std::function<std::string(const DayEntry& entry, const CDateTime& day)>;
    void SetTextSource(TextSource source) { m_textSource = std::move(source); }
    /// The text of entry `index`, formatted now if it was left for later.
    const std::string& EntryText(size_t index);
    /// Formats an entry's text without its end time, for a line too narrow for the whole text
    /// (none: such lines are only cut).
    void SetShortTextSource(TextSource source) { m_shortTextSource = std::move(source); }
    /// Entry `index`'s line as it is drawn at the control's present width: the whole text when it
    /// fits, else the text without the end time, cut with an ellipsis when that does not fit
    /// either.
    QString ShownLine(int index);

    int SelectedIndex() const { return m_selected; }
    /// Selects entry `index` (-1: none) as a click would, telling the page.
    void SelectEntry(int index);
    /// Drops the selection without telling anyone: another day's entry became the selected one.
    void ClearSelection();
    int CaptionHeight() const;
    int LineHeight() const;
    int FirstVisibleLine() const;

    /// An entry's text as a line shows it in `font`: whole when it fits in `width` pixels,
    /// otherwise cut with an ellipsis at the end.
    static QString ElidedLine(const QFont& font, const std::string& text, int width);

    /// The tooltip of the caption (true) or of the entry area (false); empty: none.
    std::function<QString(bool caption)> tooltipText;

signals:
    /// An entry was selected (null event: none); the date is the occurrence start.
    void EntrySelected(dv::CDateEntry* event, const dv::CDateTime& occurrence);
    /// A click anywhere in the control: its day was picked.
    void DayClicked(const dv::CDateTime& day);
    /// A double-click on an entry (edit) or elsewhere (new).
    void EditRequested();
    void NewRequested();
    void ContextMenuRequested(const QPoint& globalPos);
    /// The wheel turned while it pages the calendar (angle in eighths of a degree).
    void WheelPaging(int delta);
    /// The control got the keyboard focus.
    void Focused();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void UpdateScrollBar();
    void EnsureVisible(int index);
    int EntryAt(int y) const;
    QRect LineRect(int index) const;
    /// Where entry `index`'s text goes within its line rectangle `line`.
    QRect TextRect(int index, const QRect& line) const;
    void UpdateAccessibleName();
    /// The entry font with an entry's style bits, made once per font.
    struct StyledFont {
        QFont font;
        QFontMetrics metrics;
        std::array<qreal, 128> asciiAdvance;
        qreal ellipsisAdvance;
    };
    const StyledFont& FontFor(int32_t style) const;
    static StyledFont MakeStyledFont(const QFont& font);
    /// `text` cut to `width` pixels with an ellipsis at the end when it does not fit.
    static QString Elided(const StyledFont& styled, const std::string& text, int width);

    Caption m_caption;
    QFont m_entryFont;
    mutable std::array<std::optional<StyledFont>, 8> m_styledFonts;
    bool m_holidaysBelow = false;
    std::vector<DayEntry> m_entries;
    TextSource m_textSource;
    TextSource m_shortTextSource;
    int m_selected = -1;
    int m_focusLine = 0;
    int m_wheelSum = 0;
    bool m_wheelPages = true;
    QScrollBar* m_scroll = nullptr;
};

} // namespace dv
