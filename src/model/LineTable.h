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
    void setLine(int line, std::span<const Cell, kColumnCount> cells);

    void clearLine(int line);
    void copyLine(int source, int target);
    // grow appends an all-zero line; shrink drops the last line.
    void grow();
    void shrink();
    // After a grow: moves lines p..count-1 one line down, from the end backwards.
    void openGap(int p);
    // Before a shrink: moves lines p+1..count one line up, from p forwards.
    void closeGap(int p);
    // Back to one all-zero line.
    void reset();

    // Inserts a line so that it becomes line p, and removes line p. Both move
    // the lines behind p as one block; used by the line commands and undo.
    void insertLine(int p, std::span<const Cell, kColumnCount> cells);
    void removeLine(int p);

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
