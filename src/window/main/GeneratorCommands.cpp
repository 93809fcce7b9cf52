#include "window/main/GeneratorCommands.h"

#include "model/SequenceEditor.h"
#include "window/dialogs/ChaseDialog.h"
#include "window/dialogs/InsertFadeDialog.h"
#include "window/dialogs/RainbowDialog.h"
#include "window/dialogs/SparkleDialog.h"
#include "window/map/SequenceMap.h"

namespace glowline {

namespace {

using Command = ActionManager::Command;

} // namespace

GeneratorCommands::GeneratorCommands(SequenceEditor &editor, SequenceMap &map,
                                     QWidget *dialogParent, std::function<int()> activeColour,
                                     QObject *parent)
    : QObject(parent), m_editor(editor), m_map(map), m_dialogParent(dialogParent),
      m_activeColour(std::move(activeColour))
{}

// Shows a generator's dialog, previewing its lines in the map while it is
// open; what it made once accepted, or nothing.
template <typename Dialog, typename... Args>
std::optional<GeneratedLines> GeneratorCommands::ask(Args... args)
{
    Dialog dialog(m_editor.table(), m_editor.document().currentLine(), args..., m_dialogParent);
    connect(&dialog, &GeneratorDialog::previewChanged, this, [this](const GeneratedLines &lines) {
        m_map.setPreview(withGeneratedLines(m_editor.table(), lines));
    });
    connect(&dialog, &GeneratorDialog::previewCleared, this, [this] { m_map.setPreview({}); });
    const bool accepted = dialog.exec() == QDialog::Accepted;
    m_map.setPreview({});
    if (!accepted)
        return std::nullopt;
    return dialog.acceptedLines();
}

bool GeneratorCommands::run(ActionManager::Command command, bool *changed)
{
    const LineTable &table = m_editor.table();
    const LineSelection selection = m_editor.document().selection();
    std::optional<GeneratedLines> made;
    switch (command) {
    case Command::InsertFade:
        made = ask<InsertFadeDialog>();
        break;
    case Command::Chase:
        made = ask<ChaseDialog>();
        break;
    case Command::Rainbow:
        made = ask<RainbowDialog>();
        break;
    case Command::Sparkle:
        made = ask<SparkleDialog>(m_activeColour());
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
    m_editor.select(lines.selectionAfter);
    emit applied();
    return true;
}

} // namespace glowline
