#pragma once

#include "gui/charts/ChartFactory.h"

#include <QUrl>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLabel;

namespace strikeline {

class CChartPanel;

// Where a trend chart window draws the stored price history from, and whether it starts
// with it rather than with the site's page.
struct CTrendOptions {
    // View > Price History Charts: the stored history alone, no browser.
    bool storedHistory = false;
    // The data folder holding the price history; empty when there is none.
    std::string dataFolder;
    CChartColours colours;
    // Where the charts module is looked for; the program's own module folders when unset.
    std::optional<std::vector<std::string>> chartModuleFolders;
};

// A company's one-year price chart: the web site's chart page in an embedded browser.
// The browser comes from its module on the first chart (CreateWebPage). When the page
// cannot be reached, when the browser module is missing, or when the user chose price
// history charts, the window draws the year of stored prices and volumes itself instead
// (from the charts module).
class CTrendView : public QWidget {
    Q_OBJECT

public:
    // Makes the browser page inside `parent`, or gives null with the reason in `error`.
    using CPageMaker = std::function<QWidget*(QWidget* parent, QString& error)>;

    // The page comes from `makePage`, the browser module by default.
    explicit CTrendView(QWidget* parent = nullptr, const CPageMaker& makePage = {},
                        CTrendOptions options = {});

    // Navigates to the chart page of `code` on the site at `siteUrl`, or draws the stored
    // history of `code` when the window draws its own.
    void ShowChart(const std::string& siteUrl, const std::string& code);

    const QString& Code() const { return m_Code; }
    // The address asked for, whatever the page did since.
    const QUrl& ChartUrl() const { return m_ChartUrl; }
    // The browser (a QWebEngineView), or null when its module could not be loaded or the
    // window draws the stored history alone.
    QWidget* Page() const { return m_Page; }
    // The drawn price history, once the window shows it instead of the page; else null.
    CChartPanel* HistoryChart() const { return m_History; }

    QSize sizeHint() const override;

private slots:
    void OnPageLoaded(bool ok);

private:
    // Puts the stored history in place of the page.
    void ShowStoredHistory();

    CTrendOptions m_Options;
    QString m_Code;
    QUrl m_ChartUrl;
    QWidget* m_Page = nullptr;
    CChartPanel* m_History = nullptr;
    bool m_DrawsHistory = false;
};

} // namespace strikeline
