#pragma once

#include "marketdata/Dividend.h"

#include <cstdio>
#include <string>
#include <vector>

namespace strikeline {

// Reads dividends.csv: a header line, then per dividend six comma-separated fields (code,
// YYYYMMDD, -, amount, -, -), a run of commas counting as one.
//
// Errors: "Unable to open file" (also for what is no regular file); "Unexpected data at
// line %u" at the first bad line, which ends the parse. `entries` is emptied first and
// keeps what was read before an error.
bool ParseDividendsFile(std::vector<CDividend>& entries, const std::string& path,
                        std::string& error);
bool ParseDividendsStream(std::vector<CDividend>& entries, std::FILE* file, std::string& error);

} // namespace strikeline
