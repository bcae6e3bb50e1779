#pragma once

#include "plan/PlanExport.h"

#include <string>

namespace strikeline {

// Writes the plan export as a workbook (.xlsx): one worksheet with the two heading rows,
// the company and entry rows, "Totals", the totals row and the time stamp, with merged
// headings, thin borders and the cells shaded by their colour index; landscape, fitted to
// one page. Figures are numbers and dividend dates are days, in formats that show them as
// the plan does, so that the sheet can calculate with them; columns are as wide as their
// figures and heading words, rows as tall as their lines. The file at `path` is replaced
// atomically. On failure `error` holds the message for the user ("Unable to create Excel file
// (error code: %u, %s)...") and no file is left behind. The writer runs in the office module
// (plan/PlanOfficeModule.h); when that cannot be loaded the message gives the reason.
bool WritePlanXlsx(const CPlanExport& content, const std::string& path, std::string& error);

} // namespace strikeline
