#pragma once

#include <QDockWidget>

#include <functional>

namespace glowline {

class LineWindow;
class Playback;
class SequenceEditor;
class SequenceMap;

// The sequence map below the client area, in a panel that stays docked. It
// follows every edit, the current line, the selection and playback; a click
// on it goes to a line, Shift+click and a drag select lines.
class MapPanel final : public QDockWidget
{
    Q_OBJECT

public:
    // beforeMove runs before the map moves the current line (it takes in a
    // duration still being typed).
    MapPanel(SequenceEditor &editor, LineWindow &lineWindow, Playback &playback,
             const std::function<void()> &beforeMove, QWidget *parent);
    Q_DISABLE_COPY_MOVE(MapPanel)

    SequenceMap &map() { return *m_map; }

private:
    SequenceMap *m_map = nullptr;
};

} // namespace glowline
