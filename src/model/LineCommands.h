#pragma once

#include "model/LineTable.h"

#include <array>
#include <optional>

namespace glowline {

enum class LineCommand
{
    Add,         // append an empty line and make it current
    Copy,        // duplicate the current line below it and make the copy current
    Delete,      // remove the current line
    InsertAbove, // insert an empty line at the current position
    InsertBelow, // insert an empty line below the current line and make it current
};

// What a line command did to the table: exactly one line inserted or removed,
// with its cells, and where the current line was before and after. Enough to
// undo and redo it without a copy of the table.
struct LineChange
{
    enum class Kind
    {
        Inserted,
        Removed,
    };
    Kind kind = Kind::Inserted;
    int line = 1;
    std::array<Cell, kColumnCount> cells{};
    int currentBefore = 1;
    int currentAfter = 1;
};

// Runs a command on the table and the current line. Returns nothing, and
// changes nothing, when the command is refused: a grow at 32767 lines, or Del
// on a sequence of one line.
std::optional<LineChange> applyLineCommand(LineCommand command, LineTable &table,
                                           int &currentLine);

void undoLineChange(const LineChange &change, LineTable &table, int &currentLine);
void redoLineChange(const LineChange &change, LineTable &table, int &currentLine);

} // namespace glowline
