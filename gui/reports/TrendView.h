#pragma once

#include <QUrl>
#include <QWidget>
#include <functional>
#include <string>

namespace strikeline {

// A company's one-year price chart: the web site's chart page in an embedded browser.
// The page is all it shows; the browser reports a failed navigation in the page itself.
// The browser comes from its module on the first chart (CreateWebPage); should the module
// be missing, the window says so instead.
class CTrendView : public QWidget {
    Q_OBJECT

public:
    // Makes the browser page inside `parent`, or gives null with the reason in `error`.
    using CPageMaker = std::function<QWidget*(QWidget* parent, QString& error)>;

    // The page comes from `makePage`, the browser module by default.
    explicit CTrendView(QWidget* parent = nullptr, const CPageMaker& makePage = {});

    // Navigates to the chart page of `code` on the site at `siteUrl`.
    void ShowChart(const std::string& siteUrl, const std::string& code);

    const QString& Code() const { return m_Code; }
    // The address asked for, whatever the page did since.
    const QUrl& ChartUrl() const { return m_ChartUrl; }
    // The browser (a QWebEngineView), or null when its module could not be loaded.
    QWidget* Page() const { return m_Page; }

    QSize sizeHint() const override;

private:
    QString m_Code;
    QUrl m_ChartUrl;
    QWidget* m_Page = nullptr;
};

} // namespace strikeline
