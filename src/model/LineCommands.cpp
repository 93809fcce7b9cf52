#include "model/LineCommands.h"

#include <algorithm>

namespace glowline {

namespace {

void insert(const LineChange &change, LineTable &table)
{
    table.insertLine(change.line, change.cells);
}

void remove(const LineChange &change, LineTable &table)
{
    table.removeLine(change.line);
}

} // namespace

std::optional<LineChange> applyLineCommand(LineCommand command, LineTable &table, int &currentLine)
{
    const int count = table.lineCount();
    const int current = currentLine;
    LineChange change;
    change.currentBefore = current;

    if (command == LineCommand::Delete) {
        if (count == 1)
            return std::nullopt;
        change.kind = LineChange::Kind::Removed;
        change.line = current;
        std::ranges::copy(table.line(current), change.cells.begin());
        // Deleting the last line moves the current line up to the new last one;
        // otherwise the same number now holds the line that followed.
        change.currentAfter = std::min(current, count - 1);
    } else {
        if (table.isFull())
            return std::nullopt;
        change.kind = LineChange::Kind::Inserted;
        switch (command) {
        case LineCommand::Add:
            change.line = count + 1;
            break;
        case LineCommand::Copy:
            change.line = current + 1;
            std::ranges::copy(table.line(current), change.cells.begin());
            break;
        case LineCommand::InsertAbove:
            change.line = current;
            break;
        case LineCommand::InsertBelow:
        case LineCommand::Delete:
            change.line = current + 1;
            break;
        }
        change.currentAfter = change.line;
    }
    redoLineChange(change, table, currentLine);
    return change;
}

void undoLineChange(const LineChange &change, LineTable &table, int &currentLine)
{
    if (change.kind == LineChange::Kind::Inserted)
        remove(change, table);
    else
        insert(change, table);
    currentLine = change.currentBefore;
}

void redoLineChange(const LineChange &change, LineTable &table, int &currentLine)
{
    if (change.kind == LineChange::Kind::Inserted)
        insert(change, table);
    else
        remove(change, table);
    currentLine = change.currentAfter;
}

} // namespace glowline
