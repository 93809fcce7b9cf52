#include "model/EditHistory.h"

#include "model/Document.h"

namespace glowline {

void EditHistory::beginStep(int currentLine)
{
    if (m_depth++ == 0) {
        m_open = Step();
        m_open.currentBefore = currentLine;
        m_discardOpen = false;
    }
}

void EditHistory::recordCell(int column, int line, Cell before, Cell after)
{
    if (m_depth == 0 || before == after)
        return;
    // A slider drag writes the same cell many times: keep its first old value
    // and its last new one.
    for (CellChange &change : m_open.cells) {
        if (change.line == line && change.column == column) {
            change.after = after;
            return;
        }
    }
    m_open.cells.push_back({line, column, before, after});
}

void EditHistory::recordLineChange(const LineChange &change)
{
    if (m_depth == 0)
        return;
    // Line commands run on their own; cell changes recorded before one in the
    // same step would no longer point at the right lines.
    Q_ASSERT(m_open.cells.empty() && !m_open.lineChange);
    m_open.lineChange = change;
}

void EditHistory::endStep(int currentLine)
{
    Q_ASSERT(m_depth > 0);
    if (m_depth == 0 || --m_depth > 0)
        return;
    // A step that was open when the history was cleared belongs to the
    // sequence that was replaced.
    if (m_discardOpen) {
        m_open = Step();
        m_discardOpen = false;
        return;
    }
    std::erase_if(m_open.cells, [](const CellChange &c) { return c.before == c.after; });
    if (m_open.cells.empty() && !m_open.lineChange)
        return;
    m_open.currentAfter = currentLine;
    m_open.cells.shrink_to_fit();
    m_undo.push_back(std::move(m_open));
    m_open = Step();
    if (m_undo.size() > kMaxSteps)
        m_undo.pop_front();
    m_redo.clear();
    emit availabilityChanged();
}

void EditHistory::undo(Document &document)
{
    if (m_undo.empty() || m_depth > 0)
        return;
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    LineTable &table = document.table();
    int current = step.currentBefore;
    for (auto it = step.cells.rbegin(); it != step.cells.rend(); ++it)
        table.setCell(it->column, it->line, it->before);
    if (step.lineChange)
        undoLineChange(*step.lineChange, table, current);
    document.setCurrentLine(step.currentBefore);
    m_redo.push_back(std::move(step));
    emit availabilityChanged();
}

void EditHistory::redo(Document &document)
{
    if (m_redo.empty() || m_depth > 0)
        return;
    Step step = std::move(m_redo.back());
    m_redo.pop_back();
    LineTable &table = document.table();
    int current = step.currentAfter;
    if (step.lineChange)
        redoLineChange(*step.lineChange, table, current);
    for (const CellChange &change : step.cells)
        table.setCell(change.column, change.line, change.after);
    document.setCurrentLine(step.currentAfter);
    m_undo.push_back(std::move(step));
    emit availabilityChanged();
}

void EditHistory::clear()
{
    if (m_depth > 0) {
        m_open = Step();
        m_discardOpen = true;
    }
    const bool had = canUndo() || canRedo();
    m_undo.clear();
    m_redo.clear();
    if (had)
        emit availabilityChanged();
}

std::size_t EditHistory::memoryOf(const Step &step)
{
    return sizeof(Step) + step.cells.capacity() * sizeof(CellChange);
}

std::size_t EditHistory::memoryBytes() const
{
    std::size_t bytes = 0;
    for (const Step &step : m_undo)
        bytes += memoryOf(step);
    for (const Step &step : m_redo)
        bytes += memoryOf(step);
    return bytes;
}

} // namespace glowline
