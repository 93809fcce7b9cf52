#include "window/main/FlashStatus.h"

#include "model/SequenceEditor.h"
#include "send/FlashBudget.h"
#include "window/send/SendCommand.h"

namespace glowline {

FlashStatus::FlashStatus(SequenceEditor &editor, QWidget *parent) : QLabel(parent), m_editor(editor)
{
    setObjectName(QStringLiteral("lblFlash"));
    connect(&editor, &SequenceEditor::linesChanged, this, &FlashStatus::refresh);
    connect(&editor, &SequenceEditor::linesMoved, this, &FlashStatus::refresh);
    connect(&editor.document(), &Document::replaced, this, &FlashStatus::refresh);
    refresh();
}

void FlashStatus::refresh()
{
    const FlashBudget budget =
        FlashBudget::of(m_editor.table(), SendCommand::storedSettings().words);
    setText(budget.statusText());
    setStyleSheet(budget.isOver() ? QStringLiteral("color: #c00000; font-weight: bold")
                                  : QString());
}

} // namespace glowline
