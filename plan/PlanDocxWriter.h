#pragma once

#include "plan/PlanExport.h"

#include <string>

namespace strikeline {

// Writes the plan export as a word-processing document (.docx): one table of 19 columns
// on a landscape A4 page with the two heading rows, the company and entry rows, "Totals",
// the totals row and the time stamp, the headings merged and repeated on every page, the
// cells shaded by their colour index and the columns wide enough for their longest words. The file
// at `path` is replaced atomically. On failure `error` holds the message for the user ("Unable to
// create Word file (error code: %u, %s)...") and no file is left behind. The writer runs in
// the office module (plan/PlanOfficeModule.h); when that cannot be loaded the message gives
// the reason.
bool WritePlanDocx(const CPlanExport& content, const std::string& path, std::string& error);

} // namespace strikeline
