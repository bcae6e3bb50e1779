#pragma once

#include "plan/TradingPlan.h"
#include "storage/FileTime.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace strikeline {

// What every export of the plan holds, whatever the format: the rows in display order
// under their company headings, the totals and the generation time, each as the texts
// the plan view shows.

// How a spreadsheet aligns a column's values.
enum class PlanValueKind { Text = 0, Count = 1, Money = 2, Date = 3, Percent = 4 };

struct CPlanExportColumn {
    std::string_view key; // the plan column it shows (and takes its cell colour from)
    PlanValueKind kind;
};
inline constexpr std::size_t kPlanExportColumnCount = 19;
extern const std::array<CPlanExportColumn, kPlanExportColumnCount> PlanExportColumns;

struct CPlanExportRow {
    // A company heading (only `company` is set) or an entry's row.
    bool isCompany = false;
    std::string company;
    std::array<std::string, kPlanExportColumnCount> texts;
    // The entry's colour index of each cell (0 when the cell has none).
    std::array<std::int32_t, kPlanExportColumnCount> colours{};
};

struct CPlanExport {
    std::vector<CPlanExportRow> rows;
    // The totals row: texts under Cost, Equity Brokerage, Option Brokerage and the
    // outcome columns, "" elsewhere.
    std::array<std::string, kPlanExportColumnCount> totals;
    // "2010-04-13 17:05:09", local time, and the closing line that carries it:
    // "Trading Plan Generated at 2010-04-13 17:05:09 " (the blank at the end is part of it).
    std::string generatedAt;
    std::string timeStamp;
};

CPlanExport BuildPlanExport(const CTradingPlan& plan, FileTime generated);

// The export writers replace the file at `path` atomically. Failures, in `error`:
// "Unable to create file %s\n\n%s" (the path and the system's reason) when the file
// cannot be created, "Error when writting to file %s" when writing it fails.
bool WritePlanExportFile(const std::string& path, std::string_view contents, std::string& error);
std::string UnableToCreateFileMessage(const std::string& path, const std::string& reason);
std::string WriteErrorMessage(const std::string& path);

} // namespace strikeline
