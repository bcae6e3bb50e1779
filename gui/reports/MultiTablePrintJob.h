#pragma once

#include "gui/reports/PrintedPageLayout.h"
#include "storage/PaperColors.h"

#include <QFont>
#include <QSize>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;
class QWidget;

namespace strikeline {

class CComplexTableWnd;

// One printing of a stack of tables. The tables are copied first, so that they can be laid
// out for the paper without disturbing the windows, and the copies live as long as the
// job. Everything is drawn in print units of one screen pixel each, so tables print at
// their size on screen.
class CMultiTablePrintJob {
public:
    // `pageSize` is the printable area in print units; `screenDpi` the resolution whose
    // pixels the units are. The copies take `paper`'s colours for those on screen.
    CMultiTablePrintJob(const std::vector<CComplexTableWnd*>& tables, const QSize& pageSize,
                        double screenDpi, const CPaperColors& paper = {});
    ~CMultiTablePrintJob();
    CMultiTablePrintJob(const CMultiTablePrintJob&) = delete;
    CMultiTablePrintJob& operator=(const CMultiTablePrintJob&) = delete;

    int PageCount() const { return m_Layout->PageCount(); }
    // The copy of the job's table `index`, as it prints.
    const CComplexTableWnd& Table(int index) const {
        return *m_Copies.at(static_cast<std::size_t>(index));
    }
    const CPrintedPageLayout& Layout() const { return *m_Layout; }
    // The width the tables are laid out at: the page width less both margins.
    int TableWidth() const { return m_TableWidth; }
    // Draws page `index` (0-based) with the painter in print units, the page's printable
    // area starting at the origin. The painter's transformation takes the units to the
    // device; text keeps its size on screen relative to the cells on any device.
    void PaintPage(QPainter& painter, int index);

    // A copy of `source` that draws the same: every row and cell, texts from the text
    // hooks taken as they are now, embedded tables copied too. The copy is not shown and
    // has no current cell. Its cells take `paper`'s colours for the colours on screen.
    static std::unique_ptr<CComplexTableWnd> CopyTable(CComplexTableWnd& source,
                                                       const CPaperColors& paper = {});

private:
    // A font of a copy as it was laid out: the table's own (row -1) or a cell's.
    struct CFontSlot {
        CComplexTableWnd* table;
        int row;
        int column;
        QFont original;
    };

    void CollectFonts(CComplexTableWnd& table);
    // A device resolves point sizes at its own resolution before the painter scales the
    // units up to it; the fonts shrink by screen / device resolution to make up for that.
    void FitFontsTo(double deviceDpi);

    std::vector<std::unique_ptr<CComplexTableWnd>> m_Copies;
    std::unique_ptr<CPrintedPageLayout> m_Layout;
    int m_TableWidth = 0;
    double m_ScreenDpi;
    std::vector<CFontSlot> m_Fonts;
    double m_FontScale = 1.0;
};

// The printable area of `printer` in pixels of `screen`: tables print at their size there.
QSize PrintUnits(QPrinter& printer, const QWidget& screen);
// Prints the job's pages within the printer's page range, scaled from pixels of `screen`;
// false when the printer could not be started or finished.
bool PrintPages(CMultiTablePrintJob& job, QPrinter& printer, const QWidget& screen);
// The print command of a view: a preview of the pages, landscape unless the user turns the
// paper, from which the user prints. `print` draws the pages on the printer it is given.
void ShowPrintPreview(QWidget& parent, const std::function<void(QPrinter&)>& print);

} // namespace strikeline
