#pragma once

#include "model/EditResult.h"

namespace glowline {

class SequenceEditor;

// The line buttons. Each works on the current line as one undo step of the
// editor, and leaves the new current line alone selected. One that would
// take the sequence past kMaxLines lines is refused; Del on the only line
// changes nothing.

// Appends an empty line and makes it current.
EditResult addLine(SequenceEditor &editor);
// Puts a copy of the current line below it and makes the copy current.
EditResult copyLine(SequenceEditor &editor);
// Removes the current line. The line that followed takes its number and
// becomes current; after the last line, the new last line does.
EditResult deleteLine(SequenceEditor &editor);
// Inserts an empty line in the current line's place and makes it current.
EditResult insertLineAbove(SequenceEditor &editor);
// Inserts an empty line below the current line and makes it current.
EditResult insertLineBelow(SequenceEditor &editor);

} // namespace glowline
