#pragma once

#include "model/Generators.h"
#include "window/main/ActionManager.h"

#include <QObject>

#include <functional>

class QWidget;

namespace glowline {

class SequenceEditor;
class SequenceMap;

// The Generate menu's commands: asks for their options where they have any,
// and hands what the generator made to the edit gate as one undo step.
class GeneratorCommands final : public QObject
{
    Q_OBJECT

public:
    // activeColour gives the palette's active colour, as a packed colour.
    // The dialogs preview their lines in map.
    GeneratorCommands(SequenceEditor &editor, SequenceMap &map, QWidget *dialogParent,
                      std::function<int()> activeColour, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(GeneratorCommands)

    // Runs command; false when it is no generator. true when lines changed.
    bool run(ActionManager::Command command, bool *changed);

signals:
    // Lines changed; the window shows the new current line.
    void applied();

private:
    bool apply(const GeneratedLines &lines);

    template <typename Dialog, typename... Args> std::optional<GeneratedLines> ask(Args... args);

    SequenceEditor &m_editor;
    SequenceMap &m_map;
    QWidget *m_dialogParent;
    std::function<int()> m_activeColour;
};

} // namespace glowline
