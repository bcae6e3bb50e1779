#pragma once

#include "gui/app/ViewKind.h"
#include "gui/journal/JournalClock.h"
#include "gui/widgets/SchemeFont.h"
#include "journal/DividendsTable.h"
#include "storage/Color.h"

#include <QAbstractScrollArea>
#include <vector>

class QComboBox;

namespace strikeline {

class CSession;

class CDividendsGrid;

// The Dividends window: the dividends of the downloaded list, by company code, for the
// month chosen in the list inside the title row, each beside the user's own Average Trades
// figure for the company, which the user types into the table. The table fills the
// window's width and is as high as its rows; the window scrolls over it.
class CDividendsView : public QAbstractScrollArea, public CRefreshableView {
    Q_OBJECT

public:
    static constexpr int kTitleRow = 0;
    static constexpr int kColumnTitlesRow = 1;
    static constexpr int kFirstDataRow = 2;
    static constexpr int kAverageTradesColumn = 3;
    // The month list inside the title row.
    static constexpr int kFilterLeft = 10;
    static constexpr int kFilterWidth = 300;
    static constexpr int kFilterListHeight = 200;
    // The lines between the cells.
    static constexpr Color kBorderColor = Rgb(153, 153, 153);

    explicit CDividendsView(CSession& session, CJournalClock clock = SystemJournalNow,
                            QWidget* parent = nullptr);
    ~CDividendsView() override;

    // Fonts from the current colour scheme, the table rebuilt for the chosen months, laid
    // out and repainted.
    void RefreshDividends();
    void RefreshView() override { RefreshDividends(); }

    QComboBox* FilterList() const { return m_Filter; }
    CDividendsGrid* Table() const { return m_Table; }

    // For the table's hooks.
    void ScrollToTopLeft();
    void EnsureCellVisible(int row, int column);
    // Takes text typed into the Average Trades cell of a table row; false when it is
    // refused (the cell keeps its text and a message says why), else `shown` is what the
    // cell now shows.
    bool TakeAverageTrades(int row, const QString& text, QString& shown);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void LayoutTable();
    void PlaceFilter();

    CSession& m_Session;
    CJournalClock m_Clock;
    CDividendsGrid* m_Table;
    QComboBox* m_Filter;
    CSchemeFont m_RegularFont;
    CSchemeFont m_BoldFont;
    // The listed dividends, in table order from kFirstDataRow on.
    std::vector<CDividendRow> m_Rows;
};

} // namespace strikeline
