#include "gui/app/QtNotifier.h"

#include <QMetaObject>

namespace strikeline {

// Signals emitted from the worker reach receivers on the user-interface thread through
// queued connections (the receivers live there), so emitting is all it takes.
void CQtNotifier::RequestRefresh(RefreshKind kind) {
    emit RefreshRequested(kind);
}

void CQtNotifier::StatusChanged() {
    emit StatusTextChanged();
}

void CQtNotifier::ShowMessage(const std::string& text, MessageIcon icon) {
    emit MessageRequested(QString::fromStdString(text), static_cast<int>(icon));
}

} // namespace strikeline
