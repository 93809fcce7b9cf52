#pragma once

namespace glowline {

// The selected run of lines, first..last, with the current line among them.
// The user selects from an anchor at one end to the current line at the
// other; a selection that plays is held as it was while the current line
// moves inside it, so the current line is not always at an end.
struct LineSelection
{
    int first = 1;
    int last = 1;
    int current = 1;

    int count() const { return last - first + 1; }

    bool operator==(const LineSelection &) const = default;
};

} // namespace glowline
