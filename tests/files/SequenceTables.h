#pragma once

#include "model/LineTable.h"
#include "support/EveryLedChangesTable.h"
#include "support/Files.h"
#include "support/LineTableText.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QMetaType>
#include <QRandomGenerator>

#include <array>
#include <initializer_list>

Q_DECLARE_METATYPE(glowline::LineTable)

namespace glowline::test {

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
