#pragma once

#include "files/DocumentCommands.h"
#include "model/Document.h"
#include "model/SequenceEditor.h"
#include "playback/Playback.h"
#include "send/ToolLocator.h"
#include "window/main/ActionManager.h"

#include <QMainWindow>

#include <memory>

class QLabel;
class QPushButton;

namespace glowline {

class Dialogs;
class ExportPictureCommand;
class FlashStatus;
class GeneratorCommands;
class LineWindow;
class MapPanel;
class PalettePanel;
class SelectionController;
class SendCommand;
class ToolRunner;

// The editor's one window. The client area keeps a fixed layout in which
// every control has its own object name (array elements carry their index,
// as in "shpLED(304)"): a row of file buttons along the top, the palette on
// the left, the line commands on the right, and the line window in Frame1.
// The window wires them together: what the user does goes to the edit gate
// or to the document commands, and what changed is shown.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(Dialogs &dialogs, QWidget *parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    const Document &document() const { return m_document; }
    Document &document() { return m_document; }
    Dialogs &dialogs() { return m_dialogs; }
    DocumentCommands &commands() { return m_commands; }
    Playback &playback() { return m_playback; }
    SequenceEditor &editor() { return m_editor; }
    LineWindow &lineWindow() { return *m_lineWindow; }
    ActionManager &actions() { return *m_actions; }
    SelectionController &selection() { return *m_selection; }

    // Send runs the tools through runner, found by locator. By default they run
    // in a window over this one and are found beside the program or on PATH.
    void setSendTools(ToolRunner &runner, ToolLocator locator);
    SendCommand &sendCommand() { return *m_send; }

    // Pick mode is the crosshair pointer over the window; there is no other
    // flag.
    bool isPickMode() const;

public slots:
    // Every command of the buttons, the menus and the keyboard.
    void run(ActionManager::Command command);
    void clickLed(int column);
    // The close request: asks to save unsaved changes; true when the window
    // may close. The close box, Exit and the end of the desktop session run it.
    bool queryClose();
    // Opens a file named from outside (the command line, a drop). Says why
    // when it cannot be read, and then keeps the sequence it had.
    bool openPath(const QString &path);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildClientArea();
    // A command from the menu or the keyboard does not move the focus, so a
    // duration still being typed is committed first, as a click would.
    void commitPendingEntry();
    void fillLine();
    void setPickMode(bool on);
    void about();
    void undoOrRedo(bool undo);
    void showPlaybackState(bool running);
    void markChanged() { m_document.state().markChanged(); }

    Dialogs &m_dialogs;
    Document m_document;
    SequenceEditor m_editor{m_document};
    DocumentCommands m_commands{m_document, m_dialogs};
    Playback m_playback{m_editor};
    std::unique_ptr<SendCommand> m_send;

    LineWindow *m_lineWindow = nullptr;
    PalettePanel *m_palette = nullptr;
    ActionManager *m_actions = nullptr;
    SelectionController *m_selection = nullptr;
    MapPanel *m_mapPanel = nullptr;
    GeneratorCommands *m_generators = nullptr;
    ExportPictureCommand *m_export = nullptr;
    FlashStatus *m_flash = nullptr;
    QLabel *m_fileName = nullptr;
    QLabel *m_changedMarker = nullptr;
    QPushButton *m_cmdExit = nullptr;
};

} // namespace glowline
