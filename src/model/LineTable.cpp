#include "model/LineTable.h"

#include <algorithm>

namespace glowline {

void LineTable::replaceLines(int first, int removeCount, std::span<const Cell> cells)
{
    const auto at = m_cells.begin() + std::ptrdiff_t(index(0, first));
    const auto removeCells = std::ptrdiff_t(removeCount) * kColumnCount;
    const auto insertCells = std::ptrdiff_t(cells.size());
    // Overwrite what both have, then take out or put in only the difference.
    const auto common = std::min(removeCells, insertCells);
    std::copy_n(cells.begin(), common, at);
    if (removeCells > common)
        m_cells.erase(at + common, at + removeCells);
    else if (insertCells > common)
        m_cells.insert(at + common, cells.begin() + common, cells.end());
}

} // namespace glowline
