#pragma once

#include "plan/PlanExport.h"

#include <string>

namespace strikeline {

// The plan as comma-separated text: two heading lines, a line with the company code
// before each company's rows, one line per row, "Totals", the totals line and the time
// stamp. A field holding a comma, a quote or a line break is quoted (its quotes doubled),
// and a code that a spreadsheet would take for a formula (=, +, - or @ first) starts with
// an apostrophe; every other field is written as it is.
std::string PlanCsvText(const CPlanExport& content);
bool WritePlanCsv(const CPlanExport& content, const std::string& path, std::string& error);

} // namespace strikeline
