#include "analytics/SeriesAnalytics.h"

#include "analytics/BlackScholes.h"
#include "marketdata/ExchangeTime.h"
#include "reports/ReportFilter.h"
#include "reports/SeriesFigures.h"
#include "storage/NumberText.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace strikeline {

namespace {

constexpr double kDaysInYear = 365.0;
constexpr std::int64_t kSecondsPerDay = 86400;

bool Given(double value) {
    return IsValue(value) && value > 0.0;
}

// Today's date on the exchange's clock: the offset (eleven hours in daylight saving, else
// ten) whose exchange moment converts back to `now`.
long ExchangeDay(FileTime now) {
    using namespace std::chrono;
    const std::int64_t unix = UnixFromFileTime(now);
    for (const std::int64_t hours : {11, 10}) {
        const sys_seconds local{seconds{unix + hours * 3600}};
        const sys_days day = floor<days>(local);
        const year_month_day date{day};
        const hh_mm_ss clock{local - day};
        const CExchangeMoment moment{static_cast<unsigned>(static_cast<int>(date.year())),
                                     static_cast<unsigned>(date.month()),
                                     static_cast<unsigned>(date.day()),
                                     static_cast<unsigned>(clock.hours().count()),
                                     static_cast<unsigned>(clock.minutes().count()),
                                     static_cast<unsigned>(clock.seconds().count())};
        FileTime universal = kNoDate;
        if (ExchangeTimeToUniversal(moment, universal) &&
            universal == now - now % kFileTimeTicksPerSecond) {
            return static_cast<long>(day.time_since_epoch().count());
        }
    }
    return static_cast<long>(
        floor<days>(sys_seconds{seconds{unix + 10 * 3600}}).time_since_epoch().count());
}

std::optional<double> Annualised(double percent, long days) {
    if (days <= 0 || !IsValue(percent)) {
        return std::nullopt;
    }
    return percent * kDaysInYear / static_cast<double>(days);
}

// Why the series has no implied volatility before any solving, if it has none.
std::optional<VolatilityAbsence> AbsenceBeforeSolving(const CCompanyInfo& company,
                                                      const CContractInfo& series, long days) {
    if (days <= 0) {
        return VolatilityAbsence::Expired;
    }
    if (!Given(company.Last()) || !Given(series.Exercise()) || !Given(series.ContractSize())) {
        return VolatilityAbsence::MissingInput;
    }
    if (series.LastTraded() == kNoDate || !IsValue(series.Last())) {
        return VolatilityAbsence::NoTrade;
    }
    if (series.Last() <= 0.0) {
        return VolatilityAbsence::NoPremium;
    }
    return std::nullopt;
}

// The earliest ex-date before which the holder of a call in the money does better to
// exercise than to hold: S − K at least the European call on S − D after the ex-date.
std::optional<CEarlyExercise> EarlyExercise(const COptionTerms& terms,
                                            const std::vector<CDividend>& dividends,
                                            double volatility) {
    const double exerciseValue = terms.spot - terms.strike;
    if (!terms.isCall || exerciseValue <= 0.0) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < dividends.size(); ++i) {
        const double after = terms.spot - dividends[i].amount;
        const double left = terms.years - terms.dividends[i].years;
        const double held =
            left <= 0.0 || after <= 0.0
                ? std::max(after - terms.strike, 0.0)
                : EuropeanPrice({true, after, terms.strike, left, terms.rate}, volatility);
        if (exerciseValue >= held) {
            return CEarlyExercise{dividends[i].date, dividends[i].amount};
        }
    }
    return std::nullopt;
}

} // namespace

long DayNumber(FileTime date) {
    return static_cast<long>(std::floor(static_cast<double>(UnixFromFileTime(date)) /
                                        static_cast<double>(kSecondsPerDay)));
}

CAnalyticsContext MakeAnalyticsContext(FileTime now, const CAnalyticsSettings& settings) {
    const CReportSettings reportDefaults;
    const CReportFilter filter(reportDefaults, now, false);
    return {now, ExchangeDay(now), settings.RatePercent() / 100.0,
            settings.TaxRatePercent() / 100.0, filter.OldTradeThreshold()};
}

const char* AbsenceText(VolatilityAbsence absence) {
    switch (absence) {
    case VolatilityAbsence::NoTrade:
        return "no trade";
    case VolatilityAbsence::NoPremium:
        return "no premium";
    case VolatilityAbsence::Expired:
        return "expired";
    case VolatilityAbsence::AtOrBelowExerciseValue:
        return "at or below exercise value";
    case VolatilityAbsence::OutsideModelRange:
        return "outside model range";
    case VolatilityAbsence::MissingInput:
        return "missing input";
    }
    return "";
}

CSeriesAnalytics ComputeSeriesAnalytics(const CCompanyInfo& company, const CContractInfo& series,
                                        std::span<const CDividend> shareDividends,
                                        const CAnalyticsContext& context) {
    CSeriesAnalytics result = ComputeClosedFormAnalytics(company, series, shareDividends, context);
    AddModelAnalytics(result, company, series, context);
    return result;
}

CSeriesAnalytics ComputeClosedFormAnalytics(const CCompanyInfo& company,
                                            const CContractInfo& series,
                                            std::span<const CDividend> shareDividends,
                                            const CAnalyticsContext& context) {
    CSeriesAnalytics result;
    const bool isCall = company.IsCall();
    const long expiryDay = DayNumber(series.Expiry());
    result.days = expiryDay - context.today;

    const CSeriesFigures figures = ComputeSeriesFigures(company, series);
    result.annualisedNotExercised = Annualised(figures.notExercisedReturn, result.days);
    result.annualisedExercised = Annualised(figures.exercisedReturn, result.days);
    const double premium = series.Last();
    const double spot = company.Last();
    if (!isCall && Given(premium) && Given(series.Exercise())) {
        result.cashSecured = Annualised(premium / series.Exercise() * 100.0, result.days);
    }

    for (const CDividend& dividend : shareDividends) {
        const long exDay = DayNumber(dividend.date);
        if (exDay > context.today && exDay <= expiryDay) {
            result.dividends.push_back(dividend);
        }
    }
    std::sort(result.dividends.begin(), result.dividends.end(),
              [](const CDividend& a, const CDividend& b) { return a.date < b.date; });
    double dividendSum = 0.0;
    for (const CDividend& dividend : result.dividends) {
        dividendSum += dividend.amount;
        result.frankingCredits +=
            dividend.amount * dividend.franking / 100.0 * context.taxRate / (1.0 - context.taxRate);
    }
    if (isCall && Given(premium) && Given(spot)) {
        result.returnWithDividends = (premium + dividendSum) / spot * 100.0;
        result.returnWithFranking = (premium + dividendSum + result.frankingCredits) / spot * 100.0;
    }

    if (series.LastTraded() != kNoDate) {
        result.lastTradeAgeDays = static_cast<double>(context.now - series.LastTraded()) /
                                  static_cast<double>(kFileTimeTicksPerSecond * kSecondsPerDay);
    }
    result.stale =
        series.LastTraded() == kNoDate || series.LastTraded() < context.oldTradeThreshold;
    return result;
}

void AddModelAnalytics(CSeriesAnalytics& result, const CCompanyInfo& company,
                       const CContractInfo& series, const CAnalyticsContext& context) {
    if (const auto absence = AbsenceBeforeSolving(company, series, result.days)) {
        result.volatility.absence = absence;
        return;
    }
    const bool isCall = company.IsCall();
    const double premium = series.Last();
    const double spot = company.Last();
    COptionTerms terms{
        isCall,       spot, series.Exercise(), static_cast<double>(result.days) / kDaysInYear,
        context.rate, {}};
    for (const CDividend& dividend : result.dividends) {
        terms.dividends.push_back(
            {static_cast<double>(DayNumber(dividend.date) - context.today) / kDaysInYear,
             dividend.amount});
    }
    result.volatility = SolveImpliedVolatility(terms, premium);
    if (!result.volatility.volatility) {
        return;
    }
    const double volatility = *result.volatility.volatility;
    const double netSpot = std::max(spot - PresentValueOfDividends(terms), 1e-6 * spot);
    result.chanceOfExercise =
        ChanceInTheMoney({isCall, netSpot, terms.strike, terms.years, terms.rate}, volatility);
    result.earlyExercise = EarlyExercise(terms, result.dividends, volatility);
}

} // namespace strikeline
