#pragma once

#include "storage/Color.h"

#include <QCursor>
#include <QFont>
#include <QMargins>
#include <QRect>
#include <QString>
#include <memory>
#include <optional>

namespace strikeline {

class CComplexTableWnd;

// What a cell shows.
enum class CellKind { Text = 0, CheckBox = 1, EmbeddedTable = 2 };

// One edge of a cell's frame; it is drawn inside the cell, so it never changes the layout.
struct CCellBorder {
    int m_Width = 0;
    Color m_Color = 0;
};

// One cell of a table row. The table's builders fill the fields; the last group holds what
// the layout worked out and is only read by the table and its owner.
struct CComplexTableCell {
    CComplexTableCell();
    ~CComplexTableCell();
    CComplexTableCell(CComplexTableCell&&) noexcept;
    CComplexTableCell& operator=(CComplexTableCell&&) noexcept;
    CComplexTableCell(const CComplexTableCell&) = delete;
    CComplexTableCell& operator=(const CComplexTableCell&) = delete;

    CellKind m_Kind = CellKind::Text;
    QString m_Text;
    // Finds the cell within its row.
    QString m_Name;
    // The text comes from, and goes back through, the table's text hooks (figures are
    // formatted only when a cell is measured or drawn).
    bool m_TextFromHook = false;
    // Clear: the row height takes one line of "W" instead of measuring the text.
    bool m_MeasureText = true;
    // Qt::Alignment and Qt::TextFlag values for drawing the text; vertical centring is
    // always added.
    int m_Format = Qt::AlignHCenter;
    bool m_Ticked = false;
    int m_BoxSize = 12;
    Color m_BoxColor = 0;
    std::unique_ptr<CComplexTableWnd> m_EmbeddedTable;
    Color m_Background = 0xFFFFFF;
    Color m_TextColor = 0;
    // Invisible cells take no width and are neither drawn nor reached by navigation.
    bool m_Visible = true;
    bool m_Selectable = true;
    bool m_Editable = false;
    // Text drawn rotated a quarter turn, reading upward.
    bool m_Vertical = false;
    // Overrides the table font.
    std::optional<QFont> m_Font;
    // Shown while the mouse rests over the cell, after the whole text of a cut one.
    QString m_ToolTip;
    // Shown while the mouse is over the cell.
    std::optional<QCursor> m_Cursor;
    // A filled triangle in the bottom-right corner of the current cell; a click inside it
    // goes to the corner hook.
    int m_CornerMarkerSize = 0;
    Color m_CornerMarkerColor = 0;
    // A given width in pixels; -1 takes the width from divisions and span.
    int m_Width = -1;
    int m_ExtraRightInset = 0;
    int m_Divisions = 10;
    int m_Span = 3;
    // Used as the cell height when automatic height is off.
    int m_Height = -1;
    // Used instead of measuring the text when not negative.
    int m_FixedHeight = -1;
    CCellBorder m_LeftBorder;
    CCellBorder m_RightBorder;
    CCellBorder m_TopBorder;
    CCellBorder m_BottomBorder;
    bool m_AutoHeight = true;
    // Text inset: left, top, right, bottom.
    QMargins m_Margins{4, 4, 4, 4};

    // Layout results.
    int m_X = 0;
    int m_Y = 0;
    int m_LayoutWidth = 0;
    int m_RowHeight = 0;

    QRect Rect() const { return {m_X, m_Y, m_LayoutWidth, m_RowHeight}; }
};

} // namespace strikeline
