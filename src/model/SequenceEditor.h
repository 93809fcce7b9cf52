#pragma once

#include "model/Document.h"
#include "model/LineSelection.h"
#include "model/LineTable.h"

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <unordered_map>
#include <vector>

namespace glowline {

// The one way the sequence changes. Every edit, from a slider step to a
// paste of thousands of lines, goes through here: the editor writes the
// table, records what changed as an undo step, and tells its listeners which
// lines changed so that views redraw only those.
//
// One user action is one undo step. An action opens a step (a Step object, or
// beginStep()/endStep()); every edit made while it is open, directly or by
// handlers it sets off, joins that step. A slider drag holds its step open
// from press to release. An edit made with no step open is a step of its own.
//
// A step holds only what it changed: the cells with their old and new
// values, or the lines a range edit took out and put in, so its cost does not
// grow with the sequence. Writes made while the document is refreshing (the
// line window putting its controls where the cells say) are stored but not
// recorded: they are no edits.
class SequenceEditor final : public QObject
{
    Q_OBJECT

public:
    // Oldest steps are dropped beyond this many.
    static constexpr std::size_t kMaxSteps = 10000;

    explicit SequenceEditor(Document &document, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SequenceEditor)

    const Document &document() const { return m_document; }
    const LineTable &table() const { return m_document.m_table; }
    // The line window marks its redraw as refreshing here.
    DocumentState &documentState() { return m_document.state(); }

    // ---- Steps
    void beginStep();
    // Commits the step when the outermost open step ends; a step that changed
    // nothing is dropped.
    void endStep();
    bool isRecording() const { return m_depth > 0; }

    class Step final
    {
    public:
        explicit Step(SequenceEditor &editor) : m_editor(editor) { m_editor.beginStep(); }
        ~Step() { m_editor.endStep(); }
        Q_DISABLE_COPY_MOVE(Step)

    private:
        SequenceEditor &m_editor;
    };

    // ---- Cells
    void setCell(int column, int line, Cell value);
    void setDuration(int line, int hundredths) { setCell(kDurationColumn, line, Cell(hundredths)); }
    // Writes column of every line first..last with what change makes of its
    // old value.
    void changeCells(int column, int first, int last, const std::function<Cell(Cell)> &change);

    // ---- Lines
    // Replaces removeCount lines from line first with the whole lines in cells
    // (kColumnCount cells each); first may be one past the last line. Refused,
    // with nothing changed, when the sequence would pass kMaxLines lines or
    // have none left. The current line and the anchor are the caller's to set.
    bool replaceLines(int first, int removeCount, std::span<const Cell> cells);
    bool insertLines(int at, std::span<const Cell> cells) { return replaceLines(at, 0, cells); }
    bool removeLines(int first, int count) { return replaceLines(first, count, {}); }
    // Moves lines first..first+count-1 by delta lines (the lines they pass
    // move the other way). Refused when the run would leave the sequence.
    bool moveLines(int first, int count, int delta);

    // ---- Current line and selection (recorded with each step, so that undo
    // and redo put them back)
    void setCurrentLine(int line);
    void setSelection(int anchor, int current);
    // Selects a run of lines with its current line. With the current line at
    // one end this is setSelection from the other end; inside, the run is
    // held as it is (as for a selection that played).
    void select(const LineSelection &selection);
    // Moves the current line to line inside the selection and holds the
    // selection as it is (a selection playing); outside it, or with one line
    // selected, as setCurrentLine.
    void moveCurrentInSelection(int line);

    // ---- History
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // Put the table, the current line and the selection back as they were
    // before / after the step. The caller marks the document changed.
    bool undo();
    bool redo();
    // Forgets every step, and the one being recorded, if any. Runs when the
    // document is replaced (New, Load).
    void clearHistory();
    std::size_t stepCount() const { return m_undo.size() + m_redo.size(); }
    // Heap bytes held by the recorded steps.
    std::size_t memoryBytes() const;

signals:
    // Cells of lines first..last changed; no line moved.
    void linesChanged(int first, int last);
    // Lines were inserted, removed or moved from line first on; the line count
    // may have changed.
    void linesMoved(int first);
    void historyChanged();

private:
    struct CellChange
    {
        int line;
        int column;
        Cell before;
        Cell after;
    };
    // removedCount lines at first were replaced by the lines that follow
    // them in cells: removed lines first, then inserted ones.
    struct LinesChange
    {
        int first = 1;
        int removedCount = 0;
        std::vector<Cell> cells;

        std::span<const Cell> removed() const
        {
            return std::span(cells).first(std::size_t(removedCount) * kColumnCount);
        }
        std::span<const Cell> inserted() const
        {
            return std::span(cells).subspan(std::size_t(removedCount) * kColumnCount);
        }
        int insertedCount() const { return int(inserted().size() / kColumnCount); }
    };
    // Cell changes come first, then range changes, in the order they were
    // made; a cell written after a range change is recorded as a range change
    // of its line, so that the order of the two kinds never matters.
    struct HistoryStep
    {
        std::vector<CellChange> cells;
        std::vector<LinesChange> lines;
        int currentBefore = 1;
        int anchorBefore = 1;
        int currentAfter = 1;
        int anchorAfter = 1;
    };

    void record(int column, int line, Cell before, Cell after);
    void recordLines(LinesChange change);
    void applyLines(int first, int removeCount, std::span<const Cell> cells);
    void restore(const HistoryStep &step, bool forward);
    static std::size_t memoryOf(const HistoryStep &step);

    Document &m_document;
    std::deque<HistoryStep> m_undo;
    std::deque<HistoryStep> m_redo;
    HistoryStep m_open;
    // Where each cell written in the open step stands in m_open.cells, so
    // that a cell written many times (a slider drag) keeps one entry.
    std::unordered_map<std::uint32_t, std::size_t> m_openIndex;
    int m_depth = 0;
    bool m_discardOpen = false;
};

} // namespace glowline
