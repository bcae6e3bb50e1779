#pragma once

// The hand-made market of the report window tests: a few companies with series expiring
// at the end of the test's month, at a fixed moment.

#include "marketdata/CompanyInfo.h"
#include "storage/FileTime.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace strikeline::test {

// 2010-06-24 06:00 UTC: the close of the generated market's trading day in Sydney.
inline constexpr FileTime kNow = FileTimeFromUnix(1277359200);

inline FileTime UtcDay(int year, unsigned month, unsigned day) {
    const std::chrono::sys_days date{std::chrono::year{year} / std::chrono::month{month} /
                                     std::chrono::day{day}};
    return FileTimeFromUnix(
        std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count());
}

inline CContractInfo MakeSeries(const std::string& code, double strike, double premium) {
    CContractInfo series;
    series.SetCode(code);
    series.SetExercise(strike);
    series.SetLast(premium);
    series.SetContractSize(1000);
    series.SetOpenInterest(250);
    series.SetExpiry(UtcDay(2010, 6, 29));
    series.SetLastTraded(kNow - 3600 * kFileTimeTicksPerSecond);
    return series;
}

struct CSeriesQuote {
    double strike;
    double premium;
};

inline CCompanyInfo MakeCompany(const std::string& code, double last, bool call,
                                std::optional<double> priceEarnings,
                                std::vector<CSeriesQuote> series) {
    CCompanyInfo company;
    company.SetCode(code);
    company.SetIsCall(call);
    company.SetLast(last);
    company.SetChange(0.05);
    company.SetBid(last - 0.01);
    company.SetOffer(last + 0.01);
    company.SetOpen(last - 0.1);
    company.SetHigh(last + 0.2);
    company.SetLow(last - 0.2);
    company.SetVolume(123456);
    if (priceEarnings) {
        company.SetPriceEarnings(*priceEarnings);
    }
    int n = 0;
    for (const CSeriesQuote& quote : series) {
        company.AddContract(MakeSeries(code + (call ? "C" : "P") + std::to_string(++n),
                                       quote.strike, quote.premium));
    }
    return company;
}

} // namespace strikeline::test
