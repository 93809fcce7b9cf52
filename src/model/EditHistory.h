#pragma once

#include "model/LineCommands.h"
#include "model/LineTable.h"

#include <QObject>

#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

namespace glowline {

class Document;

// Undo and redo for the sequence. A step holds only what it changed: the
// cells it wrote with their old and new values, or the one line a line
// command inserted or removed, so its cost does not grow with the sequence.
//
// Edits are recorded between beginStep() and endStep(). Steps nest: an edit
// that runs while an outer step is open (a slider dragged from press to
// release) becomes part of that step, so one gesture is one undo step.
class EditHistory final : public QObject
{
    Q_OBJECT

public:
    // Oldest steps are dropped beyond this many.
    static constexpr std::size_t kMaxSteps = 10000;

    using QObject::QObject;

    void beginStep(int currentLine);
    void recordCell(int column, int line, Cell before, Cell after);
    void recordLineChange(const LineChange &change);
    // Commits the step when the outermost open step ends; a step that changed
    // nothing is dropped.
    void endStep(int currentLine);
    bool isRecording() const { return m_depth > 0; }

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // Put the table and the current line back as they were before / after the
    // step. The caller shows the result and marks the document changed.
    void undo(Document &document);
    void redo(Document &document);
    // Forgets every step, and the one being recorded, if any.
    void clear();

    std::size_t stepCount() const { return m_undo.size() + m_redo.size(); }
    // Heap bytes held by the recorded steps.
    std::size_t memoryBytes() const;

signals:
    void availabilityChanged();

private:
    struct CellChange
    {
        int line;
        int column;
        Cell before;
        Cell after;
    };
    struct Step
    {
        std::vector<CellChange> cells;
        std::optional<LineChange> lineChange;
        int currentBefore = 1;
        int currentAfter = 1;
    };

    static std::size_t memoryOf(const Step &step);

    std::deque<Step> m_undo;
    std::deque<Step> m_redo;
    Step m_open;
    int m_depth = 0;
    bool m_discardOpen = false;
};

} // namespace glowline
