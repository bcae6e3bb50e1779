#pragma once

#include "plan/PlanEntryType.h"

#include <QMenu>
#include <cstdint>
#include <optional>
#include <vector>

namespace strikeline {

// The menu of a plan row's "Type" cell: sell or buy within the row's family, the row's
// current side ticked.
class CPlanTypeMenu : public QMenu {
    Q_OBJECT

public:
    explicit CPlanTypeMenu(const std::vector<CPlanTypeChoice>& choices, QWidget* parent = nullptr);

    // Shows the menu at a point of the screen until the user picks or dismisses it; the
    // type picked, if any.
    std::optional<std::uint32_t> Choose(const QPoint& globalPoint);
};

} // namespace strikeline
