#include "reports/ReportFilter.h"

#include "storage/NumberText.h"

#include <array>
#include <chrono>

namespace strikeline {

namespace {

using namespace std::chrono;

constexpr std::uint64_t kTicksPerDay = 86400 * kFileTimeTicksPerSecond;
constexpr double kLowestStrike = 0.02;

// Calendar fields of a file time, without time-zone conversion.
year_month_day DateOf(FileTime value) {
    return year_month_day{floor<days>(sys_seconds{seconds{UnixFromFileTime(value)}})};
}

double HighestStrikeOf(std::int32_t range) {
    static constexpr std::array<double, 7> kBounds = {0.0, 5.0, 10.0, 20.0, 30.0, 40.0, 50.0};
    return range >= 0 && range < static_cast<std::int32_t>(kBounds.size())
               ? kBounds[static_cast<std::size_t>(range)]
               : 0.0;
}

// A figure the data did not give counts as none at all.
double FigureOrZero(double figure) {
    return IsValue(figure) ? figure : 0.0;
}

// Calendar days back from today until two weekdays (Monday to Friday) have been passed.
unsigned DaysBackToTwoWeekdays(const year_month_day& today) {
    sys_days day{today};
    unsigned walked = 0;
    for (unsigned weekdays = 0; weekdays < 2;) {
        day -= days{1};
        ++walked;
        const weekday w{day};
        if (w != Saturday && w != Sunday) {
            ++weekdays;
        }
    }
    return walked;
}

} // namespace

bool CReportFilter::HasLaterExpiryThisMonth(const std::vector<CCompanyInfo>& companies,
                                            FileTime now) {
    const year_month_day today = DateOf(now);
    for (const CCompanyInfo& company : companies) {
        for (const CContractInfo& contract : company.Contracts()) {
            if (contract.Expiry() == kNoDate) {
                continue;
            }
            const year_month_day expiry = DateOf(contract.Expiry());
            if (expiry.year() == today.year() && expiry.month() == today.month() &&
                expiry.day() > today.day()) {
                return true;
            }
        }
    }
    return false;
}

CReportFilter::CReportFilter(const CReportSettings& settings, FileTime now,
                             const std::vector<CCompanyInfo>& calls,
                             const std::vector<CCompanyInfo>& puts)
    : CReportFilter(settings, now,
                    HasLaterExpiryThisMonth(calls, now) || HasLaterExpiryThisMonth(puts, now)) {}

CReportFilter::CReportFilter(const CReportSettings& settings, FileTime now,
                             bool laterExpiryThisMonth)
    : m_Settings(settings), m_Now(now) {
    const year_month_day today = DateOf(now);
    m_CurrentYear = static_cast<int>(today.year());
    m_CurrentMonth = static_cast<unsigned>(today.month());
    if (!laterExpiryThisMonth) {
        m_CurrentMonth = m_CurrentMonth % 12 + 1;
        if (m_CurrentMonth == 1) {
            ++m_CurrentYear;
        }
    }
    m_NextMonth = m_CurrentMonth % 12 + 1;
    m_HighestStrike = HighestStrikeOf(settings.Range());

    // 00:00 UTC of the day two weekdays back; the ticks below a second stay, as they
    // always have.
    const FileTime midnightOffset =
        now % kTicksPerDay / kFileTimeTicksPerSecond * kFileTimeTicksPerSecond;
    m_OldTradeThreshold = now - DaysBackToTwoWeekdays(today) * kTicksPerDay - midnightOffset;
}

bool CReportFilter::AcceptsExpiry(FileTime expiry) const {
    const year_month_day date = DateOf(expiry);
    const int year = static_cast<int>(date.year());
    const unsigned month = static_cast<unsigned>(date.month());
    // The year of a next-month series: this year, unless the next month is January.
    const int nextMonthYear = m_CurrentMonth < m_NextMonth ? m_CurrentYear : m_CurrentYear + 1;
    switch (m_Settings.Expire()) {
    case CReportSettings::CurrentMonth:
        return year == m_CurrentYear && month == m_CurrentMonth;
    case CReportSettings::CurrentAndNextMonth:
        return (month == m_CurrentMonth && year == m_CurrentYear) ||
               (month == m_NextMonth && year == nextMonthYear);
    case CReportSettings::NextMonth:
        return month == m_NextMonth && year == nextMonthYear;
    default:
        return true; // All, and values outside the list
    }
}

bool CReportFilter::Accepts(const CContractInfo& contract) const {
    if (!AcceptsExpiry(contract.Expiry())) {
        return false;
    }
    if (m_Settings.Range() != 0 && !(contract.Exercise() <= m_HighestStrike)) {
        return false;
    }
    if (m_Settings.RemoveOld() == CReportSettings::kRemoveOldOn &&
        (contract.LastTraded() == kNoDate || contract.LastTraded() < m_OldTradeThreshold)) {
        return false;
    }
    if (m_Settings.MinOpenInterest() > 0 &&
        FigureOrZero(contract.OpenInterest()) < static_cast<double>(m_Settings.MinOpenInterest())) {
        return false;
    }
    if (m_Settings.MinPremium() > 0.0 && FigureOrZero(contract.Last()) < m_Settings.MinPremium()) {
        return false;
    }
    return contract.Exercise() >= kLowestStrike;
}

} // namespace strikeline
