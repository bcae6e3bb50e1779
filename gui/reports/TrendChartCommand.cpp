#include "gui/reports/TrendChartCommand.h"

#include "gui/app/ChildFrame.h"
#include "gui/app/CommandIds.h"
#include "gui/app/MainFrame.h"
#include "gui/charts/ChartPanel.h"
#include "gui/reports/SelectCompanyDlg.h"
#include "gui/reports/TrendView.h"
#include "marketdata/CompanyNameTable.h"
#include "reports/TrendChartTexts.h"
#include "session/ApplicationState.h"
#include "session/Session.h"

#include <QMdiArea>

namespace strikeline {

CTrendView* OpenTrendChart(CMainFrame& frame, const std::string& siteUrl, const std::string& code) {
    std::string chosen = code;
    if (chosen.empty()) {
        CSelectCompanyDlg dialog(frame.Session(), &frame);
        if (dialog.exec() != QDialog::Accepted) {
            return nullptr;
        }
        chosen = dialog.Code().toStdString();
    }
    const QString title = QString::fromStdString(
        TrendChartTitle(chosen, frame.Session().Market().Current()->CompanyNames()));
    auto* childFrame = new CChildFrame(title, true, true);
    CTrendOptions options;
    {
        CApplicationState& state = frame.Session().State();
        const CApplicationStateLock lock(state);
        options.storedHistory = state.PriceHistoryCharts();
    }
    options.dataFolder = frame.Session().DataFolder();
    options.colours = ChartColoursOf(frame.Session().ColorScheme(), frame.palette());
    auto* view = new CTrendView(nullptr, {}, std::move(options));
    childFrame->SetView(view);
    frame.MdiArea()->addSubWindow(childFrame);
    childFrame->OnAddedToArea();
    view->ShowChart(siteUrl, chosen);
    childFrame->show();
    frame.MdiArea()->setActiveSubWindow(childFrame);
    return view;
}

void RegisterTrendChartCommand(CMainFrame& frame, std::function<std::string()> siteUrl) {
    // The frame owns the handler, so the reference to it cannot outlive it.
    frame.RegisterCommand(ID_TREND_CHART, [&frame, siteUrl = std::move(siteUrl)] {
        OpenTrendChart(frame, siteUrl(), std::string());
    });
}

} // namespace strikeline
