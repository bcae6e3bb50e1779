#include "gui/widgets/ComplexTableCell.h"

#include "gui/widgets/ComplexTableWnd.h"

namespace strikeline {

// Out of line: the embedded table is only declared in the header.
CComplexTableCell::CComplexTableCell() = default;
CComplexTableCell::~CComplexTableCell() = default;
CComplexTableCell::CComplexTableCell(CComplexTableCell&&) noexcept = default;
CComplexTableCell& CComplexTableCell::operator=(CComplexTableCell&&) noexcept = default;

} // namespace strikeline
