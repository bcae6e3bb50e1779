// Painting of the table: only the rows that meet the region are drawn, cell by cell, and
// everything around the cells is filled (with the palette's base colour on screen, which is
// dark on a dark desktop, and white on paper), so no background erase is needed.

#include "gui/widgets/CellTextMeasurer.h"
#include "gui/widgets/ComplexTableWnd.h"
#include "gui/widgets/QtColor.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

namespace strikeline {

namespace {

const QColor kOutsideCellsOnPaper(Qt::white);

void FillStrip(QPainter& painter, const QRect& strip, const CCellBorder& border) {
    if (border.m_Width > 0 && strip.isValid()) {
        painter.fillRect(strip, ToQColor(border.m_Color));
    }
}

void PaintBorders(QPainter& painter, const CComplexTableCell& cell, const QRect& rect) {
    FillStrip(painter, QRect(rect.left(), rect.top(), cell.m_LeftBorder.m_Width, rect.height()),
              cell.m_LeftBorder);
    FillStrip(painter,
              QRect(rect.right() + 1 - cell.m_RightBorder.m_Width, rect.top(),
                    cell.m_RightBorder.m_Width, rect.height()),
              cell.m_RightBorder);
    FillStrip(painter, QRect(rect.left(), rect.top(), rect.width(), cell.m_TopBorder.m_Width),
              cell.m_TopBorder);
    FillStrip(painter,
              QRect(rect.left(), rect.bottom() + 1 - cell.m_BottomBorder.m_Width, rect.width(),
                    cell.m_BottomBorder.m_Width),
              cell.m_BottomBorder);
}

void PaintCheckBox(QPainter& painter, const CComplexTableCell& cell, const QRect& box) {
    painter.setPen(ToQColor(cell.m_BoxColor));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    if (cell.m_Ticked) {
        const QRect cross = box.adjusted(2, 2, -3, -3);
        painter.drawLine(cross.topLeft(), cross.bottomRight());
        painter.drawLine(cross.topRight(), cross.bottomLeft());
    }
}

void PaintCornerMarker(QPainter& painter, const CComplexTableCell& cell, const QRect& rect) {
    const int size = cell.m_CornerMarkerSize;
    const QPoint corner(rect.right() + 1, rect.bottom() + 1);
    const QPolygon triangle({corner - QPoint(size, 0), corner - QPoint(0, size), corner});
    painter.setPen(Qt::NoPen);
    painter.setBrush(ToQColor(cell.m_CornerMarkerColor));
    painter.drawPolygon(triangle);
}

} // namespace

void CComplexTableWnd::paintEvent(QPaintEvent* event) {
    EnsureLayout();
    QPainter painter(this);
    PaintRows(painter, event->rect(), false);
}

void CComplexTableWnd::Paint(QPainter& painter, const QRect& region) {
    PaintRows(painter, region, true);
}

void CComplexTableWnd::PaintRows(QPainter& painter, const QRect& region, bool drawEmbedded) {
    // Drawing the embedded widgets too is drawing for print.
    const QColor outside = drawEmbedded ? kOutsideCellsOnPaper : palette().color(QPalette::Base);
    // The row that holds the region's top: the last one starting at or above it.
    auto row = std::upper_bound(
        m_Rows.begin(), m_Rows.end(), region.top(),
        [](int y, const std::unique_ptr<CRow>& candidate) { return y < candidate->m_Y; });
    if (row != m_Rows.begin()) {
        --row;
    }
    for (; row != m_Rows.end() && (*row)->m_Y <= region.bottom(); ++row) {
        const CRow& current = **row;
        if (current.m_Height <= 0) {
            continue;
        }
        const int rowIndex = static_cast<int>(row - m_Rows.begin());
        int rowEnd = 0;
        for (std::size_t c = 0; c < current.m_Cells.size(); ++c) {
            const CCell& cell = current.m_Cells[c];
            if (!cell.m_Visible || cell.m_LayoutWidth <= 0) {
                continue;
            }
            if (cell.Rect().intersects(region)) {
                PaintCell(painter, rowIndex, static_cast<int>(c), region, drawEmbedded);
            }
            rowEnd = std::max(rowEnd, cell.m_X + cell.m_LayoutWidth);
        }
        if (rowEnd <= region.right()) {
            painter.fillRect(QRect(QPoint(std::max(rowEnd, region.left()), current.m_Y),
                                   QPoint(region.right(), current.m_Y + current.m_Height - 1)),
                             outside);
        }
    }
    const int tableBottom = m_Rows.empty() ? 0 : m_Rows.back()->m_Y + m_Rows.back()->m_Height;
    if (tableBottom <= region.bottom()) {
        painter.fillRect(
            QRect(QPoint(region.left(), std::max(tableBottom, region.top())), region.bottomRight()),
            outside);
    }
}

void CComplexTableWnd::PaintCell(QPainter& painter, int row, int column, const QRect& region,
                                 bool drawEmbedded) {
    const CCell& cell = *Cell(row, column);
    const bool current = IsCurrent(row, column);
    const QRect rect = cell.Rect();
    painter.fillRect(rect, current ? m_SelectionBackground : ToQColor(cell.m_Background));
    switch (cell.m_Kind) {
    case CellKind::Text:
        PaintText(painter, row, column, current);
        break;
    case CellKind::CheckBox:
        PaintCheckBox(painter, cell, CheckBoxRect(cell));
        break;
    case CellKind::EmbeddedTable:
        // On screen the embedded table paints itself; pictures and pages draw it here.
        if (drawEmbedded && cell.m_EmbeddedTable) {
            const QRect local(QPoint(0, 0), rect.size());
            painter.save();
            painter.translate(rect.topLeft());
            painter.setClipRect(local, Qt::IntersectClip);
            cell.m_EmbeddedTable->Paint(painter, region.translated(-rect.topLeft()) & local);
            painter.restore();
        }
        break;
    }
    PaintBorders(painter, cell, rect);
    if (current && cell.m_CornerMarkerSize > 0) {
        PaintCornerMarker(painter, cell, rect);
    }
}

namespace {

QRect TextBox(const CComplexTableCell& cell) {
    const QMargins& margins = cell.m_Margins;
    return cell.Rect().adjusted(margins.left(), margins.top(),
                                -(margins.right() + cell.m_ExtraRightInset), -margins.bottom());
}

} // namespace

QString CComplexTableWnd::ShownText(int row, int column) {
    const CCell* cell = Cell(row, column);
    if (cell == nullptr || cell->m_Kind != CellKind::Text) {
        return {};
    }
    const QString text = DisplayText(row, column);
    cell = Cell(row, column);
    const QRect inner = TextBox(*cell);
    // A vertical text runs along the cell's height.
    const int room = cell->m_Vertical ? inner.height() : inner.width();
    // Measured as the layout measures, so the same font gives the same cut on every device.
    const QFontMetrics metrics(cell->m_Font ? *cell->m_Font : font());
    return FitCellText(metrics, text, room, (cell->m_Format & Qt::TextWordWrap) != 0);
}

void CComplexTableWnd::PaintText(QPainter& painter, int row, int column, bool current) {
    const QString text = ShownText(row, column);
    const CCell* cell = Cell(row, column);
    if (text.isEmpty()) {
        return;
    }
    const QRect inner = TextBox(*cell);
    if (inner.width() <= 0 || inner.height() <= 0) {
        return;
    }
    const QFont& font = cell->m_Font ? *cell->m_Font : this->font();
    if (!(painter.font() == font)) {
        painter.setFont(font);
    }
    painter.setPen(current ? m_SelectionText : ToQColor(cell->m_TextColor));
    const int flags = (cell->m_Format & ~Qt::AlignVertical_Mask) | Qt::AlignVCenter;
    if (!cell->m_Vertical) {
        painter.drawText(inner, flags, text);
        return;
    }
    // A quarter turn to the left: the text runs from the bottom of the cell upward.
    painter.save();
    painter.translate(inner.bottomLeft() + QPoint(0, 1));
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, inner.height(), inner.width()), flags, text);
    painter.restore();
}

QRect CComplexTableWnd::CheckBoxRect(const CCell& cell) {
    const QRect rect = cell.Rect();
    const int size = cell.m_BoxSize;
    return {rect.left() + (rect.width() - size) / 2, rect.top() + (rect.height() - size) / 2, size,
            size};
}

bool CComplexTableWnd::InCornerMarker(const CCell& cell, const QPoint& point) {
    const int size = cell.m_CornerMarkerSize;
    if (size <= 0 || !cell.Rect().contains(point)) {
        return false;
    }
    // Distances from the cell's outer bottom-right corner.
    const int fromRight = cell.m_X + cell.m_LayoutWidth - point.x();
    const int fromBottom = cell.m_Y + cell.m_RowHeight - point.y();
    return fromRight + fromBottom <= size;
}

} // namespace strikeline
