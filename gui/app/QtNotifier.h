#pragma once

#include "session/Notifier.h"

#include <QObject>
#include <functional>

namespace strikeline {

// Carries the core's notifications to the user-interface thread: every call is queued
// there and returns at once, so the downloader's worker never waits for, or touches, a
// window.
class CQtNotifier final : public QObject, public CNotifier {
    Q_OBJECT

public:
    explicit CQtNotifier(QObject* parent = nullptr) : QObject(parent) {}

    void RequestRefresh(RefreshKind kind) override;
    void StatusChanged() override;
    void ShowMessage(const std::string& text, MessageIcon icon) override;

signals:
    void RefreshRequested(strikeline::RefreshKind kind);
    void StatusTextChanged();
    void MessageRequested(QString text, int icon);
};

} // namespace strikeline
