#include "gui/reports/TrendView.h"

#include "gui/reports/WebPageModule.h"
#include "reports/TrendChartTexts.h"

#include <QLabel>
#include <QVBoxLayout>

namespace strikeline {

CTrendView::CTrendView(QWidget* parent, const CPageMaker& makePage) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QString error;
    m_Page = makePage ? makePage(this, error) : CreateWebPage(this, error);
    if (m_Page != nullptr) {
        layout->addWidget(m_Page);
        setFocusProxy(m_Page);
    } else {
        auto* message = new QLabel(
            tr("The trend chart cannot be shown: the browser could not be loaded (%1).").arg(error),
            this);
        message->setWordWrap(true);
        message->setAlignment(Qt::AlignCenter);
        layout->addWidget(message);
    }
}

void CTrendView::ShowChart(const std::string& siteUrl, const std::string& code) {
    m_Code = QString::fromStdString(code);
    m_ChartUrl = QUrl(QString::fromStdString(TrendChartUrl(siteUrl, code)));
    if (m_Page != nullptr) {
        m_Page->setProperty("url", m_ChartUrl);
    }
}

QSize CTrendView::sizeHint() const {
    // The chart page draws a 720 by 360 picture under a heading and a line of figures.
    return {780, 500};
}

} // namespace strikeline
