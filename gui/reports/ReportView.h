#pragma once

#include "gui/app/ViewKind.h"
#include "gui/reports/MultiTableView.h"
#include "reports/ReportBuilder.h"
#include "reports/ReportKind.h"
#include "storage/FileTime.h"

#include <QFont>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QCheckBox;

namespace strikeline {

class CMarketAnalytics;
class CMarketSnapshot;

class CSession;

class CCompanyInfo;
class CCompanyNameTable;
class CContractInfo;
struct CPayoffPosition;
class CReportBlockTable;
class CReportBlockBuilder;

// The Call Report or the Put Report: one block of tables per company, in the order the
// report builder gives, each with a check box that puts the company on the Short List and
// a company name that opens its trend chart. A refresh takes a new snapshot of the market
// and stacks its blocks, showing "Generating ... Report..." meanwhile; a block's table is
// made when it first comes near the visible area (a whole market has a thousand), its
// height estimated from the first block's rows until then. The
// analytics columns after BEP show the session's analytics as they are when a block is
// built; newer ones are filled into the blocks already built a few at a time.
class CReportView : public CMultiTableView,
                    public CRefreshableView,
                    public CCommandTarget,
                    public CAnalyticsColumnsView {
    Q_OBJECT

public:
    // The company's box was ticked (true) or cleared (false) by the user.
    using CShortListHook =
        std::function<void(ReportKind kind, const CCompanyInfo& company, bool ticked)>;
    // The company name of a block was clicked.
    using CTrendChartHook = std::function<void(const std::string& code)>;
    // The moment (universal time) a build filters the series at.
    using CClock = std::function<FileTime()>;
    // A series row's menu asked for the Payoff of the series.
    using CPayoffHook = std::function<void(const CPayoffPosition& position)>;

    // Starts building the report at once.
    CReportView(CSession& session, ReportKind kind, QWidget* parent = nullptr);
    ~CReportView() override;

    ReportKind Kind() const { return m_Kind; }
    // "Generating Call Report...\n\nPlease wait..." (or Put).
    QString BusyText() const;
    // A build is running: the view shows the busy text.
    bool IsBusy() const { return m_Busy; }

    // Rebuilds from a new snapshot; a build still running is dropped and starts over.
    void RefreshView() override;
    bool HandlesCommand(int command) const override;
    void OnCommand(int command) override;
    // Takes the session's analytics and their settings into every block.
    void UpdateAnalyticsColumns() override;

    // The snapshot of the last build (empty until it is taken).
    const CReport& Report() const { return m_Report; }
    // The blocks of the report, in report order, once its snapshot is taken. Block and
    // CompanyCheckBox make the block's table if it is not made yet.
    int BlockCount() const { return TableCount(); }
    CReportBlockTable* Block(int index);
    QCheckBox* CompanyCheckBox(int index);
    // The block's table if it is made, else null.
    CReportBlockTable* MadeBlock(int index) const;
    // The block of the company (any letter case), or -1.
    int FindBlock(std::string_view code) const;

    void SetShortListHook(CShortListHook hook) { m_ShortListHook = std::move(hook); }
    void SetTrendChartHook(CTrendChartHook hook) { m_TrendChartHook = std::move(hook); }
    void SetPayoffHook(CPayoffHook hook) { m_PayoffHook = std::move(hook); }
    // Tests and benchmarks stand at a fixed moment; the default is the system clock.
    void SetClock(CClock clock);

    // Ticks or clears the company's box without telling the Short List (it is the Short
    // List that asks). Does nothing when the company has no block.
    void SetCompanyChecked(std::string_view code, bool checked);
    void ClearAllChecks();

    // Called by a block whose company name was clicked.
    void OpenTrendChart(const std::string& code);
    // Called by a block whose series row's menu asked for the Payoff: the plan's rows of the
    // series, or the row the Short List would add for it.
    void OpenPayoff(const CCompanyInfo& company, const CContractInfo& series);

signals:
    // The last block of a build is measured and placed.
    void BuildFinished();

protected:
    CPaperColors ColorsOnPaper() const override;
    bool BuildNextStep() override;
    std::unique_ptr<CStackedTable> MakeTable(int index) override;
    int EstimateTableHeight(int index, int width) override;
    void RefreshTable(CStackedTable& table) override;
    void OnWorkFinished() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void TakeSnapshot();
    void OnCheckBoxClicked(std::size_t index, bool checked);
    // Learns the heights of the first block's rows at `width`.
    void LearnRowHeights(int width);

    ReportKind m_Kind;
    CClock m_Clock;
    CReport m_Report;
    // The market of the last build, which the blocks show.
    std::shared_ptr<const CMarketSnapshot> m_Market;
    // The analytics the blocks show; null until worked out.
    std::shared_ptr<const CMarketAnalytics> m_Analytics;
    CSession& m_Session;
    std::unique_ptr<CReportBlockBuilder> m_BlockBuilder;
    bool m_Busy = false;
    bool m_SnapshotPending = false;
    // One per block, owned by the block's table; null until the table is made.
    std::vector<QPointer<QCheckBox>> m_CheckBoxes;
    // Whether each block's box is ticked, made or not.
    std::vector<bool> m_Checked;
    // The first block's rows at the width the estimates were learnt at: the company
    // header, values and series header together, and a series row on average.
    int m_EstimateWidth = -1;
    int m_HeaderHeight = 0;
    double m_SeriesRowHeight = 0;
    int m_LeveragedRowHeight = 0;
    QFont m_BusyFont;
    CShortListHook m_ShortListHook;
    CTrendChartHook m_TrendChartHook;
    CPayoffHook m_PayoffHook;
};

} // namespace strikeline
