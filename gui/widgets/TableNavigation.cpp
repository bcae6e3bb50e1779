#include "gui/widgets/TableNavigation.h"

namespace strikeline {

namespace {

using Rows = std::span<const std::unique_ptr<CComplexTableRow>>;

int RowCount(Rows rows) {
    return static_cast<int>(rows.size());
}

int CellCount(Rows rows, int row) {
    return static_cast<int>(rows[row]->m_Cells.size());
}

bool Qualifies(Rows rows, int row, int column) {
    if (row < 0 || row >= RowCount(rows) || column < 0 || column >= CellCount(rows, row)) {
        return false;
    }
    const CComplexTableCell& cell = rows[row]->m_Cells[column];
    return cell.m_Visible && cell.m_Selectable;
}

// A row that up, down and the page moves may land on: shaped like the starting row, with a
// cell to take in the same column.
bool Matches(Rows rows, int row, int cellCount, int column) {
    return CellCount(rows, row) == cellCount && Qualifies(rows, row, column);
}

std::optional<CTableCellIndex> Vertical(Rows rows, int row, int column, int step) {
    const int cellCount = CellCount(rows, row);
    for (int r = row + step; r >= 0 && r < RowCount(rows); r += step) {
        if (Matches(rows, r, cellCount, column)) {
            return CTableCellIndex{r, column};
        }
    }
    return std::nullopt;
}

std::optional<CTableCellIndex> Horizontal(Rows rows, int row, int column, int step) {
    for (int c = column + step; c >= 0 && c < CellCount(rows, row); c += step) {
        if (Qualifies(rows, row, c)) {
            return CTableCellIndex{row, c};
        }
    }
    return std::nullopt;
}

std::optional<CTableCellIndex> Next(Rows rows, int row, int column) {
    for (;;) {
        ++column;
        while (row < RowCount(rows) && column >= CellCount(rows, row)) {
            ++row;
            column = 0;
        }
        if (row >= RowCount(rows)) {
            return std::nullopt;
        }
        if (Qualifies(rows, row, column)) {
            return CTableCellIndex{row, column};
        }
    }
}

std::optional<CTableCellIndex> Previous(Rows rows, int row, int column) {
    for (;;) {
        --column;
        while (column < 0) {
            if (--row < 0) {
                return std::nullopt;
            }
            column = CellCount(rows, row) - 1;
        }
        if (Qualifies(rows, row, column)) {
            return CTableCellIndex{row, column};
        }
    }
}

std::optional<CTableCellIndex> PageDown(Rows rows, int row, int column, int visibleHeight) {
    const int cellCount = CellCount(rows, row);
    int target = row;
    for (int skipped = 0; target + 1 < RowCount(rows) && skipped < visibleHeight; ++target) {
        skipped += rows[target]->m_Height;
    }
    for (int r = target; r < RowCount(rows); ++r) {
        if (r != row && Matches(rows, r, cellCount, column)) {
            return CTableCellIndex{r, column};
        }
    }
    for (int r = target - 1; r > row; --r) {
        if (Matches(rows, r, cellCount, column)) {
            return CTableCellIndex{r, column};
        }
    }
    return std::nullopt;
}

std::optional<CTableCellIndex> PageUp(Rows rows, int row, int column, int visibleHeight) {
    const int cellCount = CellCount(rows, row);
    int target = row;
    for (int skipped = 0; target > 0 && skipped < visibleHeight;) {
        --target;
        skipped += rows[target]->m_Height;
    }
    for (int r = target; r >= 0; --r) {
        if (r != row && Matches(rows, r, cellCount, column)) {
            return CTableCellIndex{r, column};
        }
    }
    for (int r = target + 1; r < row; ++r) {
        if (Matches(rows, r, cellCount, column)) {
            return CTableCellIndex{r, column};
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<CTableCellIndex> FindNavigationTarget(Rows rows, int row, int column,
                                                    TableDirection direction, int visibleHeight) {
    if (row < 0 || row >= RowCount(rows) || column < 0 || column >= CellCount(rows, row)) {
        return std::nullopt;
    }
    switch (direction) {
    case TableDirection::Up:
        return Vertical(rows, row, column, -1);
    case TableDirection::Down:
        return Vertical(rows, row, column, 1);
    case TableDirection::Left:
        return Horizontal(rows, row, column, -1);
    case TableDirection::Right:
        return Horizontal(rows, row, column, 1);
    case TableDirection::PageUp:
        return PageUp(rows, row, column, visibleHeight);
    case TableDirection::PageDown:
        return PageDown(rows, row, column, visibleHeight);
    case TableDirection::Next:
        return Next(rows, row, column);
    case TableDirection::Previous:
        return Previous(rows, row, column);
    }
    return std::nullopt;
}

} // namespace strikeline
