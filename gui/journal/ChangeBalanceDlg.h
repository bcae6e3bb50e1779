#pragma once

#include "gui/journal/BalanceAmountDlg.h"

namespace strikeline {

// "Change Month Balance": money added to (or taken from) the balance from the first day of
// one month on.
class CChangeBalanceDlg : public CBalanceAmountDlg {
    Q_OBJECT

public:
    CChangeBalanceDlg(double change, CUserMessenger& messages, QWidget* parent = nullptr);
};

} // namespace strikeline
