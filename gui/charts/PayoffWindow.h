#pragma once

#include "gui/charts/ChartFactory.h"
#include "plan/PlanPayoff.h"
#include "plan/TradingPlanEntry.h"

#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

class CChartPanel;
class CMainFrame;
class CMarketAnalytics;
class CTradingPlan;

// The rows a Payoff window draws together, copied when the window opens.
struct CPayoffPosition {
    // Tells the windows apart: the same position opened again shows its open window.
    std::string key;
    // The series or company code the title names; `note` follows it when not empty.
    std::string name;
    std::string note;
    std::vector<CTradingPlanEntry> rows;
};

// One plan row.
CPayoffPosition PlanRowPosition(const CTradingPlanEntry& row);
// Every row of the company (any letter case), in the plan's display order.
CPayoffPosition CompanyRowsPosition(const CTradingPlan& plan, std::string_view company);
// A series of a report or the Short List: the plan's row of it (or its rows together, when
// the plan holds several), or else the row ticking it into the plan would add, holding one
// contract's worth of shares.
CPayoffPosition SeriesPosition(const CTradingPlan& plan, const CPlanSeriesSource& series,
                               FileTime now);

// "Payoff - BHPXY9".
QString PayoffWindowTitle(const CPayoffPosition& position);

// The payoff chart's figures, texts and marks for the outcome worked out for the position.
CPayoffChartData PayoffChartData(const CPayoffChart& payoff, const QString& title);

// The Payoff window: what the position makes or loses against the share price at expiry
// and, when the market's analytics price every row's option, its value today.
class CPayoffView : public QWidget {
    Q_OBJECT

public:
    // `market` may be null: there is no today's line then.
    CPayoffView(CPayoffPosition position, std::shared_ptr<const CMarketAnalytics> market,
                const CChartColours& colours, QWidget* parent = nullptr,
                std::optional<std::vector<std::string>> chartModuleFolders = std::nullopt);

    const CPayoffPosition& Position() const { return m_Position; }
    // The figures drawn, as the plan works them out.
    const CPayoffChart& Payoff() const { return m_Payoff; }
    CChartPanel* Chart() const { return m_Chart; }
    // Draws the position again, with its rows as they are now.
    void ShowPosition(CPayoffPosition position, std::shared_ptr<const CMarketAnalytics> market);

    QSize sizeHint() const override;

private:
    CPayoffPosition m_Position;
    CPayoffChart m_Payoff;
    CChartPanel* m_Chart;
};

// Opens the position's Payoff window in the main window with the session's analytics, or
// shows it again, redrawn, when it is open.
CPayoffView* OpenPayoffWindow(CMainFrame& frame, CPayoffPosition position);
// The open Payoff windows of a plan row or a company's rows follow the plan: each is drawn
// again when its rows in the plan changed (a row the plan no longer holds stays as it was).
void RefreshPayoffWindows(CMainFrame& frame);

} // namespace strikeline
