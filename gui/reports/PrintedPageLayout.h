#pragma once

#include <cstddef>
#include <vector>

namespace strikeline {

// Where the rows of a stack of tables fall on printed pages. Everything is in print units
// (one unit per screen pixel). Tables follow one another with a gap; a table's leading
// header rows stay together, and every page a table continues on shows them again first.
class CPrintedPageLayout {
public:
    static constexpr int kMargin = 30;
    static constexpr int kGap = 30;

    // The rows of one table as laid out for the page width.
    struct CTable {
        std::vector<int> rowHeights;
        int headerCount = 0;
    };
    // A run of consecutive rows of one table drawn with its first row's top at `y`.
    struct CRun {
        std::size_t table = 0;
        int firstRow = 0;
        int rowCount = 0;
        int y = 0;

        bool operator==(const CRun&) const = default;
    };
    using CPage = std::vector<CRun>;

    // Lays the tables out on pages `pageHeight` units high, from the top margin down to the
    // bottom margin. A row taller than a whole page still gets a page of its own.
    CPrintedPageLayout(const std::vector<CTable>& tables, int pageHeight);

    int PageCount() const { return static_cast<int>(m_Pages.size()); }
    // The runs of page `index` (0-based); empty outside the range.
    const CPage& Page(int index) const;

private:
    void NewPage();
    void Place(std::size_t table, int row, int height);

    int m_Top;
    int m_Bottom;
    int m_Y;
    std::vector<CPage> m_Pages;
};

} // namespace strikeline
