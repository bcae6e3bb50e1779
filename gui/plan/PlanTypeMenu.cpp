#include "gui/plan/PlanTypeMenu.h"

#include <QAction>

namespace strikeline {

CPlanTypeMenu::CPlanTypeMenu(const std::vector<CPlanTypeChoice>& choices, QWidget* parent)
    : QMenu(parent) {
    for (const CPlanTypeChoice& choice : choices) {
        QAction* action = addAction(
            QString::fromUtf8(choice.label.data(), static_cast<qsizetype>(choice.label.size())));
        action->setCheckable(true);
        action->setChecked(choice.ticked);
        action->setData(static_cast<uint>(choice.type));
    }
}

std::optional<std::uint32_t> CPlanTypeMenu::Choose(const QPoint& globalPoint) {
    const QAction* chosen = exec(globalPoint);
    if (chosen == nullptr) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(chosen->data().toUInt());
}

} // namespace strikeline
