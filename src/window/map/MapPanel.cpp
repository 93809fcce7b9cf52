#include "window/map/MapPanel.h"

#include "model/SequenceEditor.h"
#include "playback/Playback.h"
#include "window/controls/LineWindow.h"
#include "window/map/SequenceMap.h"

namespace glowline {

MapPanel::MapPanel(SequenceEditor &editor, LineWindow &lineWindow, Playback &playback,
                   const std::function<void()> &beforeMove, QWidget *parent)
    : QDockWidget(parent)
{
    setObjectName(QStringLiteral("dockSequenceMap"));
    setFeatures(QDockWidget::NoDockWidgetFeatures);
    // No title bar: the panel is part of the window, not a tool window.
    setTitleBarWidget(new QWidget(this));
    m_map = new SequenceMap(editor.document(), this);
    setWidget(m_map);

    connect(&editor, &SequenceEditor::linesChanged, m_map, &SequenceMap::linesChanged);
    connect(&editor, &SequenceEditor::linesMoved, m_map, &SequenceMap::sequenceChanged);
    connect(&editor.document(), &Document::replaced, m_map, &SequenceMap::documentReplaced);
    connect(&lineWindow, &LineWindow::redrawn, m_map, &SequenceMap::currentOrSelectionChanged);
    connect(&playback, &Playback::runningChanged, m_map, &SequenceMap::setPlayheadVisible);
    // A click goes to the line as a move of scrLine would, leaving it alone
    // selected.
    connect(m_map, &SequenceMap::lineClicked, this, [&editor, &lineWindow, beforeMove](int line) {
        beforeMove();
        editor.setCurrentLine(line);
        lineWindow.showDocument();
    });
    connect(m_map, &SequenceMap::rangeSelected, this,
            [&editor, &lineWindow, beforeMove](int anchor, int current) {
                beforeMove();
                editor.setSelection(anchor, current);
                lineWindow.showDocument();
            });
}

} // namespace glowline
