#pragma once

#include "files/DocumentCommands.h"
#include "model/Document.h"
#include "model/EditHistory.h"
#include "model/LineCommands.h"
#include "playback/Playback.h"
#include "playback/ToolLocator.h"

#include <QKeySequence>
#include <QList>
#include <QMainWindow>

#include <array>
#include <memory>
#include <vector>

class QAction;
class QFrame;
class QMenu;
class QLabel;
class QPushButton;
class QScrollBar;

namespace glowline {

class ClickLabel;
class Dialogs;
class LedShape;
class OutlineShape;
class SendCommand;
class TextBox;
class ToolRunner;
class UpDown;

// The editor's one window. The client area keeps a fixed layout in which
// every control has its own object name (array elements carry their index,
// as in "shpLED(304)"): a row of file buttons along the top, the palette on
// the left, the line commands on the right, and in Frame1 the line window of
// seven rows around the current line with the current line's colour sliders
// and duration controls.
//
// Row r of the line window shows line current + r - 3; row 3 is the current
// line and the only one that is edited. The current line follows scrLine:
// the redraw copies the scroll bar's value into the document first.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int kRows = 7;
    static constexpr int kCurrentRow = 3;
    static constexpr int kPaletteSize = 16;

    explicit MainWindow(Dialogs &dialogs, QWidget *parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    Document &document() { return m_document; }
    const Document &document() const { return m_document; }
    Dialogs &dialogs() { return m_dialogs; }
    DocumentCommands &commands() { return m_commands; }
    Playback &playback() { return m_playback; }
    EditHistory &history() { return m_history; }

    // Send runs the tools through runner, found by locator. By default they run
    // in a window over this one and are found beside the program or on PATH.
    void setSendTools(ToolRunner &runner, ToolLocator locator);
    SendCommand &sendCommand() { return *m_send; }

    // Pick mode is the crosshair pointer over the window; there is no other
    // flag.
    bool isPickMode() const;

    // Paints the LED of row/column from its cell; for the current row also
    // puts the LED's three sliders where the cell says.
    void ShowCell(int row, int column);
    // Stores the colour (channels 0..255, top four bits kept) into the cell
    // of row/column and repaints that LED. Does not mark the document changed;
    // its callers do.
    void SetCellColor(int row, int column, int red, int green, int blue);
    // Rebuilds all seven rows around the line that scrLine selects.
    void redrawLineWindow();
    // Brings scrLine to the document's line count and current line and
    // redraws, for code that changed the whole table (New, Load, undo).
    void showDocument();

    QScrollBar *lineScrollBar() const { return m_lineScroll; }
    QPushButton *testButton() const { return m_cmdTest; }
    QFrame *upperShield() const { return m_shield1; }
    QFrame *lowerShield() const { return m_shield2; }

public slots:
    // The line commands of the buttons on the right.
    void addLine();
    void copyLine();
    void deleteLine();
    void insertLineAbove();
    void insertLineBelow();
    // Colour editing.
    void fillLine();
    void togglePickMode();
    void selectPaletteColour(int index);
    void editPaletteColour(int index);
    void clickLed(int column);
    // The duration typed into txtTime(3) takes effect when the box loses the
    // focus; this is what runs then.
    void commitDurationText();
    // The document commands of the buttons along the top, Exit, and playback.
    void newFile();
    void loadFile();
    void saveFile();
    void saveFileAs();
    void sendFile();
    void editProgrammerSettings();
    void toggleTest();
    void undo();
    void redo();
    void about();
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
    void buildLayout();
    void buildLineWindow(QWidget *frame);
    void buildTabOrder();
    void buildMenus();
    QAction *addCommand(QMenu *menu, const QString &text, const QString &name,
                        const QList<QKeySequence> &keys, void (MainWindow::*slot)());
    // A command run from the menu or a shortcut does not move the focus, so a
    // duration still being typed is committed first, as a click would.
    void commitPendingEntry();
    void showPlaybackState(bool running);

    // Every change the editor makes to the sequence goes through one of these
    // three: an LED cell, the current line's duration, or a line command.
    // They are where an edit history records what changed.
    void storeCell(int column, int line, Cell value);
    void storeDuration(int hundredths);
    void runLineCommand(LineCommand command);

    void markChanged();
    void redrawRow(int row, bool exists);
    void setRowVisible(int row, bool visible);
    void setPickMode(bool on);
    void onSliderChanged(int column);
    void onUpDownChanged(int value);

    Dialogs &m_dialogs;
    Document m_document;
    DocumentCommands m_commands{m_document, m_dialogs};
    EditHistory m_history;
    Playback m_playback{m_document};
    std::unique_ptr<SendCommand> m_send;
    QAction *m_testAction = nullptr;

    // Set while the window itself moves the sliders and the up-down to show
    // the sequence; their edit handling is skipped then, and the code that
    // moves them stores what that handling would have stored.
    bool m_settingControls = false;
    // A command from the menu or the keyboard took in the duration typed
    // into txtTime(3) while the box kept the focus.
    bool m_entryTakenIn = false;
    std::array<bool, kRows> m_rowVisible{};

    std::array<std::array<LedShape *, 11>, kRows> m_leds{};
    std::array<QLabel *, kRows> m_lineLabels{};
    std::array<TextBox *, kRows> m_timeBoxes{};
    std::array<Qt::CursorShape, kRows> m_timeBoxCursors{};
    std::array<ClickLabel *, 11> m_ledTargets{};
    std::array<QScrollBar *, 11> m_red{};
    std::array<QScrollBar *, 11> m_green{};
    std::array<QScrollBar *, 11> m_blue{};
    std::array<ClickLabel *, kPaletteSize> m_palette{};
    ClickLabel *m_activeColour = nullptr;
    UpDown *m_upDown = nullptr;
    QScrollBar *m_lineScroll = nullptr;
    QFrame *m_frame = nullptr;
    QFrame *m_shield1 = nullptr;
    QFrame *m_shield2 = nullptr;
    OutlineShape *m_outline = nullptr;
    QLabel *m_fileName = nullptr;
    QLabel *m_changedMarker = nullptr;
    QPushButton *m_cmdTest = nullptr;
    QPushButton *m_cmdExit = nullptr;

    struct TabStop
    {
        int index;
        QWidget *widget;
    };
    std::vector<TabStop> m_tabStops;
};

} // namespace glowline
