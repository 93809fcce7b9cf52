#pragma once

#include "model/Colour.h"
#include "model/LineTable.h"
#include "window/controls/LineWindow.h"
#include "window/main/ActionManager.h"

#include <QObject>

#include <array>
#include <functional>

class QStatusBar;

namespace glowline {

class Dialogs;
class Document;
class SequenceEditor;
struct EditResult;

// The selected run of lines in the window: the keys and clicks that extend
// it, its look (highlighted line numbers, the status bar), the commands on
// it with the clipboard, the line buttons on its current line, and the edits
// of the current line that spread to every selected line.
class SelectionController final : public QObject
{
    Q_OBJECT

public:
    struct Hooks
    {
        // Takes in a duration typed but not yet committed.
        std::function<void()> commitPendingEntry;
        std::function<void()> markChanged;
    };

    SelectionController(SequenceEditor &editor, LineWindow &lineWindow, Dialogs &dialogs,
                        QStatusBar *statusBar, ActionManager &actions, Hooks hooks,
                        QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SelectionController)

    // Runs a selection, range or line command; false when command is none.
    bool run(ActionManager::Command command);
    // Moves the current line to line, keeping the anchor.
    void extendTo(int line);

    // Edits of the current line; with more than one line selected they are
    // made on every selected line, as one step.
    void setLedColour(int column, Rgb24 colour);
    // The sliders of column now stand for colour: the channels that differ
    // from the current line's cell are set in the selected lines.
    void setSliderColour(int column, Rgb24 colour);
    // A duration typed (typed) or stepped; an untyped entry stays on the
    // current line.
    void setDuration(int hundredths, bool typed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSelectionState();
    void copy();
    void paste(bool over);
    bool finish(const EditResult &result);
    void runLineCommand(EditResult (*command)(SequenceEditor &));
    void askDuration();
    void askScale();

    SequenceEditor &m_editor;
    const Document &m_document;
    LineWindow &m_lineWindow;
    Dialogs &m_dialogs;
    QStatusBar *m_statusBar;
    ActionManager &m_actions;
    Hooks m_hooks;
    // The rows' line-number labels, held here so that the filter never asks
    // the line window, which may be half destroyed when they are.
    std::array<const QObject *, LineWindow::kRows> m_lineLabels{};
};

} // namespace glowline
