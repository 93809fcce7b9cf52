#pragma once

#include "model/LineTable.h"

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

} // namespace glowline::test
