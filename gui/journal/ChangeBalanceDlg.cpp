#include "gui/journal/ChangeBalanceDlg.h"

namespace strikeline {

CChangeBalanceDlg::CChangeBalanceDlg(double change, QWidget* parent)
    : CBalanceAmountDlg(QStringLiteral("Change Month Balance"),
                        QStringLiteral("Month balance increment or decrement $:"), change, parent) {
}

} // namespace strikeline
