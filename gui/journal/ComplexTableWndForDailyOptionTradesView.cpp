#include "gui/journal/ComplexTableWndForDailyOptionTradesView.h"

#include "gui/journal/DailyOptionTradesView.h"

namespace strikeline {

CComplexTableWndForDailyOptionTradesView::CComplexTableWndForDailyOptionTradesView(
    CDailyOptionTradesView& view, QWidget* parent)
    : CComplexTableWnd(parent), m_View(view) {}

bool CComplexTableWndForDailyOptionTradesView::MoveSelection(int row, int column,
                                                             TableDirection direction) {
    const bool moved = CComplexTableWnd::MoveSelection(row, column, direction);
    const bool upward = direction == TableDirection::Up || direction == TableDirection::PageUp ||
                        direction == TableDirection::Previous;
    if (!moved && upward) {
        m_View.ScrollToTopLeft();
    }
    m_View.EnsureCellVisible(CurrentRow(), CurrentColumn());
    return moved;
}

void CComplexTableWndForDailyOptionTradesView::CommitEditedText(int row, int column,
                                                                const QString& text) {
    // Edits of any other cell are dropped; a refused figure leaves the cell as it was.
    if (column != CDailyOptionTradesView::kAverageTradesColumn) {
        return;
    }
    QString shown;
    if (m_View.TakeAverageTrades(row, text, shown)) {
        SetText(row, column, shown, true);
    }
}

} // namespace strikeline
