#include "model/LineTable.h"

#include <algorithm>

namespace glowline {

void LineTable::setLine(int line, std::span<const Cell, kColumnCount> cells)
{
    std::copy(cells.begin(), cells.end(), m_cells.begin() + std::ptrdiff_t(index(0, line)));
}

void LineTable::clearLine(int line)
{
    auto first = m_cells.begin() + std::ptrdiff_t(index(0, line));
    std::fill(first, first + kColumnCount, Cell(0));
}

void LineTable::copyLine(int source, int target)
{
    if (source == target)
        return;
    std::copy_n(m_cells.begin() + std::ptrdiff_t(index(0, source)), kColumnCount,
                m_cells.begin() + std::ptrdiff_t(index(0, target)));
}

void LineTable::grow()
{
    m_cells.resize(m_cells.size() + kColumnCount, 0);
}

void LineTable::shrink()
{
    m_cells.resize(m_cells.size() - kColumnCount);
}

void LineTable::openGap(int p)
{
    const int count = lineCount();
    if (p >= count)
        return;
    // Lines p..count-1 move to p+1..count; copy_backward moves from the end so
    // no line is overwritten before it has been moved.
    auto first = m_cells.begin() + std::ptrdiff_t(index(0, p));
    auto last = m_cells.begin() + std::ptrdiff_t(index(0, count));
    std::copy_backward(first, last, m_cells.end());
}

void LineTable::closeGap(int p)
{
    const int count = lineCount();
    if (p >= count)
        return;
    auto target = m_cells.begin() + std::ptrdiff_t(index(0, p));
    std::copy(target + kColumnCount, m_cells.end(), target);
}

void LineTable::reset()
{
    m_cells.assign(kColumnCount, 0);
}

void LineTable::insertLine(int p, std::span<const Cell, kColumnCount> cells)
{
    m_cells.insert(m_cells.begin() + std::ptrdiff_t(index(0, p)), cells.begin(), cells.end());
}

void LineTable::removeLine(int p)
{
    auto first = m_cells.begin() + std::ptrdiff_t(index(0, p));
    m_cells.erase(first, first + kColumnCount);
}

} // namespace glowline
