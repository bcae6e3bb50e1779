#include "gui/charts/PriceHistoryChart.h"

#include "marketdata/PriceHistory.h"

#include <QObject>

namespace strikeline {

using namespace std::chrono;

namespace {

QDate DateOf(const year_month_day& day) {
    return {static_cast<int>(day.year()), static_cast<int>(unsigned(day.month())),
            static_cast<int>(unsigned(day.day()))};
}

} // namespace

bool PriceHistoryChartData(const std::string& folder, const std::string& code, const QString& title,
                           CPriceHistoryChartData& data, QString& error) {
    data = CPriceHistoryChartData{};
    data.title = title;
    data.priceTitle = QObject::tr("Last Sale ($)");
    data.volumeTitle = QObject::tr("Volume");
    std::vector<CPriceHistoryDay> days;
    std::string reason;
    if (!ReadPriceHistory(folder, code, year{1900} / 1 / 1, days, reason)) {
        error = QString::fromStdString(reason);
        return false;
    }
    if (days.empty()) {
        return true;
    }
    // The year up to the last day: its own date a year earlier (the last of February for
    // the 29th) is the first day left out.
    year_month_day before = days.back().date - years{1};
    if (!before.ok()) {
        before = before.year() / before.month() / last;
    }
    for (const CPriceHistoryDay& day : days) {
        if (day.date > before) {
            data.prices.push_back({DateOf(day.date), day.last});
            data.volumes.push_back({DateOf(day.date), day.volume});
        }
    }
    return true;
}

} // namespace strikeline
