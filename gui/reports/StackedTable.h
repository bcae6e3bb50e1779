#pragma once

#include "gui/widgets/ComplexTableWnd.h"

namespace strikeline {

class CMultiTableView;

// A table stacked in a CMultiTableView. Moving the selection past its first or last row
// continues in the table above or below, and a table that gets the focus becomes the
// view's active table, so only one cell of the whole view is ever current. Without a view
// (a preview standing on its own) it behaves as a plain table.
class CStackedTable : public CComplexTableWnd {
    Q_OBJECT

public:
    explicit CStackedTable(CMultiTableView* view, QWidget* parent = nullptr);

    CMultiTableView* View() const { return m_View; }

    bool MoveSelection(int row, int column, TableDirection direction) override;
    void OnTableFocus() override;

private:
    CMultiTableView* m_View;
};

} // namespace strikeline
