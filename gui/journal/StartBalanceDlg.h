#pragma once

#include "gui/journal/BalanceAmountDlg.h"

namespace strikeline {

// "Change Start Balance": the balance the Diary starts from before any trade.
class CStartBalanceDlg : public CBalanceAmountDlg {
    Q_OBJECT

public:
    explicit CStartBalanceDlg(double balance, QWidget* parent = nullptr);
};

} // namespace strikeline
