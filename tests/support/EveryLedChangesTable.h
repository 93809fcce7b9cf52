#pragma once

#include "model/LineTable.h"

namespace glowline::test {

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

} // namespace glowline::test
