#include "gui/app/AboutDlg.h"

#include "gui/app/LinkLabel.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace strikeline {

namespace {

const char* const kApplicationTitle = "Strikeline";
const char* const kVersion = "1.3.9";
const char* const kMaker = "Varnel Pty. Ltd.";
const char* const kSupportAddress = "support@varnel.example";
constexpr int kIconSize = 48;

// The licence page lives under the site's own path, whether or not the configured address
// ends with a slash.
QUrl PageOfSite(const QUrl& site, const QString& page) {
    QUrl url = site;
    QString path = url.path();
    while (path.endsWith(QLatin1Char('/'))) {
        path.chop(1);
    }
    url.setPath(path + QLatin1Char('/') + page);
    return url;
}

} // namespace

CAboutDlg::CAboutDlg(const QString& siteUrl, QWidget* parent)
    : QDialog(parent), m_IconLabel(new QLabel(this)),
      m_VersionLabel(new QLabel(tr("%1 v%2 by %3")
                                    .arg(QLatin1String(kApplicationTitle), QLatin1String(kVersion),
                                         QLatin1String(kMaker)),
                                this)),
      m_SiteLink(nullptr), m_LicenceLink(nullptr), m_SupportLink(nullptr), m_OkButton(nullptr) {
    setWindowTitle(tr("About %1").arg(ApplicationTitle()));

    const QString siteText = siteUrl.trimmed();
    const QUrl site(siteText, QUrl::TolerantMode);
    m_SiteLink = new CLinkLabel(siteText, site, this);
    m_SiteLink->setObjectName(QStringLiteral("siteLink"));
    m_LicenceLink = new CLinkLabel(tr("End-User Licence Agreement"),
                                   PageOfSite(site, QStringLiteral("EULA.php")), this);
    m_LicenceLink->setObjectName(QStringLiteral("licenceLink"));
    const QString support = QLatin1String(kSupportAddress);
    m_SupportLink = new CLinkLabel(support, QUrl(QStringLiteral("mailto:") + support), this);
    m_SupportLink->setObjectName(QStringLiteral("supportLink"));

    m_IconLabel->setObjectName(QStringLiteral("iconLabel"));
    m_IconLabel->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    const QIcon icon = windowIcon();
    if (icon.isNull()) {
        m_IconLabel->hide();
    } else {
        m_IconLabel->setPixmap(icon.pixmap(kIconSize, kIconSize));
    }
    m_VersionLabel->setObjectName(QStringLiteral("versionLabel"));
    QFont heading = m_VersionLabel->font();
    heading.setBold(true);
    m_VersionLabel->setFont(heading);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    m_OkButton = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addWidget(m_VersionLabel);
    texts->addSpacing(6);
    // Each link keeps its own width, so the hand cursor and clicks stay on the text.
    texts->addWidget(m_SiteLink, 0, Qt::AlignLeft);
    texts->addWidget(m_LicenceLink, 0, Qt::AlignLeft);
    texts->addWidget(m_SupportLink, 0, Qt::AlignLeft);

    auto* layout = new QGridLayout(this);
    layout->addWidget(m_IconLabel, 0, 0);
    layout->addLayout(texts, 0, 1);
    layout->addWidget(buttons, 1, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Enter closes the box unless the user has moved to a link.
    m_OkButton->setDefault(true);
    m_OkButton->setFocus();
}

QString CAboutDlg::ApplicationTitle() {
    return QLatin1String(kApplicationTitle);
}

} // namespace strikeline
