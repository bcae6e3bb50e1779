#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace strikeline {

// strikeline-cli COMMAND ...: runs one headless command and returns its exit status.
int RunHeadlessCommand(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err);

} // namespace strikeline
