#pragma once

#include "gui/plan/ColorSelectorWnd.h"

#include <QPointer>

namespace strikeline {

class CTradingPlanTable;
struct CTradingPlanEntry;

// The colour popup of a plan cell: remembers the table, the cell and the entry the cell
// showed when it opened, and hands the picked colour index back to the table, which
// ignores it when the table was rebuilt meanwhile and the cell holds another entry.
class CPlanCellColorSelector : public CColorSelectorWnd {
    Q_OBJECT

public:
    CPlanCellColorSelector(CTradingPlanTable& table, int row, int column,
                           const CTradingPlanEntry* entry, std::vector<Color> colours);

    int Row() const { return m_Row; }
    int Column() const { return m_Column; }

protected:
    void OnColourSelected(int index) override;

private:
    QPointer<CTradingPlanTable> m_Table;
    int m_Row;
    int m_Column;
    const CTradingPlanEntry* m_Entry;
};

} // namespace strikeline
