#include "gui/plan/PlanCellColorSelector.h"

#include "gui/plan/TradingPlanTable.h"

namespace strikeline {

CPlanCellColorSelector::CPlanCellColorSelector(CTradingPlanTable& table, int row, int column,
                                               const CTradingPlanEntry* entry,
                                               std::vector<Color> colours)
    // A window of its own (it may reach past the table), owned by the table: it goes with it.
    : CColorSelectorWnd(std::move(colours), &table), m_Table(&table), m_Row(row), m_Column(column),
      m_Entry(entry) {}

void CPlanCellColorSelector::OnColourSelected(int index) {
    if (m_Table) {
        m_Table->ApplyCellColour(m_Row, m_Column, m_Entry, index);
    }
}

} // namespace strikeline
