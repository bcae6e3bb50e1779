#pragma once

#include "plan/PlanExport.h"

#include <string>

namespace strikeline {

// The plan as comma-separated text: two heading lines, a line with the company code
// before each company's rows, one line per row, "Totals", the totals line and the time
// stamp. Only a field holding a line break is quoted, as spreadsheets read it.
std::string PlanCsvText(const CPlanExport& content);
bool WritePlanCsv(const CPlanExport& content, const std::string& path, std::string& error);

} // namespace strikeline
