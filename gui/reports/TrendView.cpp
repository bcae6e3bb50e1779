#include "gui/reports/TrendView.h"

#include "gui/charts/ChartPanel.h"
#include "gui/charts/PriceHistoryChart.h"
#include "gui/reports/WebPageModule.h"
#include "reports/TrendChartTexts.h"

#include <QLabel>
#include <QVBoxLayout>

namespace strikeline {

CTrendView::CTrendView(QWidget* parent, const CPageMaker& makePage, CTrendOptions options)
    : QWidget(parent), m_Options(std::move(options)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (m_Options.storedHistory) {
        // No browser at all: the engine is not even loaded.
        m_DrawsHistory = true;
        return;
    }
    QString error;
    m_Page = makePage ? makePage(this, error) : CreateWebPage(this, error);
    if (m_Page != nullptr) {
        layout->addWidget(m_Page);
        setFocusProxy(m_Page);
        // By name: the program does not link the browser's library.
        connect(m_Page, SIGNAL(loadFinished(bool)), this, SLOT(OnPageLoaded(bool)));
    } else {
        auto* message = new QLabel(
            tr("The trend chart cannot be shown: the browser could not be loaded (%1).").arg(error),
            this);
        message->setWordWrap(true);
        message->setAlignment(Qt::AlignCenter);
        layout->addWidget(message);
        m_DrawsHistory = true;
    }
}

void CTrendView::ShowChart(const std::string& siteUrl, const std::string& code) {
    m_Code = QString::fromStdString(code);
    m_ChartUrl = QUrl(QString::fromStdString(TrendChartUrl(siteUrl, code)));
    if (m_DrawsHistory) {
        ShowStoredHistory();
    } else if (m_Page != nullptr) {
        m_Page->setProperty("url", m_ChartUrl);
    }
}

void CTrendView::OnPageLoaded(bool ok) {
    if (!ok && !m_DrawsHistory) {
        m_DrawsHistory = true;
        m_Page->hide();
        ShowStoredHistory();
    }
}

void CTrendView::ShowStoredHistory() {
    if (m_History == nullptr) {
        m_History = new CChartPanel(this, m_Options.chartModuleFolders);
        m_History->SetColours(m_Options.colours);
        layout()->addWidget(m_History);
        // Below the browser's reason, when there is one, and taking the room left.
        static_cast<QVBoxLayout*>(layout())->setStretchFactor(m_History, 1);
    }
    CPriceHistoryChartData history;
    QString error;
    if (m_Options.dataFolder.empty()) {
        m_History->ShowMessage(tr("No price history is stored for %1.").arg(m_Code));
    } else if (!PriceHistoryChartData(m_Options.dataFolder, m_Code.toStdString(),
                                      tr("%1 - one year").arg(m_Code), history, error)) {
        m_History->ShowMessage(tr("The price history cannot be read: %1.").arg(error));
    } else if (history.prices.empty()) {
        m_History->ShowMessage(tr("No price history is stored for %1.").arg(m_Code));
    } else {
        m_History->ShowChart(
            [history](CChartFactory& factory, const CChartColours& colours, QWidget* parent) {
                return factory.MakePriceHistoryChart(history, colours, parent);
            });
    }
}

QSize CTrendView::sizeHint() const {
    // The chart page draws a 720 by 360 picture under a heading and a line of figures.
    return {780, 500};
}

} // namespace strikeline
