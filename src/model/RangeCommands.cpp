#include "model/RangeCommands.h"

#include "model/SequenceEditor.h"

#include <algorithm>

namespace glowline {

namespace {

int lineCountOf(std::span<const Cell> cells)
{
    return int(cells.size() / kColumnCount);
}

// Inserts cells at line at as one step that selects them.
EditResult insertSelected(SequenceEditor &editor, int at, std::span<const Cell> cells)
{
    const int count = lineCountOf(cells);
    if (count == 0)
        return {};
    if (const auto refusal = EditResult::refusalFor(editor.table().lineCount(), count))
        return *refusal;
    SequenceEditor::Step step(editor);
    if (!editor.insertLines(at, cells))
        return {};
    editor.setSelection(at + count - 1, at);
    return {true};
}

} // namespace

std::vector<Cell> selectedCells(const Document &document)
{
    const auto &all = document.table().cells();
    const auto begin = all.begin() + std::ptrdiff_t(document.selectionFirst() - 1) * kColumnCount;
    return {begin, begin + std::ptrdiff_t(document.selectionCount()) * kColumnCount};
}

EditResult pasteLines(SequenceEditor &editor, std::span<const Cell> cells)
{
    return insertSelected(editor, editor.document().selectionLast() + 1, cells);
}

EditResult pasteLinesOver(SequenceEditor &editor, std::span<const Cell> cells)
{
    const int count = lineCountOf(cells);
    if (count == 0)
        return {};
    const int first = editor.document().selectionFirst();
    const int lines = editor.table().lineCount();
    const int overwritten = std::min(count, lines - first + 1);
    if (const auto refusal = EditResult::refusalFor(lines, count - overwritten))
        return *refusal;
    SequenceEditor::Step step(editor);
    if (!editor.replaceLines(first, overwritten, cells))
        return {};
    editor.setSelection(first + count - 1, first);
    return {true};
}

EditResult duplicateSelection(SequenceEditor &editor)
{
    const std::vector<Cell> cells = selectedCells(editor.document());
    return insertSelected(editor, editor.document().selectionLast() + 1, cells);
}

bool deleteSelection(SequenceEditor &editor)
{
    const Document &document = editor.document();
    const int lines = document.lineCount();
    if (lines == 1)
        return false;
    const int first = document.selectionFirst();
    const int count = document.selectionCount();
    SequenceEditor::Step step(editor);
    if (count == lines) {
        const std::vector<Cell> zeros(kColumnCount, 0);
        editor.replaceLines(1, lines, zeros);
        editor.setCurrentLine(1);
        return true;
    }
    editor.removeLines(first, count);
    editor.setCurrentLine(std::min(first, lines - count));
    return true;
}

bool moveSelection(SequenceEditor &editor, int delta)
{
    const LineSelection selection = editor.document().selection();
    SequenceEditor::Step step(editor);
    if (!editor.moveLines(selection.first, selection.count(), delta))
        return false;
    editor.select({selection.first + delta, selection.last + delta, selection.current + delta});
    return true;
}

bool reverseSelection(SequenceEditor &editor)
{
    const Document &document = editor.document();
    if (document.selectionCount() < 2)
        return false;
    std::vector<Cell> cells = selectedCells(document);
    // Reverse whole lines: reverse every cell, then each line's cells back.
    std::ranges::reverse(cells);
    for (auto it = cells.begin(); it != cells.end(); it += kColumnCount)
        std::reverse(it, it + kColumnCount);
    const int lines = int(cells.size() / kColumnCount);
    return editor.replaceLines(document.selectionFirst(), lines, cells);
}

bool setSelectionDuration(SequenceEditor &editor, int hundredths)
{
    const Document &document = editor.document();
    const Cell value = Cell(std::clamp(hundredths, 0, kMaxCellValue));
    bool changed = false;
    editor.changeCells(kDurationColumn, document.selectionFirst(), document.selectionLast(),
                       [&](Cell d) {
                           changed |= d != value;
                           return value;
                       });
    return changed;
}

int scaledDuration(int hundredths, int percent)
{
    if (hundredths <= 0)
        return 0;
    const qint64 scaled = (qint64(hundredths) * percent * 2 + 100) / 200;
    return int(std::clamp<qint64>(scaled, 1, kMaxCellValue));
}

bool scaleSelectionDurations(SequenceEditor &editor, int percent)
{
    const Document &document = editor.document();
    percent = std::clamp(percent, kMinScalePercent, kMaxScalePercent);
    bool changed = false;
    editor.changeCells(kDurationColumn, document.selectionFirst(), document.selectionLast(),
                       [&](Cell d) {
                           const Cell value = Cell(scaledDuration(d, percent));
                           changed |= d != value;
                           return value;
                       });
    return changed;
}

} // namespace glowline
