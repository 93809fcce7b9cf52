#pragma once

#include "model/LineCommands.h"
#include "model/SequenceEditor.h"

#include <QString>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>
#include <vector>

namespace glowline::test {

// Drives the edit gate with edits of every kind, chosen by `below(n)`, which
// returns a number in 0..n-1: a seeded generator in tests, the fuzzer's bytes
// in the fuzz target. Returns a description of what it did, for failure
// messages.
inline QString randomEdit(SequenceEditor &editor, const std::function<int(int)> &below)
{
    const LineTable &table = editor.table();
    const int count = table.lineCount();
    const auto anyLine = [&] { return 1 + below(count); };
    const auto anyValue = [&] { return Cell(below(kMaxCellValue + 1)); };
    const auto randomLines = [&](int lines) {
        std::vector<Cell> cells(std::size_t(lines) * kColumnCount);
        for (Cell &cell : cells)
            cell = anyValue();
        return cells;
    };
    // A selection, as the window would have it, before each edit.
    const int anchor = anyLine();
    const int current = below(4) == 0 ? anchor : anyLine();
    editor.setSelection(anchor, current);
    const int first = std::min(anchor, current);
    const int last = std::max(anchor, current);

    switch (below(10)) {
    case 0: {
        const int column = below(kColumnCount);
        editor.setCell(column, current, anyValue());
        return QStringLiteral("set cell %1 of line %2").arg(column).arg(current);
    }
    case 1: {
        // A gesture of several writes: one step.
        SequenceEditor::Step step(editor);
        const int writes = 1 + below(5);
        for (int i = 0; i < writes; ++i)
            editor.setCell(below(kColumnCount), current, anyValue());
        return QStringLiteral("%1 writes in one step").arg(writes);
    }
    case 2: {
        const int column = below(kColumnCount);
        const Cell value = anyValue();
        editor.changeCells(column, first, last, [value](Cell) { return value; });
        return QStringLiteral("column %1 of lines %2-%3").arg(column).arg(first).arg(last);
    }
    case 3: {
        using LineCommand = std::pair<const char *, EditResult (*)(SequenceEditor &)>;
        const std::array<LineCommand, 5> commands{{{"Add", addLine},
                                                   {"Copy", copyLine},
                                                   {"Del", deleteLine},
                                                   {"Ins Above", insertLineAbove},
                                                   {"Ins Below", insertLineBelow}}};
        const auto &[name, command] = commands[std::size_t(below(5))];
        command(editor);
        return QStringLiteral("%1 at line %2").arg(QLatin1String(name)).arg(current);
    }
    case 4: {
        const int remove = below(last - first + 2);
        const int insert = below(8);
        editor.replaceLines(first, remove, randomLines(insert));
        return QStringLiteral("replace %1 lines at %2 with %3").arg(remove).arg(first).arg(insert);
    }
    case 5: {
        const int delta = below(2) == 0 ? -1 : 1;
        editor.moveLines(first, last - first + 1, delta);
        return QStringLiteral("move lines %1-%2 by %3").arg(first).arg(last).arg(delta);
    }
    case 6: {
        const int at = 1 + below(count + 1);
        const int insert = 1 + below(4);
        editor.insertLines(at, randomLines(insert));
        return QStringLiteral("insert %1 lines at %2").arg(insert).arg(at);
    }
    case 7:
        // A range edit and a cell edit in one step, in that order.
        {
            SequenceEditor::Step step(editor);
            editor.replaceLines(first, 1, randomLines(2));
            editor.setCell(below(kColumnCount), 1 + below(table.lineCount()), anyValue());
        }
        return QStringLiteral("range and cell edit in one step at %1").arg(first);
    case 8:
        editor.undo();
        return QStringLiteral("undo");
    default:
        editor.redo();
        return QStringLiteral("redo");
    }
}

// Why the table breaks a rule every table must keep, or an empty string.
inline QString tableFault(const LineTable &table)
{
    const int count = table.lineCount();
    if (count < 1 || count > kMaxLines || table.cells().size() != std::size_t(count) * kColumnCount)
        return QStringLiteral("line count %1").arg(count);
    for (int line = 1; line <= count; ++line) {
        for (int column = 0; column < kColumnCount; ++column) {
            const Cell value = table.cell(column, line);
            if (value < 0 || value > kMaxCellValue)
                return QStringLiteral("cell %1 of line %2 is %3").arg(column).arg(line).arg(value);
        }
    }
    return {};
}

// Undoes every step the editor holds, which must give back start, then redoes
// exactly those steps, which must give back the table as it was before. Steps
// left to redo at the start are not redone: the table they lead to is not the
// one being checked. Returns why the history failed, or an empty string.
inline QString historyFault(SequenceEditor &editor, const LineTable &start)
{
    const LineTable end = editor.table();
    int undone = 0;
    while (editor.undo())
        ++undone;
    if (editor.table() != start)
        return QStringLiteral("undoing all %1 steps did not give back the start").arg(undone);
    for (int i = 0; i < undone; ++i) {
        if (!editor.redo())
            return QStringLiteral("redo %1 of %2 was refused").arg(i + 1).arg(undone);
    }
    if (editor.table() != end)
        return QStringLiteral("redoing all %1 steps did not give back the end").arg(undone);
    return {};
}

} // namespace glowline::test
