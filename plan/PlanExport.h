#pragma once

#include "analytics/AnalyticsSettings.h"
#include "analytics/MarketAnalytics.h"
#include "plan/PlanColumns.h"
#include "plan/TradingPlan.h"
#include "storage/FileTime.h"
#include "storage/NumberText.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// What every export of the plan holds, whatever the format: the rows in display order
// under their company headings, the totals and the generation time, each as the texts
// the plan view shows, with the figures behind them for the formats that can hold numbers.
// The arrays have room for every export column; an export uses the first ColumnCount().

using CPlanExportFigures = std::array<double, kPlanExportColumnLimit>;
constexpr CPlanExportFigures NoPlanExportFigures() {
    CPlanExportFigures figures{};
    figures.fill(UNSET_VALUE);
    return figures;
}

struct CPlanExportRow {
    // A company heading (only `company` is set) or an entry's row.
    bool isCompany = false;
    std::string company;
    std::array<std::string, kPlanExportColumnLimit> texts;
    // The figure behind each number cell's text, so that a spreadsheet can hold the
    // number itself: a percentage as shown (4.5 for "4.5%"); a marker where the cell is
    // blank or "N/A" and in the columns that hold no number.
    CPlanExportFigures figures = NoPlanExportFigures();
    // The day of each cell that shows one date (the dividends date); kNoDate elsewhere.
    std::array<FileTime, kPlanExportColumnLimit> dates{};
    // The entry's colour index of each cell (0 when the cell has none).
    std::array<std::int32_t, kPlanExportColumnLimit> colours{};
};

struct CPlanExport {
    // The analytics columns end each row.
    bool analytics = false;
    std::vector<CPlanExportRow> rows;
    // The totals row: texts under Cost, Equity Brokerage, Option Brokerage and the
    // outcome columns, "" elsewhere.
    std::array<std::string, kPlanExportColumnLimit> totals;
    CPlanExportFigures totalFigures = NoPlanExportFigures();
    // "2010-04-13 17:05:09", local time, and the closing line that carries it:
    // "Trading Plan Generated at 2010-04-13 17:05:09 " (the blank at the end is part of it).
    std::string generatedAt;
    std::string timeStamp;

    std::size_t ColumnCount() const { return PlanExportColumnCount(analytics); }
    std::span<const CPlanExportColumn> Columns() const {
        return std::span(PlanExportColumns).first(ColumnCount());
    }
};

// The analytics an export includes, from the market's analytics and the settings they
// were worked out with.
struct CPlanExportAnalytics {
    // Null while they are not worked out yet: the columns are there, empty.
    std::shared_ptr<const CMarketAnalytics> market;
    CAnalyticsSettings settings;
};

// Without `analytics` the export holds the plan's own columns only.
CPlanExport BuildPlanExport(const CTradingPlan& plan, FileTime generated,
                            const CPlanExportAnalytics* analytics = nullptr);

// The export writers replace the file at `path` atomically. Failures, in `error`:
// "Unable to create file %s\n\n%s" (the path and the system's reason) when the file
// cannot be created, "Error when writting to file %s" when writing it fails.
bool WritePlanExportFile(const std::string& path, std::string_view contents, std::string& error);
std::string UnableToCreateFileMessage(const std::string& path, const std::string& reason);
std::string WriteErrorMessage(const std::string& path);

} // namespace strikeline
