#pragma once

#include "gui/app/ViewKind.h"
#include "gui/charts/ChartFactory.h"
#include "plan/PlanCapital.h"

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace strikeline {

class CChartPanel;
class CMainFrame;
class CSession;
class CTradingPlanView;

// The bars of the capital chart: for each month, the capital tied up and the premium
// income side by side, and the premium paid for bought options when any month has some.
CMonthBarsChartData CapitalChartData(const std::vector<CPlanMonth>& months);

// The Capital by Expiry Month window: the plan's open rows month by month. Clicking a
// month's bar selects its rows in the Trading Plan.
class CCapitalView : public QWidget, public CRefreshableView {
    Q_OBJECT

public:
    // Selects the rows in the Trading Plan window.
    using CSelectRows = std::function<void(const std::vector<const CTradingPlanEntry*>& rows)>;
    // The moment (universal time) that tells open rows from expired ones.
    using CClock = std::function<FileTime()>;

    CCapitalView(CSession& session, CSelectRows selectRows, const CChartColours& colours,
                 QWidget* parent = nullptr,
                 std::optional<std::vector<std::string>> chartModuleFolders = std::nullopt);

    // Draws the plan as it is now; a chart that shows it already stays as it is.
    void RefreshView() override;
    // What a click on a bar of the month at `index` (of Months()) does: the plan's rows of
    // that month, as the plan holds them now, are selected.
    void SelectMonth(int index);

    // The months drawn, with the rows of each as indices into the plan's display order.
    const std::vector<CPlanMonth>& Months() const { return m_Months; }
    CChartPanel* Chart() const { return m_Chart; }
    void SetClock(CClock clock);

    QSize sizeHint() const override;

private:
    // Selects the rows of that month.
    void SelectMonthOf(int year, unsigned month);

    CSession& m_Session;
    CSelectRows m_SelectRows;
    CClock m_Clock;
    std::vector<CPlanMonth> m_Months;
    CChartPanel* m_Chart;
};

// Registers the Capital by Expiry Month window and its command (Trading Plan menu); a bar
// clicked selects the month's rows in the Trading Plan window, opening it when needed.
void RegisterPlanChartWindows(CMainFrame& frame);
// The plan view's row menu opens the Payoff windows and the Capital by Expiry Month
// window in `frame`, and the capital chart and the plan's Payoff windows follow the plan
// as the view shows it.
void ConnectPlanCharts(CMainFrame& frame, CTradingPlanView& view);

} // namespace strikeline
