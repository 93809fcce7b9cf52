#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>

#include <map>

class QAction;
class QMenuBar;

namespace glowline {

// The menu bar's commands: every QAction, its menu, caption, object name and
// shortcuts, in one place. The window runs what they trigger.
class ActionManager final : public QObject
{
    Q_OBJECT

public:
    enum class Command
    {
        New,
        Load,
        Save,
        SaveAs,
        Send,
        ProgrammerSettings,
        ExportPicture,
        Exit,
        Undo,
        Redo,
        AddLine,
        CopyLine,
        DeleteLine,
        InsertAbove,
        InsertBelow,
        Fill,
        Pipette,
        // Commands on the selected lines
        Copy,
        Cut,
        Paste,
        PasteOver,
        Duplicate,
        DeleteLines,
        MoveUp,
        MoveDown,
        Reverse,
        SetDuration,
        ScaleDurations,
        // Moves of the current line that keep the anchor
        ExtendUp,
        ExtendDown,
        ExtendPageUp,
        ExtendPageDown,
        SelectAll,
        ShowMap,
        ScaleByDuration,
        InsertFade,
        Blend,
        Gradient,
        RotateLeft,
        RotateRight,
        Mirror,
        Chase,
        Rainbow,
        Sparkle,
        Test,
        About,
    };
    Q_ENUM(Command)

    // Builds the menus into bar; paletteNames names the palette's swatches.
    ActionManager(QMenuBar *bar, const QStringList &paletteNames, QObject *parent);
    Q_DISABLE_COPY_MOVE(ActionManager)

    QAction *action(Command command) const { return m_actions.at(command); }
    // The commands on the selected lines, in menu order (separators as null),
    // for the line numbers' context menu.
    const QList<QAction *> &rangeActions() const { return m_rangeActions; }
    void setHistoryAvailable(bool canUndo, bool canRedo);
    void setPlaying(bool playing);

signals:
    void triggered(ActionManager::Command command);
    void activeColourChosen(int swatch);
    void swatchEditChosen(int swatch);
    void paintLedChosen(int column);

private:
    std::map<Command, QAction *> m_actions;
    QList<QAction *> m_rangeActions;
};

} // namespace glowline
