#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace glowline {

using Cell = std::int16_t;

inline constexpr int kLedCount = 11;
inline constexpr int kColumnCount = 12;
inline constexpr int kDurationColumn = 11;
inline constexpr int kMaxLines = 32767;
inline constexpr int kMaxCellValue = 4095;

// The sequence held in memory: line after line, 12 cells per line (LEDs 0..10
// as packed colours, then the duration in hundredths of a second). Lines are
// numbered from 1. Indexes outside the table are the caller's error.
class LineTable final
{
public:
    LineTable() : m_cells(kColumnCount, 0) {}
    explicit LineTable(int lineCount) : m_cells(std::size_t(lineCount) * kColumnCount, 0) {}
    // Takes whole lines, kColumnCount cells each, at least one line.
    explicit LineTable(std::vector<Cell> cells) : m_cells(std::move(cells)) {}

    int lineCount() const { return int(m_cells.size() / kColumnCount); }
    bool isFull() const { return lineCount() >= kMaxLines; }

    Cell cell(int column, int line) const { return m_cells[index(column, line)]; }
    void setCell(int column, int line, Cell value) { m_cells[index(column, line)] = value; }
    Cell duration(int line) const { return cell(kDurationColumn, line); }

    std::span<const Cell, kColumnCount> line(int line) const
    {
        return std::span<const Cell, kColumnCount>(m_cells.data() + index(0, line), kColumnCount);
    }
    // Replaces removeCount lines from line first with the whole lines in
    // cells; first may be one past the last line. The lines behind move as
    // one block.
    void replaceLines(int first, int removeCount, std::span<const Cell> cells);
    void insertLine(int p, std::span<const Cell, kColumnCount> cells) { replaceLines(p, 0, cells); }
    void removeLine(int p) { replaceLines(p, 1, {}); }

    const std::vector<Cell> &cells() const { return m_cells; }

    bool operator==(const LineTable &) const = default;

private:
    static std::size_t index(int column, int line)
    {
        return std::size_t(line - 1) * kColumnCount + std::size_t(column);
    }

    std::vector<Cell> m_cells;
};

} // namespace glowline
