#pragma once

#include "model/DocumentState.h"
#include "model/LineSelection.h"
#include "model/LineTable.h"

#include <QObject>

#include <algorithm>

namespace glowline {

// The sequence being edited: the line table, the current line and the
// document state. The window shows it; the document commands replace it.
class Document final : public QObject
{
    Q_OBJECT

public:
    explicit Document(QObject *parent = nullptr) : QObject(parent) {}

    // Only the edit gate writes the table; New and Load replace it whole.
    const LineTable &table() const { return m_table; }
    int lineCount() const { return m_table.lineCount(); }

    int currentLine() const { return m_currentLine; }
    void setCurrentLine(int line)
    {
        m_currentLine = line;
        m_heldLast = 0;
    }

    // The selection is the run of lines from the anchor to the current line;
    // with the anchor on the current line it is that line alone. While a
    // selection plays it is held as it was at Start, and the current line
    // moves inside it; setting the current line or the anchor lets it go.
    int anchorLine() const { return m_anchorLine; }
    void setAnchorLine(int line)
    {
        m_anchorLine = line;
        m_heldLast = 0;
    }
    int selectionFirst() const
    {
        return m_heldLast > 0 ? m_heldFirst : std::min(m_anchorLine, m_currentLine);
    }
    int selectionLast() const
    {
        return m_heldLast > 0 ? m_heldLast : std::max(m_anchorLine, m_currentLine);
    }
    int selectionCount() const { return selectionLast() - selectionFirst() + 1; }
    LineSelection selection() const { return {selectionFirst(), selectionLast(), m_currentLine}; }

    DocumentState &state() { return m_state; }
    const DocumentState &state() const { return m_state; }

    // Puts a whole new sequence in place (New, Load) with line 1 current and
    // no unsaved changes, and tells the window to show it.
    void replace(LineTable table);

signals:
    void replaced();

private:
    friend class SequenceEditor;

    LineTable m_table;
    int m_currentLine = 1;
    int m_anchorLine = 1;
    // The held selection's first and last line; m_heldLast is 0 when none is held.
    int m_heldFirst = 1;
    int m_heldLast = 0;
    DocumentState m_state;
};

} // namespace glowline
