#include "reports/ReportBuilder.h"

#include "marketdata/FieldScan.h"
#include "reports/SeriesFigures.h"

#include <algorithm>
#include <cmath>

namespace strikeline {

namespace {

constexpr double kNoSeriesYield = -1.0;
constexpr double kDistanceBound = 1000000000.0;
constexpr std::size_t kHighestCount = 10;

using SeriesList = std::vector<const CContractInfo*>;

// The first series, in the given order, strictly closer to the last sale than every one
// before it; npos for an empty list.
std::size_t AtTheMoneyIndex(const SeriesList& list, double lastSale) {
    std::size_t best = std::string::npos;
    double bestDistance = kDistanceBound;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const double distance = std::fabs(list[i]->Exercise() - lastSale);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

// The series the filter accepts, in stored order.
SeriesList QualifyingSeries(const CCompanyInfo& company, const CReportFilter& filter) {
    SeriesList series;
    for (const CContractInfo& contract : company.Contracts()) {
        if (filter.Accepts(contract)) {
            series.push_back(&contract);
        }
    }
    return series;
}

// The same in series order: the list a company block shows.
SeriesList SortedQualifyingSeries(const CCompanyInfo& company, const CReportFilter& filter) {
    SeriesList series = QualifyingSeries(company, filter);
    std::sort(series.begin(), series.end(),
              [](const CContractInfo* a, const CContractInfo* b) { return SeriesOrder(*a, *b); });
    return series;
}

double Yield(double premium, double lastSale) {
    return IsValue(premium) && IsValue(lastSale) && lastSale != 0.0 ? premium / lastSale * 100.0
                                                                    : UNSET_VALUE;
}

// A company of the market, its sort keys and its at-the-money yield among its sorted
// qualifying series.
struct CCandidate {
    std::shared_ptr<const CCompanyInfo> company;
    CCompanyInfo::CAtTheMoney keys;
    double highestYield = kNoSeriesYield;
};

// "List Highest 10": the ten companies whose at-the-money series (among the qualifying
// ones in series order) pays the most, none without a qualifying series.
void KeepHighestYields(std::vector<CCandidate>& candidates, const CReportFilter& filter) {
    for (CCandidate& candidate : candidates) {
        const SeriesList series = SortedQualifyingSeries(*candidate.company, filter);
        const std::size_t atm = AtTheMoneyIndex(series, candidate.company->Last());
        candidate.highestYield = kNoSeriesYield;
        if (atm != std::string::npos) {
            const double yield = Yield(series[atm]->Last(), candidate.company->Last());
            candidate.highestYield = IsValue(yield) ? yield : kNoSeriesYield;
        }
    }
    std::sort(candidates.begin(), candidates.end(), [](const CCandidate& a, const CCandidate& b) {
        return a.highestYield > b.highestYield;
    });
    while (candidates.size() > kHighestCount ||
           (!candidates.empty() && candidates.back().highestYield < 0.0)) {
        candidates.pop_back();
    }
}

int CompareCodes(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char x = FoldAsciiCase(a[i]);
        const char y = FoldAsciiCase(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareNumbers(double a, double b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The series the company's block marks, so that the order follows the yields the user
// sees: with several expiries at the nearest strike the stored order would pick another one.
const CContractInfo* MarkedSeries(const CCompanyInfo& company, const CReportFilter& filter) {
    const SeriesList series = SortedQualifyingSeries(company, filter);
    const std::size_t atm = AtTheMoneyIndex(series, company.Last());
    return atm == std::string::npos ? nullptr : series[atm];
}

void OrderCompanies(std::vector<CCandidate>& candidates, const CReportSettings& settings,
                    const CReportFilter& filter) {
    for (CCandidate& candidate : candidates) {
        candidate.keys = SortKeysOf(*candidate.company, filter);
    }
    std::sort(candidates.begin(), candidates.end(), [&](const CCandidate& a, const CCandidate& b) {
        return CompanyPrecedes(*a.company, a.keys, *b.company, b.keys, settings);
    });
}

} // namespace

CCompanyInfo::CAtTheMoney SortKeysOf(const CCompanyInfo& company, const CReportFilter& filter) {
    return CCompanyInfo::AtTheMoneyOf(MarkedSeries(company, filter), company.Last());
}

void ComputeSortKeys(CCompanyInfo& company, const CReportFilter& filter) {
    company.SetAtTheMoney(MarkedSeries(company, filter));
}

bool CompanyPrecedes(const CCompanyInfo& a, const CCompanyInfo& b,
                     const CReportSettings& settings) {
    return CompanyPrecedes(a, a.AtTheMoney(), b, b.AtTheMoney(), settings);
}

bool CompanyPrecedes(const CCompanyInfo& a, const CCompanyInfo::CAtTheMoney& aKeys,
                     const CCompanyInfo& b, const CCompanyInfo::CAtTheMoney& bKeys,
                     const CReportSettings& settings) {
    int order = 0;
    switch (settings.SortMode()) {
    case CReportSettings::ByName:
        order = CompareCodes(a.Code(), b.Code());
        break;
    case CReportSettings::ByPrice:
        order = CompareNumbers(a.Last(), b.Last());
        break;
    case CReportSettings::ByYield:
        order = CompareNumbers(aKeys.yield, bKeys.yield);
        break;
    case CReportSettings::ByStrikePrice:
        order = CompareNumbers(aKeys.strike, bKeys.strike);
        break;
    default:
        break; // ASX Fair Price: the option price below decides
    }
    if (order == 0) {
        order = CompareNumbers(aKeys.optionPrice, bKeys.optionPrice);
    }
    if (order == 0) {
        order = CompareCodes(a.Code(), b.Code());
    }
    return settings.SortAscending() ? order < 0 : order > 0;
}

CReportBlock MakeReportBlock(std::shared_ptr<const CCompanyInfo> company,
                             const CReportFilter& filter, bool leveraged) {
    CReportBlock block;
    block.company = std::move(company);
    const SeriesList series = SortedQualifyingSeries(*block.company, filter);
    const CContractInfo* first = block.company->Contracts().data();
    for (const CContractInfo* contract : series) {
        block.series.push_back(static_cast<std::size_t>(contract - first));
    }
    if (const std::size_t atm = AtTheMoneyIndex(series, block.company->Last());
        atm != std::string::npos) {
        block.atTheMoney = atm;
    }
    block.leveraged = leveraged;
    if (block.leveraged && !series.empty()) {
        block.costOfLeverage = CostOfLeverage(*block.company, *series.front(), filter.Now());
    }
    return block;
}

bool SeriesOrder(const CContractInfo& a, const CContractInfo& b) {
    if (a.Exercise() != b.Exercise()) {
        return a.Exercise() < b.Exercise();
    }
    return a.Last() > b.Last();
}

CReport BuildReport(ReportKind kind, const CReportSettings& settings, const CMarketSnapshot& market,
                    FileTime now) {
    CReport report;
    report.kind = kind;
    const bool isCall = kind == ReportKind::Call;
    std::vector<CCandidate> candidates;
    candidates.reserve(market.Companies(isCall).size());
    for (std::size_t i = 0; i < market.Companies(isCall).size(); ++i) {
        candidates.push_back({market.ShareCompany(isCall, i), {}, kNoSeriesYield});
    }
    const CReportFilter filter(settings, now, market.Calls(), market.Puts());

    switch (settings.Stocks()) {
    case CReportSettings::ListHighest10:
        KeepHighestYields(candidates, filter);
        break;
    case CReportSettings::SelectStocks:
        std::erase_if(candidates, [chosen = CCodeSet(settings.CompanyList())](const CCandidate& c) {
            return !chosen.Contains(c.company->Code());
        });
        break;
    case CReportSettings::Top20:
        std::erase_if(candidates, [&](const CCandidate& c) {
            return market.Top20().GetName(c.company->Code()).empty();
        });
        break;
    default:
        break; // List All, and values outside the list
    }
    if (settings.Stocks() != CReportSettings::Top20) {
        OrderCompanies(candidates, settings, filter);
    }

    for (CCandidate& candidate : candidates) {
        CReportBlock block =
            MakeReportBlock(std::move(candidate.company), filter, settings.DisplayLeveragedBar());
        if (!block.series.empty()) {
            report.blocks.push_back(std::move(block));
        }
    }
    return report;
}

} // namespace strikeline
