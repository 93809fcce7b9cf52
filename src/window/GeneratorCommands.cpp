#include "window/GeneratorCommands.h"

#include "model/SequenceEditor.h"
#include "window/ChaseDialog.h"
#include "window/InsertFadeDialog.h"
#include "window/RainbowDialog.h"
#include "window/SparkleDialog.h"

namespace glowline {

namespace {

using Command = ActionManager::Command;

// Shows a generator's dialog; what it made once accepted, or nothing.
template <typename Dialog, typename... Args>
std::optional<GeneratedLines> ask(const SequenceEditor &editor, QWidget *parent, Args... args)
{
    Dialog dialog(editor.table(), editor.document().currentLine(), args..., parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.acceptedLines();
}

} // namespace

GeneratorCommands::GeneratorCommands(SequenceEditor &editor, QWidget *dialogParent,
                                     std::function<int()> activeColour, QObject *parent)
    : QObject(parent), m_editor(editor), m_dialogParent(dialogParent),
      m_activeColour(std::move(activeColour))
{}

bool GeneratorCommands::run(ActionManager::Command command, bool *changed)
{
    const Document &document = m_editor.document();
    const LineTable &table = m_editor.table();
    const LineSelection selection{document.anchorLine(), document.currentLine()};
    std::optional<GeneratedLines> made;
    switch (command) {
    case Command::InsertFade:
        made = ask<InsertFadeDialog>(m_editor, m_dialogParent);
        break;
    case Command::Chase:
        made = ask<ChaseDialog>(m_editor, m_dialogParent);
        break;
    case Command::Rainbow:
        made = ask<RainbowDialog>(m_editor, m_dialogParent);
        break;
    case Command::Sparkle:
        made = ask<SparkleDialog>(m_editor, m_dialogParent, m_activeColour());
        break;
    case Command::Blend:
        made = blendSelection(table, selection);
        break;
    case Command::Gradient:
        made = gradientAcrossLeds(table, selection);
        break;
    case Command::RotateLeft:
        made = rotateLeds(table, selection, RotateDirection::Left);
        break;
    case Command::RotateRight:
        made = rotateLeds(table, selection, RotateDirection::Right);
        break;
    case Command::Mirror:
        made = mirrorLeds(table, selection);
        break;
    default:
        return false;
    }
    *changed = made && apply(*made);
    return true;
}

bool GeneratorCommands::apply(const GeneratedLines &lines)
{
    SequenceEditor::Step step(m_editor);
    if (!m_editor.replaceLines(lines.first, lines.replaceCount, lines.cells))
        return false;
    m_editor.setSelection(lines.anchorAfter, lines.currentAfter);
    emit applied();
    return true;
}

} // namespace glowline
