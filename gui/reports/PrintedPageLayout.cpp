#include "gui/reports/PrintedPageLayout.h"

#include <algorithm>
#include <numeric>

namespace strikeline {

CPrintedPageLayout::CPrintedPageLayout(const std::vector<CTable>& tables, int pageHeight)
    : m_Top(kMargin), m_Bottom(pageHeight - kMargin), m_Y(kMargin) {
    bool pageEmpty = true;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const std::vector<int>& heights = tables[t].rowHeights;
        const int rows = static_cast<int>(heights.size());
        if (rows == 0) {
            continue;
        }
        if (m_Pages.empty()) {
            m_Pages.emplace_back();
        }
        const int headers = std::clamp(tables[t].headerCount, 0, rows);
        const int headerHeight = std::accumulate(heights.begin(), heights.begin() + headers, 0);
        if (!pageEmpty) {
            m_Y += kGap;
        }
        // The header rows go to a new page when they do not fit in the rest of this one.
        if (headers > 0 && !pageEmpty && m_Y + headerHeight > m_Bottom) {
            NewPage();
        }
        for (int r = 0; r < headers; ++r) {
            Place(t, r, heights[static_cast<std::size_t>(r)]);
        }
        // Whether the page holds anything a break would move on: the page's own header
        // copy alone must not be broken off, or a row taller than the page never lands.
        bool breakable = !pageEmpty && m_Pages.back().size() > 1;
        if (headers == 0) {
            breakable = !pageEmpty;
        }
        for (int r = headers; r < rows; ++r) {
            const int height = heights[static_cast<std::size_t>(r)];
            if (m_Y + height > m_Bottom && breakable) {
                NewPage();
                for (int h = 0; h < headers; ++h) {
                    Place(t, h, heights[static_cast<std::size_t>(h)]);
                }
            }
            Place(t, r, height);
            breakable = true;
        }
        pageEmpty = false;
    }
}

const CPrintedPageLayout::CPage& CPrintedPageLayout::Page(int index) const {
    static const CPage kNoPage;
    return index >= 0 && index < PageCount() ? m_Pages[static_cast<std::size_t>(index)] : kNoPage;
}

void CPrintedPageLayout::NewPage() {
    m_Pages.emplace_back();
    m_Y = m_Top;
}

void CPrintedPageLayout::Place(std::size_t table, int row, int height) {
    CPage& page = m_Pages.back();
    // A row that follows the last one of the same table extends that run.
    if (!page.empty()) {
        CRun& last = page.back();
        if (last.table == table && last.firstRow + last.rowCount == row) {
            ++last.rowCount;
            m_Y += height;
            return;
        }
    }
    page.push_back({table, row, 1, m_Y});
    m_Y += height;
}

} // namespace strikeline
