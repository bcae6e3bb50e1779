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

// The at-the-money figures a company is ordered by.
struct CSortKeys {
    double yield = UNSET_VALUE;
    double strike = UNSET_VALUE;
    double optionPrice = UNSET_VALUE;
};

struct CCandidate {
    CCompanyInfo company;
    CSortKeys keys;
};

// "List Highest 10": the ten companies whose at-the-money series (among the qualifying
// ones in series order) pays the most, none without a qualifying series.
void KeepHighestYields(std::vector<CCandidate>& candidates, const CReportFilter& filter) {
    for (CCandidate& candidate : candidates) {
        const SeriesList series = SortedQualifyingSeries(candidate.company, filter);
        const std::size_t atm = AtTheMoneyIndex(series, candidate.company.Last());
        candidate.keys.yield = kNoSeriesYield;
        if (atm != std::string::npos) {
            const double yield = Yield(series[atm]->Last(), candidate.company.Last());
            candidate.keys.yield = IsValue(yield) ? yield : kNoSeriesYield;
        }
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const CCandidate& a, const CCandidate& b) { return a.keys.yield > b.keys.yield; });
    while (candidates.size() > kHighestCount ||
           (!candidates.empty() && candidates.back().keys.yield < 0.0)) {
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

// Orders by the sort key of the settings, then the at-the-money option price, then the
// code, every step in the settings' direction.
void OrderCompanies(std::vector<CCandidate>& candidates, const CReportSettings& settings,
                    const CReportFilter& filter) {
    for (CCandidate& candidate : candidates) {
        const auto series = QualifyingSeries(candidate.company, filter); // stored order, not sorted
        const std::size_t atm = AtTheMoneyIndex(series, candidate.company.Last());
        candidate.keys = {};
        if (atm != std::string::npos) {
            candidate.keys = {Yield(series[atm]->Last(), candidate.company.Last()),
                              series[atm]->Exercise(), series[atm]->Last()};
        }
    }
    const auto primary = [&](const CCandidate& a, const CCandidate& b) {
        switch (settings.SortMode()) {
        case CReportSettings::ByName:
            return CompareCodes(a.company.Code(), b.company.Code());
        case CReportSettings::ByPrice:
            return CompareNumbers(a.company.Last(), b.company.Last());
        case CReportSettings::ByYield:
            return CompareNumbers(a.keys.yield, b.keys.yield);
        case CReportSettings::ByStrikePrice:
            return CompareNumbers(a.keys.strike, b.keys.strike);
        default:
            return 0; // ASX Fair Price: the option price below decides
        }
    };
    const bool ascending = settings.SortAscending();
    std::sort(candidates.begin(), candidates.end(), [&](const CCandidate& a, const CCandidate& b) {
        int order = primary(a, b);
        if (order == 0) {
            order = CompareNumbers(a.keys.optionPrice, b.keys.optionPrice);
        }
        if (order == 0) {
            order = CompareCodes(a.company.Code(), b.company.Code());
        }
        return ascending ? order < 0 : order > 0;
    });
}

bool InCompanyList(const std::string& code, const std::vector<std::string>& list) {
    return std::any_of(list.begin(), list.end(),
                       [&](const std::string& entry) { return SameCode(entry, code); });
}

CReportBlock MakeBlock(CCompanyInfo company, const CReportSettings& settings,
                       const CReportFilter& filter) {
    CReportBlock block;
    block.company = std::move(company);
    const SeriesList series = SortedQualifyingSeries(block.company, filter);
    const CContractInfo* first = block.company.Contracts().data();
    for (const CContractInfo* contract : series) {
        block.series.push_back(static_cast<std::size_t>(contract - first));
    }
    if (const std::size_t atm = AtTheMoneyIndex(series, block.company.Last());
        atm != std::string::npos) {
        block.atTheMoney = atm;
    }
    block.leveraged = settings.DisplayLeveragedBar();
    if (block.leveraged && !series.empty()) {
        block.costOfLeverage = CostOfLeverage(block.company, *series.front(), filter.Now());
    }
    return block;
}

} // namespace

bool SeriesOrder(const CContractInfo& a, const CContractInfo& b) {
    if (a.Exercise() != b.Exercise()) {
        return a.Exercise() < b.Exercise();
    }
    return a.Last() > b.Last();
}

CReport BuildReport(ReportKind kind, const CReportSettings& settings, const CReportSources& sources,
                    FileTime now) {
    CReport report;
    report.kind = kind;
    const CCompanyList& list = kind == ReportKind::Call ? sources.calls : sources.puts;
    std::vector<CCandidate> candidates;
    for (CCompanyInfo& company : list.Copy()) {
        candidates.push_back({std::move(company), {}});
    }
    const CReportFilter filter(settings, now, sources.calls, sources.puts);

    switch (settings.Stocks()) {
    case CReportSettings::ListHighest10:
        KeepHighestYields(candidates, filter);
        break;
    case CReportSettings::SelectStocks:
        std::erase_if(candidates, [&](const CCandidate& c) {
            return !InCompanyList(c.company.Code(), settings.CompanyList());
        });
        break;
    case CReportSettings::Top20:
        std::erase_if(candidates, [&](const CCandidate& c) {
            return sources.top20.GetName(c.company.Code()).empty();
        });
        break;
    default:
        break; // List All, and values outside the list
    }
    if (settings.Stocks() != CReportSettings::Top20) {
        OrderCompanies(candidates, settings, filter);
    }

    for (CCandidate& candidate : candidates) {
        CReportBlock block = MakeBlock(std::move(candidate.company), settings, filter);
        if (!block.series.empty()) {
            report.blocks.push_back(std::move(block));
        }
    }
    return report;
}

} // namespace strikeline
