#include "plan/PlanCapital.h"

#include "journal/JournalCalendar.h"
#include "plan/PlanFigures.h"
#include "plan/PlanPayoff.h"

#include <chrono>
#include <map>
#include <utility>

namespace strikeline {

namespace {

double Product(double a, double b) {
    return IsValue(a) && IsValue(b) ? a * b : 0.0;
}

} // namespace

std::vector<CPlanMonth> PlanCapitalByMonth(std::span<const CTradingPlanEntry* const> rows,
                                           FileTime now) {
    using namespace std::chrono;
    const year_month_day today = LocalDate(now);
    std::map<std::pair<int, unsigned>, CPlanMonth> months;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const CTradingPlanEntry& row = *rows[i];
        if (row.m_DateExpiry == kNoDate) {
            continue;
        }
        const year_month_day expiry = LocalDate(row.m_DateExpiry);
        if (expiry < today) {
            continue;
        }
        const int year = static_cast<int>(expiry.year());
        const unsigned month = static_cast<unsigned>(expiry.month());
        CPlanMonth& bar = months[{year, month}];
        bar.year = year;
        bar.month = month;
        bar.rows.push_back(i);
        switch (PlanPositionOf(row.m_SourceType)) {
        case PlanPosition::BuyWrite: {
            const double cost = PlanCost(row);
            bar.capital += IsValue(cost) ? cost : 0.0;
            bar.premiumIncome += Product(row.m_Shares, row.m_Premium);
            break;
        }
        case PlanPosition::SoldPut:
            bar.capital += Product(row.m_StrikePrice, row.m_Shares);
            bar.premiumIncome += Product(row.m_Shares, row.m_Premium);
            break;
        case PlanPosition::BoughtCall:
        case PlanPosition::BoughtPut:
            bar.premiumPaid += Product(row.m_Shares, row.m_Premium);
            break;
        }
    }
    std::vector<CPlanMonth> ordered;
    ordered.reserve(months.size());
    for (auto& [key, bar] : months) {
        ordered.push_back(std::move(bar));
    }
    return ordered;
}

} // namespace strikeline
