#pragma once

#include "reports/ReportKind.h"

#include <functional>
#include <string>
#include <string_view>

namespace strikeline {

class CMainFrame;
class CReportView;

// The Short List window and the commands and links around it: "Open Short List", "Clear
// Short List", the report boxes that put companies on it, and the Trading Plan, which
// unticks the series it no longer holds. `openTrendChart` opens a company's chart.
void RegisterShortListView(CMainFrame& frame,
                           std::function<void(const std::string& code)> openTrendChart);

// A report's company boxes add to and take from the Short List; a rebuilt report shows the
// companies on the list ticked.
void ConnectReportToShortList(CMainFrame& frame, CReportView& report);

// "Clear Short List": asks first when the Trading Plan holds options of listed companies;
// false when the user kept the list.
bool ClearShortList(CMainFrame& frame);

// The Trading Plan no longer holds the series: its Trading Plan box is cleared, in the open
// window or in the store.
void UntickShortListSeries(CMainFrame& frame, std::string_view companyCode,
                           std::string_view seriesCode, ReportKind kind);
// The Trading Plan holds the series again (a closed row put back): its box is ticked again
// where the Short List lists its company.
void TickShortListSeries(CMainFrame& frame, std::string_view companyCode,
                         std::string_view seriesCode, ReportKind kind);

} // namespace strikeline
