#pragma once

#include "marketdata/CompanyList.h"
#include "reports/ReportSettings.h"
#include "storage/FileTime.h"

namespace strikeline {

// Which option series a report lists, for one report kind at one moment: the expiry
// months, the price range and the old-trade rule of the settings, worked out for `now`.
// Built afresh for every build; the settings record must outlive it.
class CReportFilter {
public:
    // `now` is universal time. The current month is now's month while some series of
    // either option list still expires later in it, else
    // the month after (December rolls over to January of the next year).
    CReportFilter(const CReportSettings& settings, FileTime now,
                  const std::vector<CCompanyInfo>& calls, const std::vector<CCompanyInfo>& puts);
    // The same with the current-month scan already answered, for callers that hold the data.
    CReportFilter(const CReportSettings& settings, FileTime now, bool laterExpiryThisMonth);

    // True when the series qualifies: expiry month, then price range, then the old-trade
    // rule, then the least open interest and the least premium (last price) when they are
    // set, a figure the data did not give counting as 0, then a strike of at least 0.02 (so
    // a missing strike never qualifies).
    bool Accepts(const CContractInfo& contract) const;

    FileTime Now() const { return m_Now; }
    int CurrentYear() const { return m_CurrentYear; }
    unsigned CurrentMonth() const { return m_CurrentMonth; }
    unsigned NextMonth() const { return m_NextMonth; }
    // 5, 10, 20, 30, 40 or 50 for the ranges 1 to 6; 0 otherwise.
    double HighestStrike() const { return m_HighestStrike; }
    // Series last traded before this moment are old: 00:00 UTC two weekdays back.
    FileTime OldTradeThreshold() const { return m_OldTradeThreshold; }

    // True when a series of `companies` expires later in now's month than today.
    static bool HasLaterExpiryThisMonth(const std::vector<CCompanyInfo>& companies, FileTime now);

private:
    bool AcceptsExpiry(FileTime expiry) const;

    const CReportSettings& m_Settings;
    FileTime m_Now;
    int m_CurrentYear = 0;
    unsigned m_CurrentMonth = 1;
    unsigned m_NextMonth = 2;
    double m_HighestStrike = 0.0;
    FileTime m_OldTradeThreshold = kNoDate;
};

} // namespace strikeline
