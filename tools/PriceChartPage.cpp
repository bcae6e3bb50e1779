#include "tools/PriceChartPage.h"

#include "tools/ListedCompanies.h"
#include "tools/MarketCalendar.h"
#include "tools/MarketRandom.h"
#include "tools/SharePriceModel.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace strikeline {

using namespace std::chrono;

namespace {

// The generator's default seed, so a chart matches a market generated without --seed.
constexpr std::uint64_t kMarketSeed = 1;

constexpr double kWidth = 720.0;
constexpr double kHeight = 360.0;
constexpr double kLeft = 64.0;
constexpr double kRight = 16.0;
constexpr double kTop = 16.0;
constexpr double kBottom = 36.0;
constexpr int kPriceLines = 5;

std::uint64_t TextKey(const std::string& text) {
    std::uint64_t hash = 0xCBF29CE484222325ull; // FNV-1a
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    }
    return hash;
}

CListedCompany ChartCompany(const std::string& code) {
    for (const CListedCompany& company : RealListedCompanies()) {
        if (company.m_Code == code) {
            return company;
        }
    }
    // A plausible share for any other text: a few cents to about a hundred dollars.
    CMarketRandom random(MixSeed(kMarketSeed, TextKey(code), 0x43484152));
    CListedCompany company;
    company.m_Code = code;
    company.m_Price = std::exp(random.Uniform(std::log(0.05), std::log(100.0)));
    company.m_Volatility = random.Uniform(0.18, 0.55);
    return company;
}

std::string Fixed(double value, int decimals) {
    std::array<char, 32> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed, decimals);
    return std::string(buffer.data(), result.ptr);
}

std::string PriceText(double price) {
    return Fixed(price, price < 2.0 ? 3 : 2);
}

std::string EscapeHtml(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string IsoDate(sys_days day) {
    const std::string compact = FormatCompactDate(day);
    return compact.substr(0, 4) + "-" + compact.substr(4, 2) + "-" + compact.substr(6, 2);
}

std::string MonthLabel(sys_days day) {
    // "24 Jun 2010" -> "Jun"
    const std::string text = FormatExpiryDate(day);
    const std::size_t space = text.find(' ');
    return text.substr(space + 1, 3);
}

std::string ChartSvg(const std::vector<CDailyClose>& history) {
    const auto [lowest, highest] = std::minmax_element(
        history.begin(), history.end(),
        [](const CDailyClose& a, const CDailyClose& b) { return a.m_Close < b.m_Close; });
    // A little room above and below, so the line never touches the frame.
    const double span = std::max(highest->m_Close - lowest->m_Close, lowest->m_Close * 0.02);
    const double bottomPrice = std::max(0.0, lowest->m_Close - 0.05 * span);
    const double topPrice = highest->m_Close + 0.05 * span;
    const double plotWidth = kWidth - kLeft - kRight;
    const double plotHeight = kHeight - kTop - kBottom;
    const auto x = [&](std::size_t index) {
        const double steps = static_cast<double>(std::max<std::size_t>(history.size() - 1, 1));
        return kLeft + plotWidth * static_cast<double>(index) / steps;
    };
    const auto y = [&](double price) {
        return kTop + plotHeight * (topPrice - price) / (topPrice - bottomPrice);
    };

    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Fixed(kWidth, 0) +
                      "\" height=\"" + Fixed(kHeight, 0) + "\" viewBox=\"0 0 " + Fixed(kWidth, 0) +
                      " " + Fixed(kHeight, 0) + "\" font-family=\"sans-serif\" font-size=\"11\">\n";
    svg += "<rect x=\"" + Fixed(kLeft, 0) + "\" y=\"" + Fixed(kTop, 0) + "\" width=\"" +
           Fixed(plotWidth, 0) + "\" height=\"" + Fixed(plotHeight, 0) +
           "\" fill=\"#ffffff\" stroke=\"#808080\"/>\n";
    for (int i = 0; i < kPriceLines; ++i) {
        const double price =
            bottomPrice + (topPrice - bottomPrice) * i / static_cast<double>(kPriceLines - 1);
        const std::string lineY = Fixed(y(price), 1);
        svg += "<line x1=\"" + Fixed(kLeft, 0) + "\" y1=\"" + lineY + "\" x2=\"" +
               Fixed(kWidth - kRight, 0) + "\" y2=\"" + lineY +
               "\" stroke=\"#e0e0e0\"/>\n<text x=\"" + Fixed(kLeft - 6, 0) + "\" y=\"" +
               Fixed(y(price) + 4, 1) + "\" text-anchor=\"end\">" + PriceText(price) + "</text>\n";
    }
    for (std::size_t i = 1; i < history.size(); ++i) {
        const year_month_day previous{history[i - 1].m_Day};
        const year_month_day current{history[i].m_Day};
        if (previous.month() != current.month()) {
            const std::string lineX = Fixed(x(i), 1);
            svg += "<line x1=\"" + lineX + "\" y1=\"" + Fixed(kTop, 0) + "\" x2=\"" + lineX +
                   "\" y2=\"" + Fixed(kHeight - kBottom, 0) +
                   "\" stroke=\"#f0f0f0\"/>\n<text x=\"" + lineX + "\" y=\"" +
                   Fixed(kHeight - kBottom + 16, 0) + "\" text-anchor=\"middle\">" +
                   MonthLabel(history[i].m_Day) + "</text>\n";
        }
    }
    svg += "<polyline fill=\"none\" stroke=\"#1f4e9c\" stroke-width=\"1.5\" points=\"";
    for (std::size_t i = 0; i < history.size(); ++i) {
        svg += (i == 0 ? "" : " ") + Fixed(x(i), 1) + "," + Fixed(y(history[i].m_Close), 1);
    }
    svg += "\"/>\n</svg>\n";
    return svg;
}

} // namespace

std::vector<CDailyClose> OneYearPriceHistory(const std::string& code, sys_days lastDay) {
    const CSharePriceModel model(kMarketSeed, ChartCompany(code));
    std::vector<CDailyClose> history;
    for (sys_days day = lastDay - days{364}; day <= lastDay; day += days{1}) {
        if (IsTradingDay(day)) {
            history.push_back({day, model.ClosePrice(day)});
        }
    }
    return history;
}

std::string BuildPriceChartPage(const std::string& code, sys_days lastDay) {
    const std::vector<CDailyClose> history = OneYearPriceHistory(code, lastDay);
    const std::string title = EscapeHtml(code) + " - one year";
    std::string page = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                       title + "</title>\n</head>\n<body>\n<h3>" + title + "</h3>\n";
    if (!history.empty()) {
        const auto [lowest, highest] = std::minmax_element(
            history.begin(), history.end(),
            [](const CDailyClose& a, const CDailyClose& b) { return a.m_Close < b.m_Close; });
        page += "<p>Daily close from " + IsoDate(history.front().m_Day) + " to " +
                IsoDate(history.back().m_Day) + ": last " + PriceText(history.back().m_Close) +
                ", low " + PriceText(lowest->m_Close) + ", high " + PriceText(highest->m_Close) +
                "</p>\n";
        page += ChartSvg(history);
    }
    page += "</body>\n</html>\n";
    return page;
}

} // namespace strikeline
