#include "tools/MarketGenerator.h"

#include "storage/NumberText.h"
#include "tools/ListedCompanies.h"
#include "tools/MarketCalendar.h"
#include "tools/MarketRandom.h"
#include "tools/OptionPricing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace strikeline {

using namespace std::chrono;

namespace {

constexpr double kInterestRate = 0.04;
constexpr const char* kShareHeader = "Code,Last,\"$ +/-\",bid,offer,open,high,low,volume,eps";
constexpr const char* kContractHeader =
    "code,contract size,expiry date,exercise,last,volume,open interest,lasttraded";
constexpr const char* kNeverTraded = "0000-00-00 00:00:00";
constexpr std::size_t kTop20Count = 20;

// Larger companies list more months and more strikes, and their series trade more.
constexpr std::array<std::size_t, 3> kExpiriesByTier = {6, 5, 3};
constexpr std::array<int, 3> kStrikesEachSideByTier = {8, 5, 3};
constexpr std::array<double, 3> kLiquidityByTier = {1.0, 0.5, 0.25};

std::size_t TierIndex(int tier) {
    return static_cast<std::size_t>(std::clamp(tier, 1, 3) - 1);
}

double StrikeStep(double price) {
    if (price < 0.10) {
        return 0.01;
    }
    if (price < 0.50) {
        return 0.025;
    }
    if (price < 1.00) {
        return 0.05;
    }
    if (price < 2.00) {
        return 0.10;
    }
    if (price < 5.00) {
        return 0.25;
    }
    if (price < 10.00) {
        return 0.50;
    }
    if (price < 50.00) {
        return 1.00;
    }
    if (price < 100.00) {
        return 2.50;
    }
    return price < 500.00 ? 5.00 : 10.00;
}

double RoundPremium(double value) {
    const double tick = value < 0.10 ? 0.001 : 0.005;
    return std::max(0.001, std::round(value / tick) * tick);
}

std::string Price(double value) {
    return FormatNumber(value, 3);
}

// Series codes: the share code, a letter for the expiry month (A-L for calls, M-X for
// puts) and two base-36 characters for the strike's position on the strike grid. Unique
// within a file while a company lists fewer than twelve months.
std::string SeriesCode(const std::string& shareCode, sys_days expiry, OptionRight right,
                       long strikeIndex) {
    static constexpr const char* kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const auto month = static_cast<unsigned>(year_month_day{expiry}.month());
    std::string code = shareCode;
    code +=
        static_cast<char>((right == OptionRight::Call ? 'A' : 'M') + static_cast<int>(month) - 1);
    code += kDigits[strikeIndex / 36 % 36];
    code += kDigits[strikeIndex % 36];
    return code;
}

struct CSeriesLine {
    std::string m_Code;
    sys_days m_Expiry{};
    double m_Strike = 0.0;
    double m_Premium = 0.0;
    bool m_Traded = false;
    long long m_Volume = 0;
    long long m_OpenInterest = 0;
    std::string m_LastTraded;
};

struct CCompanyMarket {
    const CListedCompany* m_Company = nullptr;
    CShareQuote m_Quote;
    std::vector<CSeriesLine> m_Calls;
    std::vector<CSeriesLine> m_Puts;
};

// When and how much a series traded. Every draw is made whatever the moment, so the
// hourly files and the final file of a day tell one story.
void FillActivity(CSeriesLine& line, std::uint64_t seed, sys_days day, int minute, double activity,
                  double liquidity) {
    CMarketRandom random(seed);
    const double neverDraw = random.Uniform();
    const double todayDraw = random.Uniform();
    int firstMinute = random.UniformInt(kMarketOpenMinute, kMarketCloseMinute - 1);
    int lastMinute = random.UniformInt(kMarketOpenMinute, kMarketCloseMinute - 1);
    if (lastMinute < firstMinute) {
        std::swap(firstMinute, lastMinute);
    }
    const int lastSecond = random.UniformInt(0, 59);
    const double volumeNoise = random.Normal();
    const int daysBack = random.UniformInt(1, 5);
    const int earlierSecondOfDay =
        random.UniformInt(kMarketOpenMinute * 60, kMarketCloseMinute * 60 - 1);
    const double interestZeroDraw = random.Uniform();
    const double interestNoise = random.Normal();

    // Far strikes and far months are often never traded at all.
    if (neverDraw < 0.02 + 0.3 * (1.0 - activity)) {
        line.m_Traded = false;
        line.m_LastTraded = kNeverTraded;
        return;
    }
    line.m_Traded = true;
    line.m_OpenInterest =
        interestZeroDraw < 0.15
            ? 0
            : std::llround(
                  std::exp(std::log(800.0 * liquidity * (0.2 + activity)) + interestNoise));
    const bool tradesToday = todayDraw < 0.7 * activity * liquidity;
    if (tradesToday && minute >= firstMinute) {
        const double dayVolume =
            std::max(1.0, std::round(std::exp(std::log(60.0 * liquidity * (0.3 + activity)) +
                                              0.9 * volumeNoise)));
        const int seen = std::min(lastMinute, std::max(firstMinute, minute - 1));
        const double share = lastMinute == firstMinute ? 1.0
                                                       : static_cast<double>(seen - firstMinute) /
                                                             (lastMinute - firstMinute);
        line.m_Volume = std::max(1LL, std::llround(dayVolume * share));
        line.m_LastTraded = FormatLocalMoment(day, seen * 60 + lastSecond);
        return;
    }
    sys_days earlier = day;
    for (int i = 0; i < daysBack; ++i) {
        earlier = PreviousTradingDay(earlier);
    }
    line.m_LastTraded = FormatLocalMoment(earlier, earlierSecondOfDay);
}

CCompanyMarket BuildCompanyMarket(const CListedCompany& company, std::uint64_t seed, sys_days day,
                                  int minute) {
    const CSharePriceModel model(seed, company);
    CCompanyMarket market;
    market.m_Company = &company;
    market.m_Quote = model.Quote(day, minute);

    // The strike grid is set before the open, around the previous close; premiums follow
    // the share's price at the moment. Every series is valued at that one price, so that
    // the files never offer a cheaper call at a lower strike (which reports rely on).
    const double reference = market.m_Quote.m_PreviousClose;
    const double spot = market.m_Quote.m_Last;
    const double step = StrikeStep(reference);
    const long centre = std::lround(reference / step);
    const std::size_t tier = TierIndex(company.m_Tier);
    const double liquidity = kLiquidityByTier[tier];
    const std::vector<sys_days> expiries = NextOptionExpiries(day, kExpiriesByTier[tier]);

    for (std::size_t e = 0; e < expiries.size(); ++e) {
        const sys_days expiry = expiries[e];
        const double years = static_cast<double>((expiry - day).count()) / 365.0;
        const long eachSide = kStrikesEachSideByTier[tier] + static_cast<long>(e / 2);
        double cheapestCall = 1e300;
        double dearestPut = 0.0;
        for (long k = centre - eachSide; k <= centre + eachSide; ++k) {
            const double strike = static_cast<double>(k) * step;
            if (k <= 0 || k >= 36 * 36 || strike < 0.6 * reference || strike > 1.5 * reference) {
                continue;
            }
            const double volatility = SmileVolatility(company.m_Volatility, spot, strike);
            const double z = std::log(strike / spot) / (company.m_Volatility * std::sqrt(years));
            const double activity = std::exp(-0.5 * z * z) / (1.0 + 0.4 * static_cast<double>(e));
            for (const OptionRight right : {OptionRight::Call, OptionRight::Put}) {
                const bool call = right == OptionRight::Call;
                CSeriesLine line;
                line.m_Code = SeriesCode(company.m_Code, expiry, right, k);
                line.m_Expiry = expiry;
                line.m_Strike = strike;
                // Exchange options are American: never below what exercise would pay.
                const double intrinsic = std::max(call ? spot - strike : strike - spot, 0.0);
                double value = std::max(
                    BlackScholesPrice(right, spot, strike, years, kInterestRate, volatility),
                    intrinsic);
                // The smile must not let a higher strike call cost more, nor a lower put.
                if (call) {
                    value = cheapestCall = std::min(cheapestCall, value);
                } else {
                    value = dearestPut = std::max(dearestPut, value);
                }
                line.m_Premium = RoundPremium(value);
                const std::uint64_t seriesSeed =
                    MixSeed(MixSeed(model.Key(),
                                    static_cast<std::uint64_t>(expiry.time_since_epoch().count())),
                            static_cast<std::uint64_t>(k) * 2 + (call ? 0 : 1),
                            static_cast<std::uint64_t>(day.time_since_epoch().count()));
                FillActivity(line, seriesSeed, day, minute, activity, liquidity);
                (call ? market.m_Calls : market.m_Puts).push_back(std::move(line));
            }
        }
    }
    return market;
}

void AppendCompanyBlock(std::string& text, const CCompanyMarket& market,
                        const std::vector<CSeriesLine>& series) {
    const CListedCompany& company = *market.m_Company;
    const CShareQuote& quote = market.m_Quote;
    text += kShareHeader;
    text += '\n';
    text += company.m_Code;
    for (const double value : {quote.m_Last, quote.m_Last - quote.m_PreviousClose, quote.m_Bid,
                               quote.m_Offer, quote.m_Open, quote.m_High, quote.m_Low}) {
        text += ',';
        text += Price(value);
    }
    text += ',';
    text += std::to_string(quote.m_Volume);
    text += ',';
    text += FormatNumber(company.m_Eps, 3);
    text += '\n';
    text += kContractHeader;
    text += '\n';
    const std::string size = company.m_Price < 1.0 ? "1000" : "100";
    for (const CSeriesLine& line : series) {
        text += line.m_Code;
        text += ',';
        text += size;
        text += ',';
        text += FormatExpiryDate(line.m_Expiry);
        text += ',';
        text += Price(line.m_Strike);
        text += ',';
        if (line.m_Traded) {
            text += Price(line.m_Premium);
        }
        text += ',';
        text += std::to_string(line.m_Volume);
        text += ',';
        text += std::to_string(line.m_OpenInterest);
        text += ',';
        text += line.m_LastTraded;
        text += '\n';
    }
    text += '\n';
}

std::string NameLine(const CListedCompany& company) {
    return "'" + company.m_Code + "' = '" + company.m_Name + "'\n";
}

struct CDividendLine {
    sys_days m_ExDate{};
    std::string m_Text;
};

// Dividends announced for the coming months: most profitable companies pay one, at a
// yield of 2 to 6.5% a year and never more than their earnings. The draws depend on the
// month, not the day, so the announcements stay put from one day's file to the next.
std::string BuildDividendsFile(const std::vector<CListedCompany>& companies, std::uint64_t seed,
                               sys_days day) {
    const year_month_day date{day};
    const sys_days monthStart{date.year() / date.month() / 1};
    std::vector<CDividendLine> lines;
    for (const CListedCompany& company : companies) {
        const CSharePriceModel model(seed, company);
        CMarketRandom random(
            MixSeed(model.Key(), 0x444956,
                    static_cast<std::uint64_t>(monthStart.time_since_epoch().count())));
        const bool pays = random.Chance(0.75);
        const sys_days exDate = TradingDayOnOrBefore(monthStart + days{random.UniformInt(20, 130)});
        const double yield = random.Uniform(0.02, 0.065);
        const bool interim = random.Chance(0.5);
        static constexpr std::array<int, 5> kFranking = {100, 100, 100, 50, 0};
        const int franking = kFranking[static_cast<std::size_t>(random.UniformInt(0, 4))];
        const sys_days payDate = TradingDayOnOrBefore(exDate + days{random.UniformInt(10, 30)});
        if (!pays || company.m_Eps <= 0.0 || exDate <= day) {
            continue;
        }
        const double amount = std::max(
            0.001, std::round(std::min(model.ClosePrice(day) * yield, company.m_Eps * 0.9) / 2.0 *
                              1000.0) /
                       1000.0);
        std::string text = company.m_Code + "," + FormatCompactDate(exDate) + "," +
                           (interim ? "Interim" : "Final") + "," + Price(amount) + "," +
                           std::to_string(franking) + "," + FormatCompactDate(payDate) + "\n";
        lines.push_back({exDate, std::move(text)});
    }
    std::stable_sort(
        lines.begin(), lines.end(), [](const CDividendLine& a, const CDividendLine& b) {
            return a.m_ExDate < b.m_ExDate || (a.m_ExDate == b.m_ExDate && a.m_Text < b.m_Text);
        });
    std::string file = "Code,ExDate,Type,Amount,Franking,PayDate\n";
    for (const CDividendLine& line : lines) {
        file += line.m_Text;
    }
    return file;
}

} // namespace

bool CMarketGenerator::CheckSettings(const CMarketGeneratorSettings& settings, std::string& error) {
    const year_month_day date{year{settings.m_Year}, month{settings.m_Month}, day{settings.m_Day}};
    if (!date.ok() || settings.m_Year < 2000 || settings.m_Year > 2999) {
        error = "The date must be a real calendar date between 2000 and 2999.";
        return false;
    }
    if (settings.m_Scale < 1 || settings.m_Scale > kMaximumScale) {
        error = "The scale must be between 1 and " + std::to_string(kMaximumScale) + ".";
        return false;
    }
    if (settings.m_SnapshotMinute < 0 || settings.m_SnapshotMinute >= 24 * 60) {
        error = "The moment must lie within the day.";
        return false;
    }
    return true;
}

sys_days CMarketGenerator::TradingDay(const CMarketGeneratorSettings& settings) {
    return TradingDayOnOrBefore(
        sys_days{year{settings.m_Year} / month{settings.m_Month} / day{settings.m_Day}});
}

CMarketGenerator::CMarketGenerator(const CMarketGeneratorSettings& settings)
    : m_Settings(settings) {}

CGeneratedMarket CMarketGenerator::Generate() const {
    CGeneratedMarket result;
    result.m_TradingDay = TradingDay(m_Settings);
    std::vector<CListedCompany> companies =
        BuildListedCompanies(m_Settings.m_Seed, m_Settings.m_Scale);

    for (std::size_t i = 0; i < std::min(kTop20Count, companies.size()); ++i) {
        result.m_Top20 += NameLine(companies[i]);
    }
    result.m_DividendsFile = BuildDividendsFile(companies, m_Settings.m_Seed, result.m_TradingDay);

    std::sort(companies.begin(), companies.end(),
              [](const CListedCompany& a, const CListedCompany& b) { return a.m_Code < b.m_Code; });
    result.m_CallFile = "CALL OPTIONS\n\n";
    result.m_PutFile = "PUT OPTIONS\n\n";
    for (const CListedCompany& company : companies) {
        result.m_CompanyNames += NameLine(company);
        const CCompanyMarket market = BuildCompanyMarket(
            company, m_Settings.m_Seed, result.m_TradingDay, m_Settings.m_SnapshotMinute);
        if (market.m_Calls.empty()) {
            continue;
        }
        AppendCompanyBlock(result.m_CallFile, market, market.m_Calls);
        AppendCompanyBlock(result.m_PutFile, market, market.m_Puts);
        result.m_CallSeries += market.m_Calls.size();
        result.m_PutSeries += market.m_Puts.size();
    }
    return result;
}

std::vector<CPriceHistoryList> CMarketGenerator::GenerateHistory() const {
    const sys_days last = TradingDay(m_Settings);
    const std::vector<CListedCompany> companies =
        BuildListedCompanies(m_Settings.m_Seed, m_Settings.m_Scale);
    std::vector<CSharePriceModel> models;
    models.reserve(companies.size());
    for (const CListedCompany& company : companies) {
        models.emplace_back(m_Settings.m_Seed, company);
    }
    std::vector<CPriceHistoryList> lists;
    for (sys_days day = last - days{364}; day <= last; day += days{1}) {
        if (!IsTradingDay(day)) {
            continue;
        }
        const int minute = day == last ? m_Settings.m_SnapshotMinute : kMarketCloseMinute;
        CPriceHistoryList& list = lists.emplace_back();
        list.date = year_month_day{day};
        list.shares.reserve(companies.size());
        for (std::size_t i = 0; i < companies.size(); ++i) {
            const CShareQuote quote = models[i].Quote(day, minute);
            // The price as the day's list writes it, so the history holds what it said.
            list.shares.push_back({companies[i].m_Code, std::stod(Price(quote.m_Last)),
                                   static_cast<double>(quote.m_Volume)});
        }
    }
    return lists;
}

} // namespace strikeline
