#pragma once

#include "marketdata/CompanyInfo.h"

#include <cstdio>
#include <string>
#include <vector>

namespace strikeline {

// Reads an option price file (call.csv or put.csv): per share a share header, one share
// line, a contract header and its contract lines, blocks ended by blank lines; section
// titles are ignored.
//
// Errors: "Unable to open file" when the file cannot be opened or is no regular file;
// "Unexpected data at line %u" at the first line out of order or unreadable, which ends
// the parse. `companies` is emptied first and keeps the companies appended before an
// error; the share or series being read when it happened is dropped.
bool ParseOptionFile(std::vector<CCompanyInfo>& companies, const std::string& path, bool isCall,
                     std::string& error);
// The same, from a file already open (the caller closes it).
bool ParseOptionStream(std::vector<CCompanyInfo>& companies, std::FILE* file, bool isCall,
                       std::string& error);

// "Unexpected data at line %u".
std::string UnexpectedDataMessage(unsigned line);
inline constexpr const char* kUnableToOpenFile = "Unable to open file";

} // namespace strikeline
