#pragma once

#include "model/LineTable.h"

#include <QList>
#include <QRandomGenerator>

#include <array>
#include <initializer_list>

// The line tables the tests, the benchmarks and the fuzz targets build.
namespace glowline::test {

// A value that names its column and line, so that a moved line can be
// recognised wherever it ends up.
inline Cell mark(int column, int line)
{
    return Cell((line * 16 + column) % 4096);
}

// A table whose every cell is its mark.
inline LineTable numberedTable(int lines)
{
    LineTable table(lines);
    for (int n = 1; n <= lines; ++n) {
        for (int c = 0; c < kColumnCount; ++c)
            table.setCell(c, n, mark(c, n));
    }
    return table;
}

// The lines of a numbered table in the order listed, each entry naming the
// line whose marks it holds, 0 for an empty line: what numberedTable(n)
// becomes when its lines are moved, copied, inserted or removed.
inline LineTable numberedLines(const QList<int> &numbers)
{
    LineTable table(int(numbers.size()));
    for (int n = 1; n <= int(numbers.size()); ++n) {
        for (int c = 0; c < kColumnCount; ++c)
            table.setCell(c, n, numbers[n - 1] == 0 ? Cell(0) : mark(c, numbers[n - 1]));
    }
    return table;
}

// A table whose every cell is distinct enough to tell lines apart: LED c of
// line n holds (n * 37 + c * 5) mod 4096, the duration (n * 3) mod 4096.
inline LineTable patternTable(int lineCount)
{
    LineTable table(lineCount);
    for (int line = 1; line <= lineCount; ++line) {
        for (int c = 0; c < kLedCount; ++c)
            table.setCell(c, line, Cell((line * 37 + c * 5) % 4096));
        table.setCell(kDurationColumn, line, Cell((line * 3) % 4096));
    }
    return table;
}

// The largest sequence, in which every LED changes on every line and every
// line has a duration: each line carries all twelve words. Shared by the
// tests and the benchmarks.
inline LineTable everyLedChangesTable(int lines = kMaxLines)
{
    LineTable table(lines);
    for (int n = 1; n <= lines; ++n) {
        for (int c = 0; c < kLedCount; ++c)
            table.setCell(c, n, Cell((n * 11 + c * 397) % 4096));
        table.setCell(kDurationColumn, n, Cell(1 + n % 4095));
    }
    return table;
}

// Black lines with the given durations.
inline LineTable withDurations(const QList<int> &durations)
{
    LineTable table(int(durations.size()));
    for (int n = 1; n <= int(durations.size()); ++n)
        table.setCell(kDurationColumn, n, Cell(durations[n - 1]));
    return table;
}

// One line per colour, every LED of line n in that colour, the duration
// durationStep * n (no duration when the step is 0).
inline LineTable uniformTable(const QList<int> &colours, int durationStep = 10)
{
    LineTable table(int(colours.size()));
    for (int n = 1; n <= int(colours.size()); ++n) {
        for (int c = 0; c < kLedCount; ++c)
            table.setCell(c, n, Cell(colours[n - 1]));
        table.setCell(kDurationColumn, n, Cell(durationStep * n));
    }
    return table;
}

// LED 4 red for 0.50 s, then black: the three file words 0x4F00, 0xF032,
// 0x4000.
inline LineTable threeWordTable()
{
    LineTable table(2);
    table.setCell(4, 1, 0xF00);
    table.setCell(kDurationColumn, 1, 50);
    return table;
}

using Row = std::array<int, kColumnCount>; // LED 0..10, then the duration

inline LineTable tableOf(std::initializer_list<Row> rows)
{
    LineTable table(int(rows.size()));
    int n = 1;
    for (const Row &row : rows) {
        for (int c = 0; c < kColumnCount; ++c)
            table.setCell(c, n, Cell(row[std::size_t(c)]));
        ++n;
    }
    return table;
}

// A random table that the file format can carry exactly: every LED column
// changes at least once and every duration is above 0. Needs two lines.
inline LineTable randomExactTable(QRandomGenerator &random, int lines)
{
    LineTable table(lines);
    // Few distinct colours per column, so that runs of equal cells (no word)
    // are common as well as changes.
    for (int n = 1; n <= lines; ++n) {
        for (int c = 0; c < kLedCount; ++c) {
            const bool keep = n > 1 && random.bounded(3) == 0;
            table.setCell(c, n, keep ? table.cell(c, n - 1) : Cell(random.bounded(4096)));
        }
        table.setCell(kDurationColumn, n, Cell(1 + random.bounded(4095)));
    }
    for (int c = 0; c < kLedCount; ++c) {
        bool changes = false;
        for (int n = 2; n <= lines && !changes; ++n)
            changes = table.cell(c, n) != table.cell(c, 1);
        if (!changes) {
            const int n = 1 + int(random.bounded(lines));
            table.setCell(c, n, Cell((table.cell(c, n) + 1 + random.bounded(4095)) % 4096));
        }
    }
    return table;
}

} // namespace glowline::test
