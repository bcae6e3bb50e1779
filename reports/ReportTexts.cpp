#include "reports/ReportTexts.h"

#include "marketdata/FieldScan.h"
#include "storage/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace strikeline {

namespace {

// Decimals of each figure, as every report-like view shows them.
constexpr int kPriceDecimals = 5;
constexpr int kVolumeDecimals = 2;
constexpr int kStrikeDecimals = 2;
constexpr int kFairPriceDecimals = 3;
constexpr int kQuantityDecimals = 5;
constexpr int kProfitDecimals = 2;
constexpr int kReturnDecimals = 2;
constexpr int kBreakEvenDecimals = 3;

// Whole dollars, truncated toward zero; no value stays no value.
double WholeDollars(double x) {
    return IsValue(x) ? std::trunc(x) : x;
}

std::string CodeAndName(const std::string& code, const std::string& name) {
    return name.empty() ? code : code + " - " + name;
}

} // namespace

std::vector<std::string> CompanyHeaderTexts(const CCompanyInfo& company) {
    std::vector<std::string> texts = {"Company Name", "Last Sale", "$ +/-", "Bid",   "Offer",
                                      "Open",         "High",      "Low",   "Volume"};
    if (company.PriceEarnings() != UNSET_VALUE) {
        texts.emplace_back("P/E");
    }
    return texts;
}

std::vector<std::string> CompanyValueTexts(const CCompanyInfo& company,
                                           const CCompanyNameTable& names) {
    std::vector<std::string> texts = {
        CodeAndName(company.Code(), names.GetName(company.Code())),
        FormatNumber(company.Last(), kPriceDecimals),
        FormatNumber(company.Change(), kPriceDecimals),
        FormatNumber(company.Bid(), kPriceDecimals),
        FormatNumber(company.Offer(), kPriceDecimals),
        FormatNumber(company.Open(), kPriceDecimals),
        FormatNumber(company.High(), kPriceDecimals),
        FormatNumber(company.Low(), kPriceDecimals),
        FormatNumber(company.Volume(), kVolumeDecimals),
    };
    if (company.PriceEarnings() != UNSET_VALUE) {
        texts.push_back(FormatNumber(company.PriceEarnings(), kVolumeDecimals));
    }
    return texts;
}

std::array<std::string, 12> SeriesRowTexts(const CCompanyInfo& company,
                                           const CContractInfo& series) {
    const CSeriesFigures figures = ComputeSeriesFigures(company, series);
    return {
        series.Code(),
        series.LastTraded() == kNoDate
            ? std::string("-")
            : FormatFileTime(series.LastTraded(), TimeZoneMode::Local, FileTimeStyle::DateTime),
        FormatFileTime(series.Expiry(), TimeZoneMode::Local, FileTimeStyle::DayMonthYear),
        FormatMoney(series.Exercise(), kStrikeDecimals),
        FormatMoney(series.Last(), kFairPriceDecimals),
        FormatNumber(series.ContractSize(), kQuantityDecimals),
        FormatNumber(series.OpenInterest(), kQuantityDecimals),
        FormatMoney(figures.notExercisedProfit, kProfitDecimals),
        FormatPercent(figures.notExercisedReturn, kReturnDecimals),
        FormatMoney(figures.exercisedProfit, kProfitDecimals),
        FormatPercent(figures.exercisedReturn, kReturnDecimals),
        FormatMoney(figures.breakEven, kBreakEvenDecimals),
    };
}

std::array<std::string, 6> LeveragedRowTexts(const CCompanyInfo& company,
                                             const CContractInfo& atTheMoney,
                                             double costOfLeverage) {
    const CLeveragedFigures figures = ComputeLeveragedFigures(company, atTheMoney, costOfLeverage);
    char text[160];
    const double cost = IsValue(costOfLeverage) ? std::max(0.0, std::trunc(costOfLeverage)) : 0.0;
    std::snprintf(
        text, sizeof text,
        "50%% Leveraged Position. Cost of leverage equals approximately $%llu (9%% Interest).",
        static_cast<unsigned long long>(cost));
    return {
        text,
        FormatMoney(WholeDollars(figures.notExercisedProfit), kProfitDecimals),
        FormatPercent(figures.notExercisedReturn, kReturnDecimals),
        FormatMoney(WholeDollars(figures.exercisedProfit), kProfitDecimals),
        FormatPercent(figures.exercisedReturn, kReturnDecimals),
        std::string(),
    };
}

std::vector<CStockListLine> BuildStockList(const std::vector<CCompanyInfo>& companies,
                                           const CCompanyNameTable& names) {
    std::map<std::string, std::string> nameByCode;
    for (const CCompanyInfo& company : companies) {
        nameByCode.try_emplace(company.Code());
    }
    for (std::size_t i = 0; i < names.GetCount(); ++i) {
        nameByCode[names.GetCodeAt(i)] = names.GetNameAt(i);
    }
    std::vector<CStockListLine> lines;
    lines.reserve(nameByCode.size());
    for (const auto& [code, name] : nameByCode) {
        lines.push_back({code, CodeAndName(code, name)});
    }
    // The list box keeps its lines in alphabetical order, letter case aside.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const CStockListLine& a, const CStockListLine& b) {
                         return std::lexicographical_compare(
                             a.text.begin(), a.text.end(), b.text.begin(), b.text.end(),
                             [](char x, char y) { return FoldAsciiCase(x) < FoldAsciiCase(y); });
                     });
    return lines;
}

} // namespace strikeline
