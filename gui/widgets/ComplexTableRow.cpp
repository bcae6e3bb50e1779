#include "gui/widgets/ComplexTableRow.h"

#include <algorithm>

namespace strikeline {

int CComplexTableRow::FindCell(QStringView name) const {
    const auto found =
        std::find_if(m_Cells.begin(), m_Cells.end(),
                     [name](const CComplexTableCell& cell) { return cell.m_Name == name; });
    return found == m_Cells.end() ? -1 : static_cast<int>(found - m_Cells.begin());
}

} // namespace strikeline
