#include "gui/charts/CapitalWindow.h"

#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/charts/ChartPanel.h"
#include "gui/charts/PayoffWindow.h"
#include "gui/plan/TradingPlanView.h"
#include "plan/TradingPlan.h"
#include "session/Session.h"

#include <QDate>
#include <QVBoxLayout>
#include <algorithm>

namespace strikeline {

CMonthBarsChartData CapitalChartData(const std::vector<CPlanMonth>& months) {
    CMonthBarsChartData data;
    data.title = QObject::tr("Capital by Expiry Month");
    data.valueTitle = QObject::tr("Dollars ($)");
    CMonthBarsChartData::CBars capital{QObject::tr("Capital"), {}};
    CMonthBarsChartData::CBars income{QObject::tr("Premium income"), {}};
    CMonthBarsChartData::CBars paid{QObject::tr("Premium paid"), {}};
    for (const CPlanMonth& month : months) {
        data.months.push_back(QDate(month.year, static_cast<int>(month.month), 1)
                                  .toString(QStringLiteral("MMM yyyy")));
        capital.values.push_back(month.capital);
        income.values.push_back(month.premiumIncome);
        paid.values.push_back(month.premiumPaid);
    }
    data.bars.push_back(std::move(capital));
    data.bars.push_back(std::move(income));
    if (std::any_of(paid.values.begin(), paid.values.end(), [](double v) { return v != 0.0; })) {
        data.bars.push_back(std::move(paid));
    }
    return data;
}

CCapitalView::CCapitalView(CSession& session, CSelectRows selectRows, const CChartColours& colours,
                           QWidget* parent,
                           std::optional<std::vector<std::string>> chartModuleFolders)
    : QWidget(parent), m_Session(session), m_SelectRows(std::move(selectRows)),
      m_Clock(CurrentFileTime), m_Chart(new CChartPanel(this, std::move(chartModuleFolders))) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_Chart);
    m_Chart->SetColours(colours);
    RefreshView();
}

void CCapitalView::SetClock(CClock clock) {
    m_Clock = clock ? std::move(clock) : CClock(CurrentFileTime);
    RefreshView();
}

void CCapitalView::RefreshView() {
    const std::vector<const CTradingPlanEntry*> rows =
        std::as_const(m_Session.TradingPlan()).DisplayOrder();
    m_Months = PlanCapitalByMonth(rows, m_Clock());
    if (m_Months.empty()) {
        m_Chart->ShowMessage(tr("The Trading Plan has no open row with an expiry date."));
        return;
    }
    CMonthBarsChartData bars = CapitalChartData(m_Months);
    // After the click is over: selecting may open the plan, which redraws this chart.
    bars.monthClicked = [this](int index) {
        QMetaObject::invokeMethod(
            this, [this, index] { SelectMonth(index); }, Qt::QueuedConnection);
    };
    m_Chart->ShowChart(
        [&bars](CChartFactory& factory, const CChartColours& colours, QWidget* parent) {
            return factory.MakeMonthBarsChart(bars, colours, parent);
        });
}

void CCapitalView::SelectMonth(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_Months.size() || !m_SelectRows) {
        return;
    }
    const CPlanMonth& shown = m_Months[static_cast<std::size_t>(index)];
    // The plan may have changed since the chart was drawn: its rows of that month now.
    const std::vector<const CTradingPlanEntry*> rows =
        std::as_const(m_Session.TradingPlan()).DisplayOrder();
    std::vector<const CTradingPlanEntry*> chosen;
    for (const CPlanMonth& month : PlanCapitalByMonth(rows, m_Clock())) {
        if (month.year == shown.year && month.month == shown.month) {
            for (const std::size_t row : month.rows) {
                chosen.push_back(rows[row]);
            }
        }
    }
    m_SelectRows(chosen);
}

QSize CCapitalView::sizeHint() const {
    return {780, 480};
}

void RegisterPlanChartWindows(CMainFrame& frame) {
    frame.RegisterView(
        ViewKind::CapitalByMonth,
        {QStringLiteral("Capital by Expiry Month"), true, true, QSize(800, 520), [&frame] {
             return new CCapitalView(
                 frame.Session(),
                 [&frame](const std::vector<const CTradingPlanEntry*>& rows) {
                     if (auto* plan = dynamic_cast<CTradingPlanView*>(
                             frame.GetView(ViewKind::TradingPlan, true, true))) {
                         plan->SelectRows(rows);
                     }
                 },
                 ChartColoursOf(frame.Session().ColorScheme(), frame.palette()));
         }});
}

void ConnectPlanCharts(CMainFrame& frame, CTradingPlanView& view) {
    view.SetChartHooks(
        [&frame](const CPayoffPosition& position) { OpenPayoffWindow(frame, position); },
        [&frame] { frame.OnCommand(ID_TRADING_PLAN_CAPITAL); });
    QObject::connect(&view, &CTradingPlanView::PlanShown, &frame, [&frame] {
        if (auto* capital = dynamic_cast<CCapitalView*>(
                frame.GetView(ViewKind::CapitalByMonth, false, false))) {
            capital->RefreshView();
        }
    });
}

} // namespace strikeline
