#pragma once

#include "analytics/AnalyticsSettings.h"
#include "analytics/ImpliedVolatility.h"
#include "marketdata/CompanyInfo.h"
#include "marketdata/Dividend.h"
#include "storage/FileTime.h"

#include <optional>
#include <span>
#include <vector>

namespace strikeline {

// What every series of one analytics run shares: the moment, today's date on the
// exchange's clock, the rates and the age past which a last trade is stale.
struct CAnalyticsContext {
    FileTime now = kNoDate;
    long today = 0;       // days since 1970-01-01, the exchange's calendar
    double rate = 0.0;    // a fraction a year, continuously compounded
    double taxRate = 0.0; // a fraction
    FileTime oldTradeThreshold = kNoDate;
};

// `now` in universal time.
CAnalyticsContext MakeAnalyticsContext(FileTime now, const CAnalyticsSettings& settings);

// The holder may exercise just before this ex-date to take its dividend.
struct CEarlyExercise {
    FileTime exDate = kNoDate;
    double dividend = 0.0;
};

// The figures the analytics add to one series, beside the report's own.
struct CSeriesAnalytics {
    long days = 0; // calendar days from today to expiry; negative once expired
    std::optional<double> annualisedNotExercised; // percent a year
    std::optional<double> annualisedExercised;
    std::optional<double> cashSecured;         // puts: premium / strike, percent a year
    std::vector<CDividend> dividends;          // ex-date after today, on or before expiry
    double frankingCredits = 0.0;              // dollars per share
    std::optional<double> returnWithDividends; // calls, percent
    std::optional<double> returnWithFranking;
    CImpliedVolatility volatility;
    std::optional<double> chanceOfExercise; // 0..1
    std::optional<CEarlyExercise> earlyExercise;
    std::optional<double> lastTradeAgeDays;
    bool stale = false; // last traded before the old-trade threshold, or never

    std::optional<double> Delta() const {
        return volatility.volatility ? std::optional<double>(volatility.delta) : std::nullopt;
    }
};

// The analytics of `series` of `company` (a call or put share by its kind), with the share's
// dividends in any order.
CSeriesAnalytics ComputeSeriesAnalytics(const CCompanyInfo& company, const CContractInfo& series,
                                        std::span<const CDividend> shareDividends,
                                        const CAnalyticsContext& context);

// The same in two steps. The figures in closed form (every one but the volatility, the
// chance of exercise and the early exercise) cost little; the model's solving costs the
// rest. A market keeps only what the model gave and works the closed form out again when
// a series is asked for.
CSeriesAnalytics ComputeClosedFormAnalytics(const CCompanyInfo& company,
                                            const CContractInfo& series,
                                            std::span<const CDividend> shareDividends,
                                            const CAnalyticsContext& context);
void AddModelAnalytics(CSeriesAnalytics& analytics, const CCompanyInfo& company,
                       const CContractInfo& series, const CAnalyticsContext& context);

// Days since 1970-01-01 of a date kept at 00:00 with no time-zone conversion.
long DayNumber(FileTime date);

// The text of a reason for no implied volatility, as the headless output gives it.
const char* AbsenceText(VolatilityAbsence absence);

} // namespace strikeline
