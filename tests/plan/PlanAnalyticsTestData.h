#pragma once

#include "analytics/AnalyticsSettings.h"
#include "analytics/AnalyticsTexts.h"
#include "analytics/SeriesAnalytics.h"
#include "marketdata/CompanyInfo.h"
#include "marketdata/Dividend.h"
#include "plan/PlanTestData.h"
#include "plan/TradingPlanEntry.h"

#include <string>
#include <vector>

namespace strikeline::test {

// A market in which a call of ABC, written over 2000 shares, is deep in the money over a
// fully franked dividend: the shares lose their franking credits. Dates count from the
// exchange's today at `now`.
struct CFrankedCallMarket {
    static constexpr double kShareLast = 50.0;
    static constexpr double kStrike = 35.0;
    // Intrinsic value and a little time value: a delta near 1.
    static constexpr double kPremium = 15.5;
    static constexpr double kDividend = 1.2;
    static constexpr double kShares = 2000.0;
    static constexpr int kExpiryDays = 90;
    static constexpr int kExDays = 30;
    static constexpr const char* kCompany = "ABC";
    static constexpr const char* kSeries = "ABCXX1";
    // A series of the same share that the market does not hold.
    static constexpr const char* kMissingSeries = "ABCZZ9";

    explicit CFrankedCallMarket(FileTime now)
        : today(MakeAnalyticsContext(now, CAnalyticsSettings()).today) {
        CContractInfo series;
        series.SetCode(kSeries);
        series.SetExercise(kStrike);
        series.SetLast(kPremium);
        series.SetExpiry(Day(kExpiryDays));
        series.SetLastTraded(now - 3600 * kFileTimeTicksPerSecond);
        series.SetContractSize(1000);
        series.SetOpenInterest(10);
        CCompanyInfo share;
        share.SetCode(kCompany);
        share.SetLast(kShareLast);
        share.SetIsCall(true);
        share.AddContract(std::move(series));
        calls.push_back(std::move(share));
        dividends.push_back({kCompany, Day(kExDays), kDividend, 100.0});
    }

    // Midnight `days` after the exchange's today, as the files keep their dates.
    FileTime Day(int days) const { return FileTimeFromUnix((today + days) * 86400L); }

    // The plan's row writing the call, or the same row over a series not in the market.
    CTradingPlanEntry Row(const std::string& series = kSeries) const {
        CTradingPlanEntry row = SoldCall(kCompany, series);
        row.m_Shares = kShares;
        row.m_ContractSize = 1000;
        row.m_SharePrice = kShareLast;
        row.m_StrikePrice = kStrike;
        row.m_Premium = kPremium;
        row.m_DateExpiry = Day(kExpiryDays);
        return row;
    }

    // The franking warning the row must show, from the credits' definition at the default
    // 30% tax rate.
    static std::string FrankingWarning() {
        const double taxRate = CAnalyticsSettings::kDefaultTaxRatePercent / 100.0;
        return FrankingAtRiskText(kDividend * taxRate / (1.0 - taxRate) * kShares);
    }

    long today;
    std::vector<CCompanyInfo> calls;
    std::vector<CDividend> dividends;
};

} // namespace strikeline::test
