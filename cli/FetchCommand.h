#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace strikeline {

// strikeline-cli fetch --data DIR
// Runs one downloader pass into DIR from the feed and site addresses (the defaults, or
// STRIKELINE_FEED_URL / STRIKELINE_SITE_URL) and prints what it took as JSON. Returns 0,
// 1 when a file was taken but did not parse, 2 for bad arguments.
int RunFetchCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err);

} // namespace strikeline
