#pragma once

#include "marketdata/CompanyList.h"
#include "marketdata/MarketSnapshot.h"
#include "reports/ReportFilter.h"
#include "reports/ReportKind.h"
#include "reports/ReportSettings.h"

#include <memory>
#include <optional>
#include <vector>

namespace strikeline {

// One company block of a report: the share (shared with the market it came from, which it
// keeps alive, so a whole-market report copies no series), its qualifying series in report
// order (indexes into the share's series), the one at the money, and the cost of the
// leveraged line when the settings ask for it.
struct CReportBlock {
    std::shared_ptr<const CCompanyInfo> company;
    std::vector<std::size_t> series;
    std::optional<std::size_t> atTheMoney; // position in `series`; none when no series is near
                                           // enough (a share without a last sale)
    bool leveraged = false;
    double costOfLeverage = 0.0;

    const CContractInfo& Series(std::size_t i) const { return company->Contracts()[series[i]]; }
};

struct CReport {
    ReportKind kind = ReportKind::Call;
    std::vector<CReportBlock> blocks;
};

// Builds the Call or Put Report from a market at the moment `now` (universal time): both
// option lists are read (the current month is found in both) and the Top 20. Copies the
// list of its kind, selects the companies by the settings' stock mode,
// orders them (except for the Top 20, which keeps the data's order), and lists each
// company's qualifying series in series order. Companies without qualifying series get
// no block. The market data is never changed.
CReport BuildReport(ReportKind kind, const CReportSettings& settings, const CMarketSnapshot& market,
                    FileTime now);

// The yield, strike and option price of the series a company's report block marks at the
// money (among the accepted series in series order), which CompanyPrecedes orders by.
CCompanyInfo::CAtTheMoney SortKeysOf(const CCompanyInfo& company, const CReportFilter& filter);
// The same kept on the company.
void ComputeSortKeys(CCompanyInfo& company, const CReportFilter& filter);
// The report's company order: the settings' sort key, then the at-the-money option price,
// then the code (letter case aside), every step in the settings' direction. The first form
// takes the sort keys kept on the companies.
bool CompanyPrecedes(const CCompanyInfo& a, const CCompanyInfo& b, const CReportSettings& settings);
bool CompanyPrecedes(const CCompanyInfo& a, const CCompanyInfo::CAtTheMoney& aKeys,
                     const CCompanyInfo& b, const CCompanyInfo::CAtTheMoney& bKeys,
                     const CReportSettings& settings);
// One company's block: its qualifying series in series order and the one at the money,
// with the leveraged line's cost when `leveraged`.
CReportBlock MakeReportBlock(std::shared_ptr<const CCompanyInfo> company,
                             const CReportFilter& filter, bool leveraged);

// Strike ascending, then the option price descending.
bool SeriesOrder(const CContractInfo& a, const CContractInfo& b);

} // namespace strikeline
