#include "gui/charts/CapitalWindow.h"

#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/charts/ChartPanel.h"
#include "gui/charts/PayoffWindow.h"
#include "gui/plan/TradingPlanView.h"
#include "plan/TradingPlan.h"
#include "session/Session.h"

#include <QDate>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVBoxLayout>
#include <algorithm>

namespace strikeline {

namespace {

bool SameMonths(const std::vector<CPlanMonth>& a, const std::vector<CPlanMonth>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const CPlanMonth& x, const CPlanMonth& y) {
                          return x.year == y.year && x.month == y.month && x.capital == y.capital &&
                                 x.premiumIncome == y.premiumIncome &&
                                 x.premiumPaid == y.premiumPaid && x.rows == y.rows;
                      });
}

} // namespace

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
    std::vector<CPlanMonth> months = PlanCapitalByMonth(rows, m_Clock());
    if (m_Chart->Chart() != nullptr && SameMonths(months, m_Months)) {
        return;
    }
    m_Months = std::move(months);
    if (m_Months.empty()) {
        m_Chart->ShowMessage(tr("The Trading Plan has no open row with an expiry date."));
        return;
    }
    CMonthBarsChartData bars = CapitalChartData(m_Months);
    // After the click is over: selecting may open the plan, which redraws this chart. The
    // month is the one clicked, whatever is drawn by then.
    std::vector<std::pair<int, unsigned>> drawn;
    for (const CPlanMonth& month : m_Months) {
        drawn.emplace_back(month.year, month.month);
    }
    bars.monthClicked = [this, drawn](int index) {
        if (index >= 0 && static_cast<std::size_t>(index) < drawn.size()) {
            const auto [year, month] = drawn[static_cast<std::size_t>(index)];
            QMetaObject::invokeMethod(
                this, [this, year, month] { SelectMonthOf(year, month); }, Qt::QueuedConnection);
        }
    };
    m_Chart->ShowChart(
        [bars](CChartFactory& factory, const CChartColours& colours, QWidget* parent) {
            return factory.MakeMonthBarsChart(bars, colours, parent);
        });
}

void CCapitalView::SelectMonth(int index) {
    if (index >= 0 && static_cast<std::size_t>(index) < m_Months.size()) {
        const CPlanMonth& shown = m_Months[static_cast<std::size_t>(index)];
        SelectMonthOf(shown.year, shown.month);
    }
}

void CCapitalView::SelectMonthOf(int year, unsigned month) {
    if (!m_SelectRows) {
        return;
    }
    // The plan may have changed since the chart was drawn: its rows of that month now.
    const std::vector<const CTradingPlanEntry*> rows =
        std::as_const(m_Session.TradingPlan()).DisplayOrder();
    std::vector<const CTradingPlanEntry*> chosen;
    for (const CPlanMonth& shown : PlanCapitalByMonth(rows, m_Clock())) {
        if (shown.year == year && shown.month == month) {
            for (const std::size_t row : shown.rows) {
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
    // The plan may have changed while the Trading Plan window was closed (cleared, or rows
    // sent from the Short List): the chart looks again whenever its window comes forward.
    QObject::connect(
        frame.MdiArea(), &QMdiArea::subWindowActivated, &frame, [](QMdiSubWindow* window) {
            auto* capital =
                window != nullptr ? dynamic_cast<CCapitalView*>(window->widget()) : nullptr;
            if (capital != nullptr) {
                QMetaObject::invokeMethod(
                    capital, [capital] { capital->RefreshView(); }, Qt::QueuedConnection);
            }
        });
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
        // While the main window is taken down its children go last, and an edit they commit
        // on the way may still show the plan: there is no window left to refresh then.
        if (qobject_cast<CMainFrame*>(&frame) == nullptr) {
            return;
        }
        RefreshPayoffWindows(frame);
        if (auto* capital = dynamic_cast<CCapitalView*>(
                frame.GetView(ViewKind::CapitalByMonth, false, false))) {
            capital->RefreshView();
        }
    });
}

} // namespace strikeline
