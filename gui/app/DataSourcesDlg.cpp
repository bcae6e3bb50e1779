#include "gui/app/DataSourcesDlg.h"

#include "marketdata/DataSources.h"
#include "session/UserMessenger.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QUrl>
#include <QVBoxLayout>

namespace strikeline {

CDataSourcesDlg::CDataSourcesDlg(CDataSources& sources, CUserMessenger& messages, QWidget* parent)
    : QDialog(parent), m_Sources(sources), m_Messages(messages), m_Feed(new QLineEdit(this)),
      m_Site(new QLineEdit(this)), m_TimeLimit(new QSpinBox(this)),
      m_SizeLimit(new QSpinBox(this)) {
    setWindowTitle(tr("Data Sources"));
    // The stored addresses, not an override from the environment: that is what OK saves.
    m_Feed->setText(QString::fromStdString(sources.StoredFeedUrl()));
    m_Site->setText(QString::fromStdString(sources.StoredSiteUrl()));
    m_Feed->setMinimumWidth(320);
    m_TimeLimit->setRange(int(CDataSources::kMinTimeLimitSeconds),
                          int(CDataSources::kMaxTimeLimitSeconds));
    m_TimeLimit->setSuffix(tr(" seconds"));
    m_TimeLimit->setValue(int(sources.TimeLimitSeconds()));
    m_SizeLimit->setRange(int(CDataSources::kMinSizeLimitMegabytes),
                          int(CDataSources::kMaxSizeLimitMegabytes));
    m_SizeLimit->setSuffix(tr(" MB"));
    m_SizeLimit->setValue(int(sources.SizeLimitMegabytes()));

    auto* form = new QFormLayout;
    form->addRow(tr("&Market data feed:"), m_Feed);
    form->addRow(tr("&Web site:"), m_Site);
    form->addRow(tr("&Time limit per file:"), m_TimeLimit);
    form->addRow(tr("&Size limit per file:"), m_SizeLimit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDataSourcesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDataSourcesDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

QString CDataSourcesDlg::CleanAddress(const QString& text) {
    QString address = text.trimmed();
    while (address.endsWith(QLatin1Char('/'))) {
        address.chop(1);
    }
    const QUrl url(address, QUrl::StrictMode);
    const bool web =
        url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
    return url.isValid() && web && !url.host().isEmpty() ? address : QString();
}

void CDataSourcesDlg::accept() {
    for (QLineEdit* edit : {m_Feed, m_Site}) {
        if (CleanAddress(edit->text()).isEmpty()) {
            m_Messages.Show("Invalid address", MessageKind::Warning);
            edit->setFocus();
            edit->selectAll();
            return;
        }
    }
    m_Sources.SetFeedUrl(CleanAddress(m_Feed->text()).toStdString());
    m_Sources.SetSiteUrl(CleanAddress(m_Site->text()).toStdString());
    m_Sources.SetTimeLimitSeconds(static_cast<std::uint32_t>(m_TimeLimit->value()));
    m_Sources.SetSizeLimitMegabytes(static_cast<std::uint32_t>(m_SizeLimit->value()));
    QDialog::accept();
}

} // namespace strikeline
