#pragma once

#include <functional>
#include <string>

namespace strikeline {

class CMainFrame;
class CTrendView;

// Opens a new trend chart window for `code` in the main window; several may be open at
// once. With an empty code it first asks for a company, and opens nothing (null) when
// the user cancels. The report and Short List windows call it when a company name is
// clicked.
CTrendView* OpenTrendChart(CMainFrame& frame, const std::string& siteUrl, const std::string& code);

// The main window's "Trend Chart" command: asks for a company, then opens its chart from
// the site address `siteUrl` gives at that moment.
void RegisterTrendChartCommand(CMainFrame& frame, std::function<std::string()> siteUrl);

} // namespace strikeline
