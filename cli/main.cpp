// strikeline-cli: the program's main computations without a window, for scripts,
// scheduled jobs and tests.

#include "cli/HeadlessCommand.h"

#include <iostream>

int main(int argc, char* argv[]) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    return strikeline::RunHeadlessCommand(arguments, std::cout, std::cerr);
}
