#include "gui/journal/ChangeBalanceDlg.h"

namespace strikeline {

CChangeBalanceDlg::CChangeBalanceDlg(double change, CUserMessenger& messages, QWidget* parent)
    : CBalanceAmountDlg(QStringLiteral("Change Month Balance"),
                        QStringLiteral("Month balance increment or decrement $:"), change, messages,
                        parent) {}

} // namespace strikeline
