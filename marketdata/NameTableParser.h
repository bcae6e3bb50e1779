#pragma once

#include "marketdata/CompanyNameTable.h"

#include <cstdio>
#include <string>

namespace strikeline {

// Reads companyname.txt or top20.txt: per non-blank line 'CODE' = 'Name', with optional
// white space around the parts; the closing quote of the name may be missing, and what
// follows it is ignored. Codes are upper-cased, codes and names trimmed.
//
// Errors: "Unable to open file" (also for what is no regular file); "Unexpected data at
// line %u" for a line without the quoted code, the "=" or the name's opening quote, which
// ends the parse. `table` is emptied first and keeps the pairs read before an error.
bool ParseNameTable(CCompanyNameTable& table, const std::string& path, std::string& error);
bool ParseNameTableStream(CCompanyNameTable& table, std::FILE* file, std::string& error);

} // namespace strikeline
