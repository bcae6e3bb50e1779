#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace strikeline {

// strikeline-cli report --data DIR --kind call|put [--now "YYYY-MM-DD HH:MM:SS"]
//   [--stocks N] [--expire N] [--range N] [--remove-old N] [--sort-mode N]
//   [--sort-direction 1|0] [--companies CODE,CODE,...] [--leveraged]
// Builds the report from the data files in DIR and prints every block's texts as the
// report window shows them. Returns 0, 1 when a data file failed (the report of what was
// read is still printed), or 2 for bad arguments.
int RunReportCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err);

} // namespace strikeline
