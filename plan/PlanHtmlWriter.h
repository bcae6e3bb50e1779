#pragma once

#include "plan/PlanExport.h"

#include <string>

namespace strikeline {

class CColorScheme;

// The plan as one self-contained page: a table with the two heading rows in the scheme's
// heading colours, a row with the company code before each company's rows, one row per
// plan row with each cell in its highlight colour, the totals and the time stamp. Every
// text from the plan is escaped, so a code holding markup shows as that text.
std::string PlanHtmlText(const CPlanExport& content, const CColorScheme& scheme);
bool WritePlanHtml(const CPlanExport& content, const CColorScheme& scheme, const std::string& path,
                   std::string& error);

} // namespace strikeline
