#include "gui/reports/TrendView.h"

#include "reports/TrendChartTexts.h"

namespace strikeline {

CTrendView::CTrendView(QWidget* parent) : QWebEngineView(parent) {}

void CTrendView::ShowChart(const std::string& siteUrl, const std::string& code) {
    m_Code = QString::fromStdString(code);
    m_ChartUrl = QUrl(QString::fromStdString(TrendChartUrl(siteUrl, code)));
    load(m_ChartUrl);
}

QSize CTrendView::sizeHint() const {
    // The chart page draws a 720 by 360 picture under a heading and a line of figures.
    return {780, 500};
}

} // namespace strikeline
