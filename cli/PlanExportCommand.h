#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace strikeline {

// strikeline-cli plan-export --plan FILE --format csv|html|xlsx|docx|ics --out PATH
//   [--now "YYYY-MM-DD HH:MM:SS"] [--scheme FILE] [--data DIR]
// Loads a trading plan file and writes the export as the plan window's export command
// does, generated at --now (universal time; the clock by default) in the colours of the
// scheme file (the default scheme without one). Prints {"entries","format","out","error"}
// with the number of rows exported and, when the plan file or the writer failed, the
// reason (the rows that could not be read are named there). The ics format is the
// calendar of File > Export Calendar...: the rows not expired at --now, with the
// ex-dividend dates of DIR's dividends file when --data is given (a dividends file that
// does not read is named in "error"); it adds "events", the number of events written.
// Returns 0, 1 when the plan or scheme file failed to load or the writer failed, or 2 for
// bad arguments. A plan that loaded in part is still exported with the rows that could be
// read; when no row could be read the export is not written.
int RunPlanExportCommand(const std::vector<std::string>& arguments, std::ostream& out,
                         std::ostream& err);

} // namespace strikeline
