#pragma once

#include "gui/app/ViewKind.h"
#include "gui/reports/MultiTableView.h"
#include "reports/ReportKind.h"
#include "storage/FileTime.h"

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace strikeline {

class CMarketAnalytics;
class CSession;

class CCompanyInfo;
class CShortListBlockTable;
struct CPayoffPosition;
class CShortListBlockBuilder;

// The Short List window: one block per company ticked in the Call or Put Report, ordered
// as the report of the first company's kind orders its companies. The user types the
// dividends expected and ticks series into the Trading Plan. What is on the list lives in
// the Short List store, which the window keeps current, so that closing and reopening the
// window, or a refresh, rebuilds the blocks from the market data of the moment. The
// analytics columns show the session's analytics, filled in again when newer ones are ready.
class CShortListView : public CMultiTableView,
                       public CRefreshableView,
                       public CCommandTarget,
                       public CAnalyticsColumnsView {
    Q_OBJECT

public:
    // The company name of a block was clicked.
    using CTrendChartHook = std::function<void(const std::string& code)>;
    // A block's close box took the company off the list: its report box is cleared.
    using CCompanyRemovedHook = std::function<void(ReportKind kind, const std::string& code)>;
    // A series went into the Trading Plan: its window opens (behind) and shows the new row.
    using CPlanChangedHook = std::function<void()>;
    // The moment (universal time) series are filtered at and plan rows are stamped with.
    using CClock = std::function<FileTime()>;
    // A series row's menu asked for the Payoff of the series.
    using CPayoffHook = std::function<void(const CPayoffPosition& position)>;

    // Builds the blocks of the store's companies at once.
    explicit CShortListView(CSession& session, QWidget* parent = nullptr);

    CSession& Session() const { return m_Session; }
    ~CShortListView() override;

    int BlockCount() const { return TableCount(); }
    CShortListBlockTable* Block(int index) const;
    // The kind whose report settings order the blocks; none while the list is empty.
    std::optional<ReportKind> OrderKind() const { return m_OrderKind; }

    // Puts a copy of the company on the list in its place; nothing when it is there.
    void AddCompany(const CCompanyInfo& company, ReportKind kind);
    // False when the company was not on the list.
    bool RemoveCompany(std::string_view code, ReportKind kind);
    // The block of the company (kinds equal, codes in any letter case), or -1.
    int FindCompany(std::string_view code, ReportKind kind) const;
    // Clears the Trading Plan box of one series, or of all.
    void UntickSeries(std::string_view companyCode, std::string_view seriesCode, ReportKind kind);
    // Ticks the box of a series the plan holds again, when the list shows it; no plan row
    // is added.
    void TickSeries(std::string_view companyCode, std::string_view seriesCode, ReportKind kind);
    void UntickAll();
    // Takes every block away and empties the store.
    void Clear();

    // The store takes the window's companies in display order and its ticked series.
    void SaveToStore() const;
    // Saves, then builds every block again from the current market data.
    void RefreshView() override;
    bool HandlesCommand(int command) const override;
    void OnCommand(int command) override;
    // Takes the session's analytics and their settings into every block.
    void UpdateAnalyticsColumns() override;

    void SetTrendChartHook(CTrendChartHook hook) { m_TrendChartHook = std::move(hook); }
    void SetCompanyRemovedHook(CCompanyRemovedHook hook) { m_CompanyRemovedHook = std::move(hook); }
    void SetPlanChangedHook(CPlanChangedHook hook) { m_PlanChangedHook = std::move(hook); }
    void SetPayoffHook(CPayoffHook hook) { m_PayoffHook = std::move(hook); }
    // Tests stand at a fixed moment; the default is the system clock.
    void SetClock(CClock clock);

    // Called by the blocks.
    void OpenTrendChart(const std::string& code);
    void SendSeriesToPlan(CShortListBlockTable& block, int row);
    // The Payoff of a series row: the plan's rows of the series, or the row ticking it would
    // add, with the row's dividend as it stands.
    void OpenPayoff(CShortListBlockTable& block, int row);
    // The close box: the company goes once the click that asked for it is over.
    void PostRemoveCompany(const std::string& code, ReportKind kind);

protected:
    CPaperColors ColorsOnPaper() const override;
    void RefreshTable(CStackedTable& table) override;
    void OnWorkFinished() override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The moment blocks are filtered at, with the current-month scan of both option lists
    // done once for every block added with it.
    struct CMoment {
        FileTime now = kNoDate;
        bool laterExpiryThisMonth = false;
    };
    CMoment TakeMoment() const;
    void RebuildFromStore();
    void InsertBlock(const CCompanyInfo& company, ReportKind kind, const CMoment& moment);
    std::unique_ptr<CShortListBlockBuilder> MakeBlockBuilder();
    bool IsInActiveFrame() const;

    CSession& m_Session;
    CClock m_Clock;
    std::optional<ReportKind> m_OrderKind;
    std::unique_ptr<CShortListBlockBuilder> m_BlockBuilder;
    // The analytics the blocks show; null until worked out.
    std::shared_ptr<const CMarketAnalytics> m_Analytics;
    // The block added last takes the focus once it has its place.
    QPointer<CShortListBlockTable> m_PendingFocus;
    CTrendChartHook m_TrendChartHook;
    CCompanyRemovedHook m_CompanyRemovedHook;
    CPlanChangedHook m_PlanChangedHook;
    CPayoffHook m_PayoffHook;
};

} // namespace strikeline
