#include "gui/journal/DividendsGrid.h"

#include "gui/journal/DividendsView.h"

namespace strikeline {

CDividendsGrid::CDividendsGrid(CDividendsView& view, QWidget* parent)
    : CComplexTableWnd(parent), m_View(view) {}

bool CDividendsGrid::MoveSelection(int row, int column, TableDirection direction) {
    const bool moved = CComplexTableWnd::MoveSelection(row, column, direction);
    const bool upward = direction == TableDirection::Up || direction == TableDirection::PageUp ||
                        direction == TableDirection::Previous;
    if (!moved && upward) {
        m_View.ScrollToTopLeft();
    }
    m_View.EnsureCellVisible(CurrentRow(), CurrentColumn());
    return moved;
}

void CDividendsGrid::CommitEditedText(int row, int column, const QString& text) {
    // Edits of any other cell are dropped; a refused figure leaves the cell as it was.
    if (column != CDividendsView::kAverageTradesColumn) {
        return;
    }
    QString shown;
    if (m_View.TakeAverageTrades(row, text, shown)) {
        SetText(row, column, shown, true);
    }
}

} // namespace strikeline
