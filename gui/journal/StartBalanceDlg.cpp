#include "gui/journal/StartBalanceDlg.h"

namespace strikeline {

CStartBalanceDlg::CStartBalanceDlg(double balance, QWidget* parent)
    : CBalanceAmountDlg(QStringLiteral("Change Start Balance"), QStringLiteral("Start balance $:"),
                        balance, parent) {}

} // namespace strikeline
