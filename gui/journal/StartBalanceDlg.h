#pragma once

#include "gui/journal/BalanceAmountDlg.h"

namespace strikeline {

// "Change Start Balance": the balance the Diary starts from before any trade.
class CStartBalanceDlg : public CBalanceAmountDlg {
    Q_OBJECT

public:
    CStartBalanceDlg(double balance, CUserMessenger& messages, QWidget* parent = nullptr);
};

} // namespace strikeline
