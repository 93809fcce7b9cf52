#include "model/SequenceEditor.h"

#include <algorithm>
#include <cstdlib>

namespace glowline {

namespace {

std::uint32_t cellKey(int column, int line)
{
    return std::uint32_t(line) * kColumnCount + std::uint32_t(column);
}

std::span<const Cell> linesOf(const LineTable &table, int first, int count)
{
    return std::span(table.cells())
        .subspan(std::size_t(first - 1) * kColumnCount, std::size_t(count) * kColumnCount);
}

} // namespace

SequenceEditor::SequenceEditor(Document &document, QObject *parent)
    : QObject(parent), m_document(document)
{
    // A new or loaded sequence starts a history of its own.
    connect(&m_document, &Document::replaced, this, &SequenceEditor::clearHistory);
}

// ---- Steps ------------------------------------------------------------------

void SequenceEditor::beginStep()
{
    if (m_depth++ == 0) {
        m_open = HistoryStep();
        m_openIndex.clear();
        m_open.currentBefore = m_document.currentLine();
        m_open.anchorBefore = m_document.anchorLine();
        m_discardOpen = false;
    }
}

void SequenceEditor::endStep()
{
    Q_ASSERT(m_depth > 0);
    if (m_depth == 0 || --m_depth > 0)
        return;
    m_openIndex.clear();
    // A step that was open when the history was cleared belongs to the
    // sequence that was replaced.
    if (m_discardOpen) {
        m_open = HistoryStep();
        m_discardOpen = false;
        return;
    }
    std::erase_if(m_open.cells, [](const CellChange &c) { return c.before == c.after; });
    if (m_open.cells.empty() && m_open.lines.empty())
        return;
    m_open.currentAfter = m_document.currentLine();
    m_open.anchorAfter = m_document.anchorLine();
    m_open.cells.shrink_to_fit();
    m_open.lines.shrink_to_fit();
    m_undo.push_back(std::move(m_open));
    m_open = HistoryStep();
    if (m_undo.size() > kMaxSteps)
        m_undo.pop_front();
    m_redo.clear();
    emit historyChanged();
}

// ---- Cells ------------------------------------------------------------------

void SequenceEditor::record(int column, int line, Cell before, Cell after)
{
    if (!m_open.lines.empty()) {
        // After a range change, line numbers of earlier cell changes no longer
        // hold; the cell joins the range change instead.
        LinesChange &last = m_open.lines.back();
        const int offset = line - last.first;
        if (offset >= 0 && offset < last.insertedCount()) {
            last.cells[std::size_t(last.removedCount + offset) * kColumnCount +
                       std::size_t(column)] = after;
            return;
        }
        LinesChange change{line, 1, {}};
        const auto cells = linesOf(table(), line, 1);
        change.cells.reserve(2 * kColumnCount);
        change.cells.assign(cells.begin(), cells.end());
        change.cells[std::size_t(column)] = before;
        change.cells.insert(change.cells.end(), cells.begin(), cells.end());
        change.cells[kColumnCount + std::size_t(column)] = after;
        m_open.lines.push_back(std::move(change));
        return;
    }
    // A slider drag writes the same cell many times: keep its first old value
    // and its last new one. Most steps change a few cells, found by looking
    // through them; only a step that grows past that gets an index.
    constexpr std::size_t kIndexedFrom = 16;
    auto &cells = m_open.cells;
    if (cells.size() < kIndexedFrom) {
        for (CellChange &c : cells) {
            if (c.line == line && c.column == column) {
                c.after = after;
                return;
            }
        }
        cells.push_back({line, column, before, after});
        if (cells.size() == kIndexedFrom) {
            for (std::size_t i = 0; i < cells.size(); ++i)
                m_openIndex.emplace(cellKey(cells[i].column, cells[i].line), i);
        }
        return;
    }
    const auto [it, inserted] = m_openIndex.try_emplace(cellKey(column, line), cells.size());
    if (!inserted) {
        cells[it->second].after = after;
        return;
    }
    cells.push_back({line, column, before, after});
}

void SequenceEditor::setCell(int column, int line, Cell value)
{
    const Cell old = table().cell(column, line);
    if (old == value)
        return;
    if (!m_document.state().isRefreshing()) {
        Step step(*this);
        record(column, line, old, value);
        m_document.m_table.setCell(column, line, value);
    } else {
        m_document.m_table.setCell(column, line, value);
    }
    emit linesChanged(line, line);
}

void SequenceEditor::changeCells(int column, int first, int last,
                                 const std::function<Cell(Cell)> &change)
{
    Step step(*this);
    const bool recorded = !m_document.state().isRefreshing();
    int changedFirst = 0;
    int changedLast = 0;
    for (int line = first; line <= last; ++line) {
        const Cell old = table().cell(column, line);
        const Cell value = change(old);
        if (value == old)
            continue;
        if (recorded)
            record(column, line, old, value);
        m_document.m_table.setCell(column, line, value);
        if (changedFirst == 0)
            changedFirst = line;
        changedLast = line;
    }
    if (changedFirst != 0)
        emit linesChanged(changedFirst, changedLast);
}

// ---- Lines ------------------------------------------------------------------

bool SequenceEditor::replaceLines(int first, int removeCount, std::span<const Cell> cells)
{
    Q_ASSERT(cells.size() % kColumnCount == 0);
    const int count = table().lineCount();
    const int insertCount = int(cells.size() / kColumnCount);
    if (first < 1 || removeCount < 0 || first + removeCount - 1 > count ||
        (removeCount == 0 && first > count + 1))
        return false;
    const qint64 after = qint64(count) - removeCount + insertCount;
    if (after < 1 || after > kMaxLines)
        return false;
    if (removeCount == 0 && insertCount == 0)
        return true;
    if (removeCount == insertCount &&
        std::ranges::equal(linesOf(table(), first, removeCount), cells))
        return true;

    Step step(*this);
    LinesChange change{first, removeCount, {}};
    const auto removed = linesOf(table(), first, removeCount);
    change.cells.reserve(removed.size() + cells.size());
    change.cells.assign(removed.begin(), removed.end());
    change.cells.insert(change.cells.end(), cells.begin(), cells.end());
    applyLines(first, removeCount, cells);
    recordLines(std::move(change));
    if (removeCount == insertCount)
        emit linesChanged(first, first + insertCount - 1);
    else
        emit linesMoved(first);
    return true;
}

bool SequenceEditor::moveLines(int first, int count, int delta)
{
    const int lines = table().lineCount();
    if (count < 1 || first < 1 || first + count - 1 > lines || first + delta < 1 ||
        first + count - 1 + delta > lines)
        return false;
    if (delta == 0)
        return true;
    // The lines moved and the ones they pass are rewritten as one run.
    const int spanFirst = std::min(first, first + delta);
    const int spanCount = count + std::abs(delta);
    const auto old = linesOf(table(), spanFirst, spanCount);
    std::vector<Cell> moved(old.begin(), old.end());
    // Moving down, the run goes behind the lines it passes; moving up, they
    // go behind it.
    const int pivotLines = delta > 0 ? count : -delta;
    std::rotate(moved.begin(), moved.begin() + std::ptrdiff_t(pivotLines) * kColumnCount,
                moved.end());
    return replaceLines(spanFirst, spanCount, moved);
}

void SequenceEditor::recordLines(LinesChange change)
{
    if (m_depth == 0)
        return;
    m_openIndex.clear();
    m_open.lines.push_back(std::move(change));
}

void SequenceEditor::applyLines(int first, int removeCount, std::span<const Cell> cells)
{
    m_document.m_table.replaceLines(first, removeCount, cells);
    // A held selection does not outlive a change in the number of lines.
    if (std::size_t(removeCount) * kColumnCount != cells.size())
        m_document.m_heldLast = 0;
}

// ---- Current line and selection ---------------------------------------------

void SequenceEditor::setCurrentLine(int line)
{
    m_document.setCurrentLine(line);
    m_document.setAnchorLine(line);
}

void SequenceEditor::setSelection(int anchor, int current)
{
    m_document.setAnchorLine(anchor);
    m_document.setCurrentLine(current);
}

void SequenceEditor::select(const LineSelection &selection)
{
    const auto [first, last, current] = selection;
    if (current == first) {
        setSelection(last, current);
    } else if (current == last) {
        setSelection(first, current);
    } else {
        setSelection(first, current);
        m_document.m_heldFirst = first;
        m_document.m_heldLast = last;
    }
}

void SequenceEditor::moveCurrentInSelection(int line)
{
    const LineSelection selection = m_document.selection();
    if (selection.count() == 1 || line < selection.first || line > selection.last)
        setCurrentLine(line);
    else
        select({selection.first, selection.last, line});
}

// ---- History ----------------------------------------------------------------

void SequenceEditor::restore(const HistoryStep &step, bool forward)
{
    LineTable &table = m_document.m_table;
    int movedFirst = 0;
    int changedFirst = kMaxLines + 1;
    int changedLast = 0;
    const auto noteCells = [&](int line) {
        changedFirst = std::min(changedFirst, line);
        changedLast = std::max(changedLast, line);
    };
    const auto noteLines = [&](const LinesChange &change) {
        if (change.removedCount == change.insertedCount()) {
            noteCells(change.first);
            noteCells(change.first + change.removedCount - 1);
        } else {
            movedFirst = movedFirst == 0 ? change.first : std::min(movedFirst, change.first);
        }
    };
    if (forward) {
        for (const CellChange &c : step.cells) {
            table.setCell(c.column, c.line, c.after);
            noteCells(c.line);
        }
        for (const LinesChange &change : step.lines) {
            applyLines(change.first, change.removedCount, change.inserted());
            noteLines(change);
        }
        m_document.setCurrentLine(step.currentAfter);
        m_document.setAnchorLine(step.anchorAfter);
    } else {
        for (auto it = step.lines.rbegin(); it != step.lines.rend(); ++it) {
            applyLines(it->first, it->insertedCount(), it->removed());
            noteLines(*it);
        }
        for (auto it = step.cells.rbegin(); it != step.cells.rend(); ++it) {
            table.setCell(it->column, it->line, it->before);
            noteCells(it->line);
        }
        m_document.setCurrentLine(step.currentBefore);
        m_document.setAnchorLine(step.anchorBefore);
    }
    if (movedFirst != 0)
        emit linesMoved(std::min(movedFirst, changedFirst));
    else if (changedLast != 0)
        emit linesChanged(changedFirst, changedLast);
}

bool SequenceEditor::undo()
{
    if (m_undo.empty() || m_depth > 0)
        return false;
    HistoryStep step = std::move(m_undo.back());
    m_undo.pop_back();
    restore(step, false);
    m_redo.push_back(std::move(step));
    emit historyChanged();
    return true;
}

bool SequenceEditor::redo()
{
    if (m_redo.empty() || m_depth > 0)
        return false;
    HistoryStep step = std::move(m_redo.back());
    m_redo.pop_back();
    restore(step, true);
    m_undo.push_back(std::move(step));
    emit historyChanged();
    return true;
}

void SequenceEditor::clearHistory()
{
    if (m_depth > 0) {
        m_open = HistoryStep();
        m_openIndex.clear();
        m_discardOpen = true;
    }
    const bool had = canUndo() || canRedo();
    m_undo.clear();
    m_redo.clear();
    if (had)
        emit historyChanged();
}

std::size_t SequenceEditor::memoryOf(const HistoryStep &step)
{
    std::size_t bytes = sizeof(HistoryStep) + step.cells.capacity() * sizeof(CellChange) +
                        step.lines.capacity() * sizeof(LinesChange);
    for (const LinesChange &change : step.lines)
        bytes += change.cells.capacity() * sizeof(Cell);
    return bytes;
}

std::size_t SequenceEditor::memoryBytes() const
{
    std::size_t bytes = 0;
    for (const HistoryStep &step : m_undo)
        bytes += memoryOf(step);
    for (const HistoryStep &step : m_redo)
        bytes += memoryOf(step);
    return bytes;
}

} // namespace glowline
