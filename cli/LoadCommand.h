#pragma once

#include "cli/CommandLine.h"

#include <ostream>

namespace strikeline {

// strikeline-cli load --as call|put|dividends|names FILE [--summary]
// Parses one data file and prints what was loaded as JSON; the parser's message goes to
// `err`. Returns the exit status: 0 loaded, 1 the file failed (what was read is still
// printed), 2 bad arguments.
int RunLoadCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace strikeline
