#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace strikeline {

// strikeline-cli fetch [--data DIR]
// Without --data, DIR is the program's own data folder and the addresses are those the
// user set in the program (its settings file is only read).
// Runs one downloader pass into DIR from the feed and site addresses (the defaults, or
// STRIKELINE_FEED_URL / STRIKELINE_SITE_URL), with the default time and size limits, and
// prints each file's outcome as JSON: {"files":[{"file","outcome" ("fetched", "unchanged"
// or "failed"),"url" (or null),"label","reason" (null unless failed)}],"lastDataDate"}.
// A failed file keeps the copy DIR held. Returns 0, 1 when any file failed (nothing newer
// published yet is no failure), 2 for bad arguments.
int RunFetchCommand(const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err);

} // namespace strikeline
