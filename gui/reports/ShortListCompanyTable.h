#pragma once

#include "gui/reports/StackedTable.h"

namespace strikeline {

class CShortListBlockTable;

// The company header inside a Short List block: titles over the share's figures, the
// company name as a link to its trend chart and, under "Close", the box that takes the
// company off the Short List (asking first when the Trading Plan holds its options).
class CShortListCompanyTable : public CStackedTable {
    Q_OBJECT

public:
    static constexpr int kTitleRow = 0;
    static constexpr int kValueRow = 1;
    static constexpr int kNameColumn = 0;

    explicit CShortListCompanyTable(CShortListBlockTable& block, QWidget* parent = nullptr);

    CShortListBlockTable& Block() const { return m_Block; }
    // The close box is the last cell of the value row.
    int CloseColumn() const { return CellCount(kValueRow) - 1; }

    void OnLeftButtonDown(int row, int column, const QPoint& point,
                          Qt::KeyboardModifiers modifiers) override;
    bool MayToggleCheckBox(int row, int column) override;
    void OnCheckBoxToggled(int row, int column) override;

private:
    CShortListBlockTable& m_Block;
};

} // namespace strikeline
