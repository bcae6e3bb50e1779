#include "reports/ShortListTexts.h"

#include "reports/ReportTexts.h"
#include "reports/SeriesFigures.h"
#include "storage/NumberText.h"

namespace strikeline {

namespace {

constexpr int kShareDecimals = 5;
constexpr int kMoneyDecimals = 2;
constexpr int kPercentDecimals = 2;

double BreakEven(const CCompanyInfo& company, const CContractInfo& series) {
    return IsValue(company.Last()) && IsValue(series.Last()) ? company.Last() - series.Last()
                                                             : UNSET_VALUE;
}

} // namespace

std::vector<std::string> ShortListCompanyHeaderTexts(const CCompanyInfo& company) {
    std::vector<std::string> texts = CompanyHeaderTexts(company);
    texts.emplace_back("Close");
    return texts;
}

std::vector<std::string> ShortListCompanyValueTexts(const CCompanyInfo& company,
                                                    const CCompanyNameTable& names) {
    // The name link is the report's; only the figures' decimals differ.
    std::vector<std::string> texts{CompanyValueTexts(company, names).front()};
    for (const double value : {company.Last(), company.Change(), company.Bid(), company.Offer(),
                               company.Open(), company.High(), company.Low(), company.Volume()}) {
        texts.push_back(FormatNumber(value, kShareDecimals));
    }
    if (company.PriceEarnings() != UNSET_VALUE) {
        texts.push_back(FormatNumber(company.PriceEarnings(), kShareDecimals));
    }
    texts.emplace_back();
    return texts;
}

std::array<std::string, kShortListColumns>
ShortListSeriesTexts(const CCompanyInfo& company, const CContractInfo& series,
                     const std::optional<CDividend>& dividend) {
    const std::array<std::string, 12> report = SeriesRowTexts(company, series);
    const CSeriesFigures figures = ComputeSeriesFigures(company, series);
    std::array<std::string, kShortListColumns> texts;
    // Code, last trade, expiry and strike read as in the reports.
    for (std::size_t i = 0; i < 4; ++i) {
        texts[i + 1] = report[i];
    }
    texts[kShortListPriceColumn] = FormatMoney(series.Last(), kMoneyDecimals);
    texts[6] = report[5]; // contract size
    texts[7] = report[6]; // open interest
    texts[8] = FormatMoney(figures.notExercisedProfit, kMoneyDecimals);
    texts[kShortListNotExercisedReturnColumn] =
        FormatPercent(figures.notExercisedReturn, kPercentDecimals);
    texts[10] = FormatMoney(figures.exercisedProfit, kMoneyDecimals);
    texts[kShortListExercisedReturnColumn] =
        FormatPercent(figures.exercisedReturn, kPercentDecimals);
    if (dividend) {
        texts[kShortListDividendValueColumn] = FormatMoney(dividend->amount, kMoneyDecimals);
        texts[kShortListDividendDateColumn] =
            dividend->date == kNoDate
                ? std::string()
                : FormatFileTime(dividend->date, TimeZoneMode::Local, FileTimeStyle::DayMonthYear);
    }
    texts[14] = FormatMoney(BreakEven(company, series), kMoneyDecimals);
    return texts;
}

} // namespace strikeline
