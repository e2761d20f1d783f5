#pragma once

#include "app/CYearPanel.h"
#include "app/CalendarHost.h"
#include "document/DocumentObserver.h"
#include "format/FormatSettings.h"

#include <QPixmap>
#include <QWidget>
#include <array>
#include <map>
#include <optional>
#include <vector>

namespace dv {

class CDateEntry;
class CDayList;

/// The year page: the year grid above the list of the selected day.
class CYearPage final : public QWidget, public IDocumentObserver {
    Q_OBJECT
public:
    explicit CYearPage(const CalendarHost& host, QWidget* parent = nullptr);
    ~CYearPage() override;

    CYearPanel* Panel() const { return m_panel; }
    CDayList* DayList() const { return m_list; }
    /// How often the grid was counted afresh (for tests and diagnostics).
    int Rebuilds() const { return m_rebuilds; }

    // ---- IDocumentObserver
    void OnUpdate(UpdateHint hint, const HintObject& object) override;
    void OnInitialUpdate() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool Deferred() const;
    /// Brings a page that skipped updates while it was not shown up to date.
    void CatchUp();
    void Rebuild();
    void MarkEvents();
    /// Lists the selected day: from `candidates` (the events the last marking found on it), or
    /// from every event.
    void FillDayList(const std::vector<CDateEntry*>* candidates = nullptr);
    void ApplyOptions();
    void WheelPaging(int delta);
    QString DayTooltip(const CDateTime& date);
    /// The end of a turn of the event loop that brought per-event hints: the one recount for
    /// those that came after the first.
    void EndOfTurn();

    CalendarHost m_host;
    CYearPanel* m_panel = nullptr;
    CDayList* m_list = nullptr;
    FormatSettings m_formats;
    std::vector<CDateEntry*> m_selectedDayEvents;
    int m_wheelSum = 0;
    bool m_pendingRebuild = false; ///< a hint came while the page was not shown
    bool m_rebuiltThisTurn = false; ///< a per-event hint was handled in this turn already
    bool m_batchPending = false;    ///< later ones of the turn wait for EndOfTurn
    int m_rebuilds = 0;
};

} // namespace dv
