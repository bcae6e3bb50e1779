#include "gui/reports/SelectCompanyDlg.h"

#include "marketdata/CompanyNameTable.h"
#include "reports/TrendChartTexts.h"
#include "session/Session.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace strikeline {

namespace {

// Dialog units of the dialog's font: a quarter of the average character width across,
// an eighth of the line height down.
QSize FromDialogUnits(const QWidget& widget, int across, int down) {
    const QFontMetrics metrics(widget.font());
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int averageWidth = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    return {across * averageWidth / 4, down * metrics.height() / 8};
}

} // namespace

CSelectCompanyDlg::CSelectCompanyDlg(CSession& session, QWidget* parent)
    : QDialog(parent), m_Session(session), m_Company(new QComboBox(this)),
      m_Ok(new QPushButton(QStringLiteral("OK"), this)),
      m_Cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(QStringLiteral("Select Company"));

    m_Company->setEditable(true);
    // What the user types is the choice as typed: no completion changes its letters, and
    // Enter does not add it to the list.
    m_Company->setCompleter(nullptr);
    m_Company->setInsertPolicy(QComboBox::NoInsert);
    const std::shared_ptr<const CMarketSnapshot> market = m_Session.Market().Current();
    const std::vector<std::string> lines =
        CompanyChoiceLines(market->CompanyNames(), market->Top20());
    for (const std::string& line : lines) {
        m_Company->addItem(QString::fromStdString(line));
    }
    m_Company->setCurrentIndex(-1);
    m_Company->setEditText(QString());

    auto* label = new QLabel(QStringLiteral("Company:"), this);
    label->setBuddy(m_Company);
    m_Ok->setDefault(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_Ok, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_Cancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CSelectCompanyDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSelectCompanyDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_Company);
    layout->addStretch();
    layout->addWidget(buttons);
    resize(FromDialogUnits(*this, 156, 91).expandedTo(minimumSizeHint()));
    m_Company->setFocus();
}

void CSelectCompanyDlg::accept() {
    const std::string code = CodeFromCompanyChoice(m_Company->currentText().toStdString());
    if (code.empty()) {
        m_Session.Messages().Show("Please select company.", MessageKind::Warning);
        m_Company->setFocus();
        return;
    }
    m_Code = QString::fromStdString(code);
    QDialog::accept();
}

} // namespace strikeline
