#pragma once

#include "marketdata/CompanyList.h"
#include "marketdata/CompanyNameTable.h"
#include "marketdata/DividendList.h"
#include "session/Notifier.h"

#include <string>
#include <string_view>

namespace strikeline {

// The market data files in the data folder.
inline constexpr std::string_view kCallFileName = "call.csv";
inline constexpr std::string_view kPutFileName = "put.csv";
inline constexpr std::string_view kDividendsFileName = "dividends.csv";
inline constexpr std::string_view kCompanyNamesFileName = "companyname.txt";
inline constexpr std::string_view kTop20FileName = "top20.txt";

// Each loader reads its file from `dataFolder` into the shared list or table, and does
// nothing (returning true) when the file does not exist. A file that does not parse still
// replaces the list with what was read before the bad line, and the user is shown
// "Error when parsing .csv file %s.\n\n%s" ("Error when parsing file %s.\n\n%s" for the
// Top 20) with the path and the reason; the loader then returns false. Readers of the
// list see either the old list or the new one, never a list half read.

// call.csv (isCall) or put.csv; asks for a refresh of that report whether or not the
// parse succeeded.
bool LoadOptionFile(bool isCall, const std::string& dataFolder, CCompanyList& list,
                    CNotifier& notifier);
// dividends.csv; asks for a refresh of the Dividends view.
bool LoadDividendsFile(const std::string& dataFolder, CDividendList& list, CNotifier& notifier);
bool LoadCompanyNamesFile(const std::string& dataFolder, CSharedNameTable& table,
                          CNotifier& notifier);
bool LoadTop20File(const std::string& dataFolder, CSharedNameTable& table, CNotifier& notifier);

} // namespace strikeline
