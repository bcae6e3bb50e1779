#pragma once

#include "journal/LeverageCalculator.h"

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace strikeline {

class CUserMessenger;

// The Leverage Calculator: a small tool window that prices a share purchase made with
// borrowed money. Any change of an input empties the results until "Calculate" is pressed
// again, as Enter in any field does. Several can be open at once; closing one destroys it.
class CLeverageCalcView : public QWidget {
    Q_OBJECT

public:
    // How much darker than the field colour the results are drawn, in each component.
    static constexpr int kResultShade = 20;

    explicit CLeverageCalcView(CUserMessenger& messages, QWidget* parent = nullptr);

    // "Calculate": the results, or the first input's message with the focus on it.
    void Calculate();

    QLineEdit* InputEdit(LeverageField field) const;
    QLineEdit* TotalPurchasePriceEdit() const { return m_Total; }
    QLineEdit* CostPerShareEdit() const { return m_CostPerShare; }
    QLineEdit* CostOfLeverageEdit() const { return m_CostOfLeverage; }
    QPushButton* CalculateButton() const { return m_Calculate; }

    // The field colour made darker for the results; components below the shade become 0.
    static QColor ResultBackground(const QColor& field);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static bool IsClick(const QEvent* event);
    // Brings the calculator's window (its frame in the main window's area) to the top.
    void BringToTop();
    void ClearResults();

    CUserMessenger& m_Messages;
    QLineEdit* m_Shares;
    QLineEdit* m_Price;
    QLineEdit* m_Total;
    QLineEdit* m_Rate;
    QLineEdit* m_CostPerShare;
    QLineEdit* m_Days;
    QLineEdit* m_CostOfLeverage;
    QPushButton* m_Calculate;
};

} // namespace strikeline
