#pragma once

#include "gui/widgets/ComplexTableWnd.h"

namespace strikeline {

class CDividendsView;

// The table of the Dividends window. Only Average Trades cells take typed text; a move
// that hits the top of the table scrolls the window back to its corner so that the title
// rows show again, and every move keeps the current cell in view.
class CDividendsGrid : public CComplexTableWnd {
    Q_OBJECT

public:
    explicit CDividendsGrid(CDividendsView& view, QWidget* parent = nullptr);

    bool MoveSelection(int row, int column, TableDirection direction) override;
    void CommitEditedText(int row, int column, const QString& text) override;

private:
    CDividendsView& m_View;
};

} // namespace strikeline
