#pragma once

#include "gui/widgets/ComplexTableWnd.h"

#include <QPointer>
#include <vector>

namespace strikeline {

class CColorSelectorWnd;
class CTradingPlanView;
struct CTradingPlanEntry;

// The plan's table: its hooks turn clicks, keys and typing into changes of the plan rows,
// which the view carries out. The view owns the table and outlives it.
class CTradingPlanTable : public CComplexTableWnd {
    Q_OBJECT

public:
    explicit CTradingPlanTable(CTradingPlanView& view, QWidget* parent = nullptr);

    // The open colour popup, if any.
    CColorSelectorWnd* ColourSelector() const;
    // Opens the colour popup of a data cell at a point of the screen.
    void ShowColourSelector(int row, int column, const QPoint& globalPoint);
    // The popup's choice: stored as the cell's colour when the row still shows `entry`.
    void ApplyCellColour(int row, int column, const CTradingPlanEntry* entry, int index);

    // Rows marked as chosen together, drawn over in the selection colour on the screen.
    void SetMarkedRows(std::vector<int> rows);
    const std::vector<int>& MarkedRows() const { return m_MarkedRows; }

    void OnLeftButtonDown(int row, int column, const QPoint& point,
                          Qt::KeyboardModifiers modifiers) override;
    void OnRightButtonDown(int row, int column, const QPoint& point,
                           Qt::KeyboardModifiers modifiers) override;
    void OnCornerMarkerClicked(int row, int column, const QPoint& point,
                               Qt::KeyboardModifiers modifiers) override;
    bool MoveSelection(int row, int column, TableDirection direction) override;
    bool MayToggleCheckBox(int row, int column) override;
    void OnCheckBoxToggled(int row, int column) override;
    void CommitEditedText(int row, int column, const QString& text) override;

protected:
    // A Warnings cell shows its whole text as its tooltip, however much of it fits.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The charts menu of a row's company and expiry cells and of a company's heading.
    void ShowChartsMenu(int row, int column, const QPoint& point);

    CTradingPlanView& m_View;
    QPointer<CColorSelectorWnd> m_ColourSelector;
    std::vector<int> m_MarkedRows;
};

} // namespace strikeline
