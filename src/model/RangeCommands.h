#pragma once

#include "model/EditResult.h"
#include "model/LineTable.h"

#include <span>
#include <vector>

namespace glowline {

class Document;
class SequenceEditor;

// Commands on the selected run of lines. Each is one undo step that also
// records the selection it leaves, so that undo and redo put it back.

// The selected lines, kColumnCount cells each.
std::vector<Cell> selectedCells(const Document &document);

// Inserts whole lines after the last selected line; they become the
// selection, the first of them current.
EditResult pasteLines(SequenceEditor &editor, std::span<const Cell> cells);
// Writes whole lines from the first selected line on, adding lines past the
// end as needed; the written lines become the selection, the first current.
EditResult pasteLinesOver(SequenceEditor &editor, std::span<const Cell> cells);
// Inserts a copy of the selection right after it; the copy becomes the
// selection, its first line current.
EditResult duplicateSelection(SequenceEditor &editor);
// Removes the selected lines; the line after them (or before, at the end)
// becomes current and alone selected. Removing every line of a longer
// sequence leaves one line of zeros; a one-line sequence is left alone.
bool deleteSelection(SequenceEditor &editor);
// Swaps the selected lines with the line above (delta -1) or below (+1);
// the selection moves with them.
bool moveSelection(SequenceEditor &editor, int delta);
// Reverses the order of the selected lines; the selection and the current
// line's number stay.
bool reverseSelection(SequenceEditor &editor);
// One duration (0..kMaxCellValue) for every selected line.
bool setSelectionDuration(SequenceEditor &editor, int hundredths);
// Scales every selected duration by percent (1..10000), see scaledDuration.
bool scaleSelectionDurations(SequenceEditor &editor, int percent);

// d * percent / 100 rounded half up, kept within 1..kMaxCellValue; 0 stays 0.
int scaledDuration(int hundredths, int percent);
inline constexpr int kMinScalePercent = 1;
inline constexpr int kMaxScalePercent = 10000;

} // namespace glowline
