#include "analytics/AnalyticsTexts.h"

#include "storage/NumberText.h"

#include <cmath>

namespace strikeline {

namespace {

std::string Optional(const std::optional<double>& value, int decimals) {
    return value ? FormatNumber(*value, decimals) : std::string();
}

std::string DateText(FileTime date) {
    return FormatFileTime(date, TimeZoneMode::Universal, FileTimeStyle::DayMonthYear);
}

} // namespace

std::string EarlyExerciseText(const CEarlyExercise& warning) {
    return "Early exercise likely before the ex-date " + DateText(warning.exDate) + " (dividend " +
           FormatMoney(warning.dividend, 3) + ")";
}

std::string FrankingAtRiskText(double dollars) {
    return "Franking credits at risk: " + FormatMoney(dollars, 2) +
           " (the call's delta is above 0.7 over an ex-date)";
}

std::string TradeAgeText(double days) {
    if (days < 1.0) {
        return FormatNumber(std::max(0.0, std::floor(days * 24.0)), 0) + " hours";
    }
    return FormatNumber(days, 1) + " days";
}

CAnalyticsTexts SeriesAnalyticsTexts(const CSeriesAnalytics& analytics, bool isCall) {
    CAnalyticsTexts texts;
    texts.stale = analytics.stale;
    texts.cells[0] = FormatNumber(static_cast<double>(analytics.days), 0);
    texts.cells[1] = Optional(analytics.annualisedNotExercised, 2);
    texts.cells[2] = Optional(analytics.annualisedExercised, 2);
    if (const auto& volatility = analytics.volatility.volatility) {
        texts.cells[3] = FormatPercent(*volatility * 100.0, 1);
        texts.cells[4] = FormatNumber(analytics.volatility.delta, 2);
    }
    if (analytics.chanceOfExercise) {
        texts.cells[5] = FormatPercent(*analytics.chanceOfExercise * 100.0, 0);
    }
    if (analytics.earlyExercise) {
        texts.cells[6] = "!";
    }

    std::string& tip = texts.tooltip;
    if (analytics.lastTradeAgeDays) {
        tip = "Last trade " + TradeAgeText(*analytics.lastTradeAgeDays) + " ago";
        if (analytics.stale) {
            tip += " (an old trade)";
            if (!texts.cells[3].empty()) {
                texts.cells[3] += " (" + TradeAgeText(*analytics.lastTradeAgeDays) + ")";
            }
        }
    } else {
        tip = "Never traded";
    }
    if (analytics.volatility.absence) {
        tip +=
            std::string("\nNo implied volatility: ") + AbsenceText(*analytics.volatility.absence);
    }
    if (!isCall && analytics.cashSecured) {
        tip +=
            "\nReturn on the cash securing the put: " + FormatPercent(*analytics.cashSecured, 2) +
            " a year";
    }
    for (const CDividend& dividend : analytics.dividends) {
        tip += "\nDividend " + FormatMoney(dividend.amount, 3) + " ex " + DateText(dividend.date) +
               ", " + FormatNumber(dividend.franking, 0) + "% franked";
    }
    if (!analytics.dividends.empty()) {
        tip += "\nFranking credits: " + FormatMoney(analytics.frankingCredits, 3) + " a share";
    }
    if (analytics.returnWithDividends && !analytics.dividends.empty()) {
        tip += "\nReturn with dividends: " + FormatPercent(*analytics.returnWithDividends, 2) +
               ", with franking: " + FormatPercent(*analytics.returnWithFranking, 2);
    }
    if (analytics.earlyExercise) {
        tip += "\n" + EarlyExerciseText(*analytics.earlyExercise);
    }
    return texts;
}

} // namespace strikeline
