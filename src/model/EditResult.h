#pragma once

#include "model/LineTable.h"

#include <QString>

#include <optional>

namespace glowline {

// What a command on lines did. A command that would take the sequence past
// kMaxLines lines is refused: it changes nothing, and every such command
// tells the user why in the same words.
struct EditResult
{
    bool changed = false;
    // Set on a refusal: the lines the sequence has, and the lines the command
    // would have added.
    int linesNow = 0;
    int linesToAdd = 0;

    bool isRefused() const { return linesToAdd > 0; }
    QString message() const;

    // The refusal of linesToAdd more lines for a sequence of linesNow lines,
    // or nothing when they fit.
    static std::optional<EditResult> refusalFor(int linesNow, int linesToAdd)
    {
        if (qint64(linesNow) + linesToAdd <= kMaxLines)
            return std::nullopt;
        return EditResult{false, linesNow, linesToAdd};
    }
};

} // namespace glowline
