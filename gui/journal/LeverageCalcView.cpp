#include "gui/journal/LeverageCalcView.h"

#include "session/UserMessenger.h"

#include <QEvent>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace strikeline {

CLeverageCalcView::CLeverageCalcView(CUserMessenger& messages, QWidget* parent)
    : QWidget(parent), m_Messages(messages), m_Shares(new QLineEdit(this)),
      m_Price(new QLineEdit(this)), m_Total(new QLineEdit(this)), m_Rate(new QLineEdit(this)),
      m_CostPerShare(new QLineEdit(this)), m_Days(new QLineEdit(this)),
      m_CostOfLeverage(new QLineEdit(this)),
      m_Calculate(new QPushButton(QStringLiteral("Calculate"), this)) {
    setWindowTitle(QStringLiteral("Leverage Calculator"));
    setAttribute(Qt::WA_DeleteOnClose);

    for (QLineEdit* result : {m_Total, m_CostPerShare, m_CostOfLeverage}) {
        result->setReadOnly(true);
        QPalette colours = result->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            colours.setColor(group, QPalette::Base,
                             ResultBackground(colours.color(group, QPalette::Base)));
        }
        result->setPalette(colours);
    }

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Number of Shares Purchased:"), m_Shares);
    form->addRow(QStringLiteral("Price per Share:"), m_Price);
    form->addRow(QStringLiteral("Total Purchase Price:"), m_Total);
    form->addRow(QStringLiteral("Interest Rate:"), m_Rate);
    form->addRow(QStringLiteral("Cost per Share:"), m_CostPerShare);
    form->addRow(QStringLiteral("Period of Margin (Days):"), m_Days);
    form->addRow(QStringLiteral("Cost of Leverage:"), m_CostOfLeverage);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_Calculate, 0, Qt::AlignRight);
    // A tool window of its dialog's size.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Tab walks the inputs first, then the button, then the results (which can be copied).
    setTabOrder(m_Shares, m_Price);
    setTabOrder(m_Price, m_Rate);
    setTabOrder(m_Rate, m_Days);
    setTabOrder(m_Days, m_Calculate);
    setTabOrder(m_Calculate, m_Total);
    setTabOrder(m_Total, m_CostPerShare);
    setTabOrder(m_CostPerShare, m_CostOfLeverage);
    m_Calculate->setDefault(true);

    m_Rate->setText(QString::fromStdString(CLeverageInputs{}.interestRate));
    for (QLineEdit* input : {m_Shares, m_Price, m_Rate, m_Days}) {
        connect(input, &QLineEdit::textChanged, this, &CLeverageCalcView::ClearResults);
    }
    connect(m_Calculate, &QPushButton::clicked, this, &CLeverageCalcView::Calculate);
    // The fields take their own clicks; the window still has to come to the top.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->installEventFilter(this);
    }
    m_Shares->setFocus(Qt::OtherFocusReason);
}

QColor CLeverageCalcView::ResultBackground(const QColor& field) {
    const QColor rgb = field.toRgb();
    const auto shade = [](int component) {
        return std::max(component - kResultShade, 0);
    };
    return {shade(rgb.red()), shade(rgb.green()), shade(rgb.blue())};
}

QLineEdit* CLeverageCalcView::InputEdit(LeverageField field) const {
    switch (field) {
    case LeverageField::Shares:
        return m_Shares;
    case LeverageField::PricePerShare:
        return m_Price;
    case LeverageField::InterestRate:
        return m_Rate;
    case LeverageField::PeriodDays:
        break;
    }
    return m_Days;
}

void CLeverageCalcView::Calculate() {
    CLeverageInputs inputs;
    inputs.shares = m_Shares->text().toStdString();
    inputs.pricePerShare = m_Price->text().toStdString();
    inputs.interestRate = m_Rate->text().toStdString();
    inputs.periodDays = m_Days->text().toStdString();
    CLeverageResults results;
    CLeverageError error;
    if (!CalculateLeverage(inputs, results, error)) {
        QLineEdit* field = InputEdit(error.field);
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        m_Messages.Show(error.message, MessageKind::Plain);
        return;
    }
    m_Total->setText(QString::fromStdString(results.totalPurchasePrice));
    m_CostPerShare->setText(QString::fromStdString(results.costPerShare));
    m_CostOfLeverage->setText(QString::fromStdString(results.costOfLeverage));
}

void CLeverageCalcView::ClearResults() {
    m_Total->clear();
    m_CostPerShare->clear();
    m_CostOfLeverage->clear();
}

bool CLeverageCalcView::IsClick(const QEvent* event) {
    return event->type() == QEvent::MouseButtonPress ||
           event->type() == QEvent::NonClientAreaMouseButtonPress;
}

void CLeverageCalcView::BringToTop() {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (frame != nullptr && frame->mdiArea() != nullptr) {
        frame->mdiArea()->setActiveSubWindow(frame);
    } else {
        raise();
    }
}

bool CLeverageCalcView::event(QEvent* event) {
    // A click anywhere on the window, its frame included, brings it to the top.
    // (A calculator inside the main window is not activated with it.)
    if (IsClick(event) || (isWindow() && event->type() == QEvent::WindowActivate)) {
        BringToTop();
    }
    return QWidget::event(event);
}

bool CLeverageCalcView::eventFilter(QObject* watched, QEvent* event) {
    if (IsClick(event)) {
        BringToTop();
    }
    return QWidget::eventFilter(watched, event);
}

void CLeverageCalcView::keyPressEvent(QKeyEvent* event) {
    // The fields pass Enter on; it calculates, as "Calculate" is the window's default.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        Calculate();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace strikeline
