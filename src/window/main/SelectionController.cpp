#include "window/main/SelectionController.h"

#include "dialogs/Dialogs.h"
#include "files/TsvTable.h"
#include "model/LineCommands.h"
#include "model/RangeCommands.h"
#include "model/SequenceEditor.h"
#include "window/controls/DurationText.h"
#include "window/controls/LineWindow.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QStatusBar>

#include <algorithm>

namespace glowline {

namespace {

using Command = ActionManager::Command;

// Rows a page key moves the current line, as scrLine's page step.
constexpr int kPageLines = 6;

} // namespace

SelectionController::SelectionController(SequenceEditor &editor, LineWindow &lineWindow,
                                         Dialogs &dialogs, QStatusBar *statusBar,
                                         ActionManager &actions, Hooks hooks, QObject *parent)
    : QObject(parent), m_editor(editor), m_document(editor.document()), m_lineWindow(lineWindow),
      m_dialogs(dialogs), m_statusBar(statusBar), m_actions(actions), m_hooks(std::move(hooks))
{
    for (int r = 0; r < LineWindow::kRows; ++r) {
        QLabel *label = m_lineWindow.lineLabel(r);
        m_lineLabels[r] = label;
        label->installEventFilter(this);
        label->setContextMenuPolicy(Qt::DefaultContextMenu);
    }
    connect(&m_lineWindow, &LineWindow::redrawn, this, &SelectionController::showSelectionState);
}

// ---- Selection --------------------------------------------------------------

void SelectionController::extendTo(int line)
{
    m_hooks.commitPendingEntry();
    line = std::clamp(line, 1, m_document.lineCount());
    m_editor.setSelection(m_document.anchorLine(), line);
    m_lineWindow.showDocument();
}

void SelectionController::showSelectionState()
{
    m_lineWindow.showSelection();
    const int count = m_document.selectionCount();
    if (count > 1)
        m_statusBar->showMessage(QStringLiteral("Lines %1\u2013%2 selected (%3)")
                                     .arg(m_document.selectionFirst())
                                     .arg(m_document.selectionLast())
                                     .arg(count));
    else
        m_statusBar->clearMessage();
}

bool SelectionController::eventFilter(QObject *watched, QEvent *event)
{
    const auto found = std::find(m_lineLabels.begin(), m_lineLabels.end(), watched);
    if (found == m_lineLabels.end())
        return false;
    const int row = int(found - m_lineLabels.begin());
    if (event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ShiftModifier)) {
            extendTo(m_lineWindow.lineOfRow(row));
            return true;
        }
    } else if (event->type() == QEvent::ContextMenu) {
        m_hooks.commitPendingEntry();
        QMenu menu;
        for (QAction *action : m_actions.rangeActions()) {
            if (action == nullptr)
                menu.addSeparator();
            else
                menu.addAction(action);
        }
        menu.exec(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    return false;
}

// ---- Commands ---------------------------------------------------------------

bool SelectionController::run(ActionManager::Command command)
{
    const int current = m_document.currentLine();
    switch (command) {
    case Command::ExtendUp:
        extendTo(current - 1);
        return true;
    case Command::ExtendDown:
        extendTo(current + 1);
        return true;
    case Command::ExtendPageUp:
        extendTo(current - kPageLines);
        return true;
    case Command::ExtendPageDown:
        extendTo(current + kPageLines);
        return true;
    case Command::SelectAll:
        m_hooks.commitPendingEntry();
        m_editor.setSelection(1, m_document.lineCount());
        m_lineWindow.showDocument();
        return true;
    case Command::Copy:
        copy();
        return true;
    case Command::Cut:
        copy();
        finish({deleteSelection(m_editor)});
        return true;
    case Command::Paste:
    case Command::PasteOver:
        paste(command == Command::PasteOver);
        return true;
    case Command::Duplicate:
        finish(duplicateSelection(m_editor));
        return true;
    case Command::DeleteLines:
        finish({deleteSelection(m_editor)});
        return true;
    case Command::MoveUp:
    case Command::MoveDown:
        finish({moveSelection(m_editor, command == Command::MoveUp ? -1 : 1)});
        return true;
    case Command::Reverse:
        finish({reverseSelection(m_editor)});
        return true;
    case Command::SetDuration:
        askDuration();
        return true;
    case Command::ScaleDurations:
        askScale();
        return true;
    case Command::AddLine:
        runLineCommand(addLine);
        return true;
    case Command::CopyLine:
        runLineCommand(copyLine);
        return true;
    case Command::DeleteLine:
        runLineCommand(deleteLine);
        return true;
    case Command::InsertAbove:
        runLineCommand(insertLineAbove);
        return true;
    case Command::InsertBelow:
        runLineCommand(insertLineBelow);
        return true;
    default:
        return false;
    }
}

bool SelectionController::finish(const EditResult &result)
{
    if (result.isRefused()) {
        m_dialogs.message(Dialogs::Icon::Warning, Dialogs::Buttons::Ok, result.message());
        return false;
    }
    if (!result.changed)
        return false;
    m_lineWindow.showDocument();
    m_hooks.markChanged();
    return true;
}

void SelectionController::runLineCommand(EditResult (*command)(SequenceEditor &))
{
    // Unlike the range commands, a line button that cannot act (on a full
    // sequence, or Del on the only line) gives no message: it does nothing,
    // and the changed marker stays as it was.
    finish({command(m_editor).changed});
}

void SelectionController::copy()
{
    const QByteArray text =
        linesToTsv(m_editor.table(), m_document.selectionFirst(), m_document.selectionLast());
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text));
}

void SelectionController::paste(bool over)
{
    const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
    const TsvLines lines = linesFromTsv(text);
    if (!lines.ok()) {
        m_dialogs.message(Dialogs::Icon::Warning, Dialogs::Buttons::Ok,
                          QStringLiteral("The clipboard does not hold lines that can be "
                                         "pasted:\n%1")
                              .arg(lines.error.message()));
        return;
    }
    if (lines.lineCount() == 0)
        return;
    finish(over ? pasteLinesOver(m_editor, lines.cells) : pasteLines(m_editor, lines.cells));
}

void SelectionController::askDuration()
{
    const std::optional<QString> answer =
        m_dialogs.text(QStringLiteral("Duration in seconds for the %1 selected lines (0 to 40.95):")
                           .arg(m_document.selectionCount()),
                       formatDuration(m_editor.table().duration(m_document.currentLine())));
    if (!answer)
        return;
    finish({setSelectionDuration(m_editor, durationFromText(*answer))});
}

void SelectionController::askScale()
{
    const std::optional<QString> answer =
        m_dialogs.text(QStringLiteral("Scale the durations of the %1 selected lines by a "
                                      "percentage (%2 to %3):")
                           .arg(m_document.selectionCount())
                           .arg(kMinScalePercent)
                           .arg(kMaxScalePercent),
                       QStringLiteral("100"));
    if (!answer)
        return;
    QString text = answer->trimmed();
    if (text.endsWith(QLatin1Char('%')))
        text.chop(1);
    bool ok = false;
    const int percent = text.trimmed().toInt(&ok);
    if (!ok || percent < kMinScalePercent || percent > kMaxScalePercent) {
        m_dialogs.message(Dialogs::Icon::Warning, Dialogs::Buttons::Ok,
                          QStringLiteral("\"%1\" is not a percentage from %2 to %3. Nothing was "
                                         "changed.")
                              .arg(*answer)
                              .arg(kMinScalePercent)
                              .arg(kMaxScalePercent));
        return;
    }
    finish({scaleSelectionDurations(m_editor, percent)});
}

// ---- Edits of the current line ----------------------------------------------

void SelectionController::setLedColour(int column, Rgb24 colour)
{
    SequenceEditor::Step step(m_editor);
    if (m_document.selectionCount() == 1) {
        m_lineWindow.SetCellColor(LineWindow::kCurrentRow, column, redOf(colour), greenOf(colour),
                                  blueOf(colour));
        return;
    }
    const Cell value = Cell(packChannels(redOf(colour), greenOf(colour), blueOf(colour)));
    m_editor.changeCells(column, m_document.selectionFirst(), m_document.selectionLast(),
                         [value](Cell) { return value; });
}

void SelectionController::setSliderColour(int column, Rgb24 colour)
{
    SequenceEditor::Step step(m_editor);
    if (m_document.selectionCount() == 1) {
        m_lineWindow.SetCellColor(LineWindow::kCurrentRow, column, redOf(colour), greenOf(colour),
                                  blueOf(colour));
        return;
    }
    const int value = packChannels(redOf(colour), greenOf(colour), blueOf(colour));
    const int old = m_editor.table().cell(column, m_document.currentLine());
    int mask = 0;
    for (const int nibble : {0xF00, 0x0F0, 0x00F}) {
        if ((value & nibble) != (old & nibble))
            mask |= nibble;
    }
    m_editor.changeCells(column, m_document.selectionFirst(), m_document.selectionLast(),
                         [value, mask](Cell c) { return Cell((c & ~mask) | (value & mask)); });
}

void SelectionController::setDuration(int hundredths, bool typed)
{
    if (!typed || m_document.selectionCount() == 1) {
        m_editor.setDuration(m_document.currentLine(), hundredths);
        return;
    }
    const Cell value = Cell(hundredths);
    m_editor.changeCells(kDurationColumn, m_document.selectionFirst(), m_document.selectionLast(),
                         [value](Cell) { return value; });
}

} // namespace glowline
