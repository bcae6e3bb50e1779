#pragma once

#include "cli/HeadlessCommand.h"

#include <sstream>
#include <string>
#include <vector>

namespace strikeline::test {

// One run of the headless command, in-process, with what it printed.
struct CCliRun {
    int status;
    std::string out;
    std::string err;
};

inline CCliRun RunCli(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = RunHeadlessCommand(arguments, out, err);
    return {status, out.str(), err.str()};
}

} // namespace strikeline::test
