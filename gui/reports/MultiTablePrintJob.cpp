#include "gui/reports/MultiTablePrintJob.h"

#include "gui/widgets/ComplexTableWnd.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace strikeline {

namespace {

void CopyCell(const CComplexTableCell& from, CComplexTableCell& to, const CPaperColors& paper) {
    to.m_Kind = from.m_Kind == CellKind::EmbeddedTable ? CellKind::Text : from.m_Kind;
    to.m_Name = from.m_Name;
    to.m_TextFromHook = false;
    to.m_MeasureText = from.m_MeasureText;
    to.m_Format = from.m_Format;
    to.m_Ticked = from.m_Ticked;
    to.m_BoxSize = from.m_BoxSize;
    to.m_BoxColor = paper.OnPaper(from.m_BoxColor);
    to.m_Background = paper.OnPaper(from.m_Background);
    to.m_TextColor = paper.OnPaper(from.m_TextColor);
    to.m_Visible = from.m_Visible;
    to.m_Selectable = from.m_Selectable;
    to.m_Editable = false;
    to.m_Vertical = from.m_Vertical;
    to.m_Font = from.m_Font;
    to.m_ToolTip = from.m_ToolTip;
    to.m_CornerMarkerSize = from.m_CornerMarkerSize;
    to.m_CornerMarkerColor = paper.OnPaper(from.m_CornerMarkerColor);
    to.m_Width = from.m_Width;
    to.m_ExtraRightInset = from.m_ExtraRightInset;
    to.m_Divisions = from.m_Divisions;
    to.m_Span = from.m_Span;
    to.m_Height = from.m_Height;
    to.m_FixedHeight = from.m_FixedHeight;
    to.m_LeftBorder = from.m_LeftBorder;
    to.m_RightBorder = from.m_RightBorder;
    to.m_TopBorder = from.m_TopBorder;
    to.m_BottomBorder = from.m_BottomBorder;
    to.m_AutoHeight = from.m_AutoHeight;
    to.m_Margins = from.m_Margins;
}

} // namespace

std::unique_ptr<CComplexTableWnd> CMultiTablePrintJob::CopyTable(CComplexTableWnd& source,
                                                                 const CPaperColors& paper) {
    auto copy = std::make_unique<CComplexTableWnd>();
    copy->setFont(source.font());
    copy->SetPrintedHeaderCount(source.PrintedHeaderCount());
    for (int r = 0; r < source.RowCount(); ++r) {
        const int row = copy->AddRow();
        copy->SetRowValue(row, source.RowValue(r));
        const int cells = source.CellCount(r);
        copy->ReserveCells(row, cells);
        for (int c = 0; c < cells; ++c) {
            const CComplexTableCell& from = *source.Cell(r, c);
            const QString text = from.m_TextFromHook ? source.GetCellText(r, c) : from.m_Text;
            const int column = copy->AddCell(row, text);
            CopyCell(from, *copy->Cell(row, column), paper);
            if (from.m_Kind == CellKind::EmbeddedTable) {
                std::unique_ptr<CComplexTableWnd> inner;
                if (from.m_EmbeddedTable) {
                    inner = CopyTable(*from.m_EmbeddedTable, paper);
                }
                copy->SetEmbeddedTable(row, column, std::move(inner));
            }
        }
    }
    return copy;
}

CMultiTablePrintJob::CMultiTablePrintJob(const std::vector<CComplexTableWnd*>& tables,
                                         const QSize& pageSize, double screenDpi,
                                         const CPaperColors& paper)
    : m_TableWidth(std::max(pageSize.width() - 2 * CPrintedPageLayout::kMargin, 1)),
      m_ScreenDpi(screenDpi) {
    std::vector<CPrintedPageLayout::CTable> rows;
    rows.reserve(tables.size());
    m_Copies.reserve(tables.size());
    for (CComplexTableWnd* table : tables) {
        std::unique_ptr<CComplexTableWnd> copy = CopyTable(*table, paper);
        // Pages take the rows at their natural heights.
        copy->SetStretchLastRow(false);
        copy->RecalcLayout(m_TableWidth);
        CPrintedPageLayout::CTable& entry = rows.emplace_back();
        entry.headerCount = copy->PrintedHeaderCount();
        entry.rowHeights.reserve(static_cast<std::size_t>(copy->RowCount()));
        for (int r = 0; r < copy->RowCount(); ++r) {
            entry.rowHeights.push_back(copy->RowHeight(r));
        }
        CollectFonts(*copy);
        m_Copies.push_back(std::move(copy));
    }
    m_Layout = std::make_unique<CPrintedPageLayout>(rows, pageSize.height());
}

CMultiTablePrintJob::~CMultiTablePrintJob() = default;

void CMultiTablePrintJob::CollectFonts(CComplexTableWnd& table) {
    m_Fonts.push_back({&table, -1, -1, table.font()});
    for (int r = 0; r < table.RowCount(); ++r) {
        for (int c = 0; c < table.CellCount(r); ++c) {
            CComplexTableCell& cell = *table.Cell(r, c);
            if (cell.m_Font) {
                m_Fonts.push_back({&table, r, c, *cell.m_Font});
            }
            if (cell.m_EmbeddedTable) {
                CollectFonts(*cell.m_EmbeddedTable);
            }
        }
    }
}

void CMultiTablePrintJob::FitFontsTo(double deviceDpi) {
    const double scale = deviceDpi > 0 ? m_ScreenDpi / deviceDpi : 1.0;
    if (std::abs(scale - m_FontScale) < 1e-9) {
        return;
    }
    m_FontScale = scale;
    // The rows keep the heights they were laid out with: only drawing uses these fonts.
    for (const CFontSlot& slot : m_Fonts) {
        QFont font = slot.original;
        const double points =
            font.pixelSize() > 0 ? font.pixelSize() * 72.0 / m_ScreenDpi : font.pointSizeF();
        if (points > 0) {
            font.setPointSizeF(points * scale);
        }
        if (slot.row < 0) {
            slot.table->setFont(font);
        } else {
            slot.table->Cell(slot.row, slot.column)->m_Font = font;
        }
    }
}

void CMultiTablePrintJob::PaintPage(QPainter& painter, int index) {
    FitFontsTo(painter.device() != nullptr ? painter.device()->logicalDpiY() : m_ScreenDpi);
    for (const CPrintedPageLayout::CRun& run : m_Layout->Page(index)) {
        CComplexTableWnd& table = *m_Copies[run.table];
        const int top = table.Row(run.firstRow)->m_Y;
        int height = 0;
        for (int r = run.firstRow; r < run.firstRow + run.rowCount; ++r) {
            height += table.RowHeight(r);
        }
        const QRect rows(0, top, m_TableWidth, height);
        painter.save();
        painter.translate(CPrintedPageLayout::kMargin, run.y - top);
        painter.setClipRect(rows, Qt::IntersectClip);
        table.Paint(painter, rows);
        painter.restore();
    }
}

QSize PrintUnits(QPrinter& printer, const QWidget& screen) {
    const double width =
        printer.width() * static_cast<double>(screen.logicalDpiX()) / printer.logicalDpiX();
    const double height =
        printer.height() * static_cast<double>(screen.logicalDpiY()) / printer.logicalDpiY();
    return {static_cast<int>(width), static_cast<int>(height)};
}

bool PrintPages(CMultiTablePrintJob& job, QPrinter& printer, const QWidget& screen) {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    painter.scale(printer.logicalDpiX() / static_cast<double>(screen.logicalDpiX()),
                  printer.logicalDpiY() / static_cast<double>(screen.logicalDpiY()));
    int first = 0;
    int last = job.PageCount() - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::max(first, printer.fromPage() - 1);
        if (printer.toPage() > 0) {
            last = std::min(last, printer.toPage() - 1);
        }
    }
    for (int page = first; page <= last; ++page) {
        if (page > first) {
            printer.newPage();
        }
        job.PaintPage(painter, page);
    }
    return painter.end();
}

void ShowPrintPreview(QWidget& parent, const std::function<void(QPrinter&)>& print) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog preview(&printer, &parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &parent,
                     [&print](QPrinter* target) { print(*target); });
    preview.exec();
}

} // namespace strikeline
