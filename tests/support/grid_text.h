#pragma once

#include <QString>

namespace velkor {
class TCustomDBGrid;
}

namespace velkor::test {

// The text the grid draws in data column `column` (0-based) of grid row `row` (the title row is
// 0), read the way its painting reads it; empty past the rows it holds.
[[nodiscard]] QString GridText(TCustomDBGrid &grid, int column, int row);
// The record rows the grid shows filled.
[[nodiscard]] int GridFilledRows(TCustomDBGrid &grid);

} // namespace velkor::test
