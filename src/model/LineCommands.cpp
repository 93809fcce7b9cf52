#include "model/LineCommands.h"

#include "model/SequenceEditor.h"

#include <algorithm>
#include <array>

namespace glowline {

namespace {

using Line = std::array<Cell, kColumnCount>;

// Inserts line at line at, as one step that makes it current.
EditResult insertLine(SequenceEditor &editor, int at, const Line &line)
{
    if (const auto refusal = EditResult::refusalFor(editor.table().lineCount(), 1))
        return *refusal;
    SequenceEditor::Step step(editor);
    editor.insertLines(at, line);
    editor.setCurrentLine(at);
    return {true};
}

int currentLine(const SequenceEditor &editor)
{
    return editor.document().currentLine();
}

} // namespace

EditResult addLine(SequenceEditor &editor)
{
    return insertLine(editor, editor.table().lineCount() + 1, {});
}

EditResult copyLine(SequenceEditor &editor)
{
    // A copy, not a view into the table that the insertion moves.
    Line line;
    std::ranges::copy(editor.table().line(currentLine(editor)), line.begin());
    return insertLine(editor, currentLine(editor) + 1, line);
}

EditResult deleteLine(SequenceEditor &editor)
{
    const int lines = editor.table().lineCount();
    if (lines == 1)
        return {};
    const int current = currentLine(editor);
    SequenceEditor::Step step(editor);
    editor.removeLines(current, 1);
    editor.setCurrentLine(std::min(current, lines - 1));
    return {true};
}

EditResult insertLineAbove(SequenceEditor &editor)
{
    return insertLine(editor, currentLine(editor), {});
}

EditResult insertLineBelow(SequenceEditor &editor)
{
    return insertLine(editor, currentLine(editor) + 1, {});
}

} // namespace glowline
