#include "gui/journal/StartBalanceDlg.h"

namespace strikeline {

CStartBalanceDlg::CStartBalanceDlg(double balance, CUserMessenger& messages, QWidget* parent)
    : CBalanceAmountDlg(QStringLiteral("Change Start Balance"), QStringLiteral("Start balance $:"),
                        balance, messages, parent) {}

} // namespace strikeline
