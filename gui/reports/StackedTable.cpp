#include "gui/reports/StackedTable.h"

#include "gui/reports/MultiTableView.h"

namespace strikeline {

CStackedTable::CStackedTable(CMultiTableView* view, QWidget* parent)
    : CComplexTableWnd(parent), m_View(view) {}

bool CStackedTable::MoveSelection(int row, int column, TableDirection direction) {
    if (CComplexTableWnd::MoveSelection(row, column, direction)) {
        return true;
    }
    return m_View != nullptr && m_View->MoveSelectionOut(*this, column, direction);
}

void CStackedTable::OnTableFocus() {
    if (m_View != nullptr) {
        m_View->SetActiveTable(this);
    }
}

} // namespace strikeline
