#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace strikeline {

class CLinkLabel;

// The About box: the program's name, version and maker, and links to the maker's web site,
// its licence page and the support address.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    // `siteUrl` is the maker's web site as configured (e.g. "http://127.0.0.1:8642").
    explicit CAboutDlg(const QString& siteUrl, QWidget* parent = nullptr);

    static QString ApplicationTitle();

    CLinkLabel* SiteLink() const { return m_SiteLink; }
    CLinkLabel* LicenceLink() const { return m_LicenceLink; }
    CLinkLabel* SupportLink() const { return m_SupportLink; }
    QLabel* VersionLabel() const { return m_VersionLabel; }
    // Shows the program's icon when it has one; hidden otherwise.
    QLabel* IconLabel() const { return m_IconLabel; }
    QPushButton* OkButton() const { return m_OkButton; }

private:
    QLabel* m_IconLabel;
    QLabel* m_VersionLabel;
    CLinkLabel* m_SiteLink;
    CLinkLabel* m_LicenceLink;
    CLinkLabel* m_SupportLink;
    QPushButton* m_OkButton;
};

} // namespace strikeline
