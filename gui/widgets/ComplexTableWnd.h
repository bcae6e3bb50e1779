#pragma once

#include "gui/widgets/ComplexTableCell.h"
#include "gui/widgets/ComplexTableRow.h"
#include "gui/widgets/TableNavigation.h"
#include "storage/Color.h"

#include <QColor>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace strikeline {

class CInPlaceEdit;
class CCellTextMeasurer;
struct CGridNeed;
struct CSchemeFont;

// The grid every report-like view draws with. A table is a list of rows and each row
// divides the table's width on its own, so one table can stack rows of different shapes
// (a company header over its series rows). A cell holds text, a check box or a whole
// embedded table. Views adapt the table by overriding the virtual hooks; the text hooks let
// a report format its figures only for the cells that are measured or drawn.
//
// Building calls take row and cell indexes and ignore indexes outside the table; the
// setters redraw the cell at once when asked. Calls that change the shape of the table
// (rows, cells, visibility, sizes, fonts) take effect at the next layout, which runs on a
// resize, before painting or handling input when anything changed, and when the owner asks.
class CComplexTableWnd : public QWidget {
    Q_OBJECT

public:
    using CCell = CComplexTableCell;
    using CRow = CComplexTableRow;

    // A table created inside another table takes the host's font (as Qt children do).
    explicit CComplexTableWnd(QWidget* parent = nullptr);
    ~CComplexTableWnd() override;

    // Building.
    // Adds a row at `index`, or at the end when `index` is outside the table; returns its
    // index. The current and the edited cell stay on the cells they were on.
    int AddRow(int index = -1);
    // Removes every row; editing is cancelled and the current cell cleared.
    void RemoveAllRows();
    // Makes room for `count` cells of the row in one block.
    void ReserveCells(int row, int count);
    // Returns the new cell's index, or -1 when there is no such row.
    int AddCell(int row, const QString& text, int divisions = 10, int span = 3,
                Color background = 0xFFFFFF, Color textColor = 0, bool selectable = true,
                bool editable = false);

    // Sets the text; a cell whose text comes from the hooks passes it to SetCellText.
    void SetText(int row, int column, const QString& text, bool redraw = false);
    // Sets the text of the first cell of the row with that name.
    void SetTextByName(int row, const QString& name, const QString& text, bool redraw = false);
    void SetName(int row, int column, const QString& name);
    void SetTextFromHook(int row, int column, bool fromHook, bool redraw = false);
    void SetMeasureText(int row, int column, bool measure);
    void SetCheckBox(int row, int column, bool ticked, bool redraw = false);
    // The table takes the embedded table over and places it over the cell.
    void SetEmbeddedTable(int row, int column, std::unique_ptr<CComplexTableWnd> table,
                          bool redraw = false);
    void SetBackground(int row, int column, Color color, bool redraw = false);
    void SetTextColor(int row, int column, Color color, bool redraw = false);
    void SetVisible(int row, int column, bool visible, bool redraw = false);
    void SetSelectable(int row, int column, bool selectable);
    void SetEditable(int row, int column, bool editable);
    void SetVertical(int row, int column, bool vertical, bool redraw = false);
    void SetCellFont(int row, int column, const QFont& font, bool redraw = false);
    // The scheme font, turned upright or vertical as it was made.
    void SetCellFont(int row, int column, const CSchemeFont& font, bool redraw = false);
    void SetFormat(int row, int column, int format, bool redraw = false);
    void SetCellCursor(int row, int column, const QCursor& cursor);
    void SetCornerMarker(int row, int column, int size, Color color, bool redraw = false);
    void SetDivisions(int row, int column, int divisions, int span);
    void SetFixedHeight(int row, int column, int height);
    void SetBorders(int row, int column, int left, int right, int top, int bottom, Color color,
                    bool redraw = false);
    void SetMargins(int row, int column, const QMargins& margins);
    void SetRowValue(int row, std::uintptr_t value);

    std::uintptr_t RowValue(int row) const;
    // The cell's rectangle from the last layout; empty for an index outside the table.
    QRect CellRect(int row, int column) const;
    int RowHeight(int row) const;
    int RowCount() const { return static_cast<int>(m_Rows.size()); }
    int CellCount(int row) const;
    // Direct access to every field; null outside the table. Changing the shape of a cell
    // this way needs a RecalcLayout.
    CCell* Cell(int row, int column);
    const CCell* Cell(int row, int column) const;
    CRow* Row(int row);
    const CRow* Row(int row) const;

    // The current cell. An index outside the table clears it; the old and the new cell are
    // redrawn when they differ.
    void SetCurrentCell(int row, int column);
    int CurrentRow() const { return m_CurrentRow; }
    int CurrentColumn() const { return m_CurrentColumn; }

    // The first visible, selectable and editable cell in reading order, if any.
    std::optional<CTableCellIndex> FirstEditableCell() const;

    // Layout.
    void RecalcLayout(int width);
    // The narrowest width at which every cell shows its whole text, measured in the fonts
    // in use: no word of a wrapping text and no line of another is wider than its cell.
    // Narrower tables cut texts with "…"; the views scroll sideways instead.
    int MinimumLayoutWidth();
    // The height the rows need at that width (the table is laid out for it).
    int TotalHeight(int width);
    // Columns sized by their texts: the rows that share the table's most common division
    // into units (all rows of a plain grid) give each unit a width of its own, no narrower
    // than the texts over it need, and share the rest of the width equally. Off by
    // default: cells then take their share of the width by divisions and spans alone.
    // An embedded table whose units match its host cell's stands over the host's columns.
    void SetFitColumnsToText(bool fit);
    // The last row grows so that the rows reach the bottom of the table (on by default).
    void SetStretchLastRow(bool stretch);
    // The height a page move covers; -1 (the default) takes the visible part of the table:
    // the viewport of the scroll area it sits in, else its own height.
    void SetVisibleHeight(int height) { m_VisibleHeight = height; }
    int VisibleHeight() const;
    // The cell under a point of the table, if any.
    std::optional<CTableCellIndex> CellAt(const QPoint& point) const;

    // Printing repeats this many leading rows at the top of every page the table runs on.
    void SetPrintedHeaderCount(int count) { m_PrintedHeaderCount = count; }
    int PrintedHeaderCount() const { return m_PrintedHeaderCount; }
    // Draws the rows that meet `region` (table coordinates) as last laid out, embedded
    // tables included, for printing and pictures.
    void Paint(QPainter& painter, const QRect& region);

    void RedrawCell(int row, int column);
    // The text as the cell shows it at its last laid-out size: the whole text, or its
    // pieces that do not fit cut with "…" (the whole text is then the cell's tooltip).
    QString ShownText(int row, int column);

    // Editing.
    bool IsEditing() const { return m_Editor != nullptr; }
    CInPlaceEdit* ActiveEditor() const { return m_Editor.get(); }
    // Closes the editor; with `commit` its text goes to CommitEditedText.
    void EndEditing(bool commit);

    // Keys of the current cell besides moving and Enter: Space toggles a check box; a
    // printable key on an editable cell starts editing with that character; the menu key
    // and Shift+F10 act as a right click on the cell; kCornerMarkerKey (Ctrl+Shift+C)
    // clicks its corner marker.
    static constexpr int kCornerMarkerKey = Qt::Key_C;
    static constexpr Qt::KeyboardModifiers kCornerMarkerModifiers =
        Qt::ControlModifier | Qt::ShiftModifier;

    // The hooks, in their fixed order; views override them.
    virtual void OnLeftButtonDown(int row, int column, const QPoint& point,
                                  Qt::KeyboardModifiers modifiers);
    virtual void OnRightButtonDown(int row, int column, const QPoint& point,
                                   Qt::KeyboardModifiers modifiers);
    virtual void OnCornerMarkerClicked(int row, int column, const QPoint& point,
                                       Qt::KeyboardModifiers modifiers);
    // Returns whether the current cell moved.
    virtual bool MoveSelection(int row, int column, TableDirection direction);
    virtual bool MayToggleCheckBox(int row, int column);
    virtual void OnCheckBoxToggled(int row, int column);
    virtual void BeginEditing(int row, int column);
    virtual void CommitEditedText(int row, int column, const QString& text);
    virtual void OnTableFocus();
    // The text of a cell whose text comes from the hooks, asked for whenever the cell is
    // measured or drawn; it must not change the table's rows or cells.
    virtual QString GetCellText(int row, int column);
    virtual void SetCellText(int row, int column, const QString& text);

signals:
    void CurrentCellChanged(int row, int column);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    struct CDeleteLater {
        void operator()(QObject* object) const;
    };

    // Applies `change` to the cell, if there is one, and redraws it when asked.
    template <typename Change> void ChangeCell(int row, int column, bool redraw, Change change);
    bool IsCurrent(int row, int column) const {
        return row == m_CurrentRow && column == m_CurrentColumn;
    }
    void MarkLayoutDirty() { m_LayoutDirty = true; }
    void EnsureLayout();
    void ApplyStretch();
    void FitToHeight();
    void PlaceEmbeddedTables(CRow& row);
    int CellHeight(int row, int column, CCellTextMeasurer& measurer);
    QString DisplayText(int row, int column);
    void PaintRows(QPainter& painter, const QRect& region, bool drawEmbedded);
    void PaintCell(QPainter& painter, int row, int column, const QRect& region, bool drawEmbedded);
    void PaintText(QPainter& painter, int row, int column, bool current);
    void HandleMousePress(QMouseEvent* event);
    // The keys that act on the current cell itself; false when the key is not one of them.
    bool HandleCellKey(QKeyEvent* event);
    void ToggleCheckBox(int row, int column);
    bool ShowCellToolTip(const QPoint& point, const QPoint& globalPoint);
    int CellNeededWidth(int row, int column, CCellTextMeasurer& measurer);

    // Columns sized by their texts.
    struct CGrid {
        int m_Divisions = 0;
        // Rows laid out on the units, and units that take width.
        std::vector<bool> m_Rows;
        std::vector<bool> m_Live;
    };
    std::optional<CGrid> FindGrid() const;
    void CollectGridNeeds(const CGrid& grid, int offset, std::vector<CGridNeed>& needs);
    std::vector<int> GridMinimum(const CGrid& grid);
    // The minimum width of the rows not in `skip` when every cell takes its share.
    int UniformMinimum(const std::vector<bool>* skip);
    void PlaceOnUnits(CRow& row, const std::vector<int>& units);
    void UpdateCursor(const QPoint& point);
    static QRect CheckBoxRect(const CCell& cell);
    static bool InCornerMarker(const CCell& cell, const QPoint& point);

    std::vector<std::unique_ptr<CRow>> m_Rows;
    bool m_StretchLastRow = true;
    int m_CurrentRow = -1;
    int m_CurrentColumn = -1;
    QColor m_SelectionBackground;
    QColor m_SelectionText;
    std::unique_ptr<CInPlaceEdit, CDeleteLater> m_Editor;
    int m_EditRow = -1;
    int m_EditColumn = -1;
    int m_VisibleHeight = -1;
    int m_PrintedHeaderCount = 0;
    bool m_LayoutDirty = true;
    int m_LayoutWidth = -1;
    int m_NaturalHeight = 0;
    bool m_CellCursorShown = false;
    bool m_FitColumns = false;
    // The widths of the host cell's units, handed down to an embedded table.
    std::vector<int> m_HostUnits;
};

} // namespace strikeline
