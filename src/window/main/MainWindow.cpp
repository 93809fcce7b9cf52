#include "window/main/MainWindow.h"

#include "dialogs/Dialogs.h"
#include "window/controls/ClientFont.h"
#include "window/controls/Layout.h"
#include "window/controls/LineWindow.h"
#include "window/controls/PalettePanel.h"
#include "window/main/FlashStatus.h"
#include "window/main/GeneratorCommands.h"
#include "window/main/SelectionController.h"
#include "window/map/ExportPictureCommand.h"
#include "window/map/MapPanel.h"
#include "window/map/SequenceMap.h"
#include "window/send/SendCommand.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>

#include <algorithm>

namespace glowline {

namespace {

using Command = ActionManager::Command;

constexpr int kClientWidth = 9030 / kTwipsPerPixel;
constexpr int kClientHeight = 5520 / kTwipsPerPixel;

// The command buttons of the client area. Pipette stands in the palette.
struct CommandButton
{
    const char *name;
    const char *caption;
    QRect rect; // on the client area
    int tab;
    Command command;
    bool inPalette = false;
};

const std::array<CommandButton, 13> kButtons{{
    {"cmdNewFile", "New", twips(0, 0, 735, 375), 84, Command::New},
    {"cmdLoadFile", "Load", twips(720, 0, 735, 375), 85, Command::Load},
    {"cmdSaveFile", "Save", twips(1440, 0, 735, 375), 86, Command::Save},
    {"cmdSaveFileAs", "Save As", twips(2160, 0, 735, 375), 94, Command::SaveAs},
    {"cmdSendFile", "Send", twips(2880, 0, 735, 375), 87, Command::Send},
    {"cmdAddLine", "Add", twips(8400, 480, 615, 375), 79, Command::AddLine},
    {"cmdInsLineAbove", "^ Ins ^", twips(8400, 840, 615, 375), 83, Command::InsertAbove},
    {"cmdInsLineBelow", "v Ins v", twips(8400, 1200, 615, 375), 89, Command::InsertBelow},
    {"cmdCopyLine", "Copy", twips(8400, 1560, 615, 375), 80, Command::CopyLine},
    {"cmdDelLine", "Del", twips(8400, 1920, 615, 375), 82, Command::DeleteLine},
    {"cmdFillLine", "Fill", twips(8400, 2280, 615, 375), 81, Command::Fill},
    {"cmdExit", "Exit", twips(8400, 5040, 615, 375), 90, Command::Exit},
    {"cmdPipette", "Pipette", twips(0, 3840, 735, 375), 78, Command::Pipette, true},
}};

} // namespace

MainWindow::MainWindow(Dialogs &dialogs, QWidget *parent) : QMainWindow(parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setAcceptDrops(true);
    buildClientArea();

    QStringList names;
    for (int i = 0; i < PalettePanel::kSize; ++i)
        names.append(PalettePanel::colourName(i));
    m_actions = new ActionManager(menuBar(), names, this);
    connect(m_actions, &ActionManager::triggered, this, &MainWindow::run);
    m_selection = new SelectionController(
        m_editor, *m_lineWindow, m_dialogs, statusBar(), *m_actions,
        {[this] { commitPendingEntry(); }, [this] { markChanged(); }}, this);
    connect(m_actions, &ActionManager::activeColourChosen, m_palette, &PalettePanel::selectColour);
    connect(m_actions, &ActionManager::swatchEditChosen, m_palette, &PalettePanel::editColour);
    connect(m_actions, &ActionManager::paintLedChosen, this, [this](int column) {
        commitPendingEntry();
        clickLed(column);
    });
    const auto updateHistory = [this] {
        m_actions->setHistoryAvailable(m_editor.canUndo(), m_editor.canRedo());
    };
    connect(&m_editor, &SequenceEditor::historyChanged, this, updateHistory);
    updateHistory();

    m_send = std::make_unique<SendCommand>(*this, m_document, m_dialogs, m_commands, m_playback);

    connect(m_lineWindow, &LineWindow::ledClicked, this, &MainWindow::clickLed);
    connect(m_lineWindow, &LineWindow::channelChanged, this, [this](int column, Rgb24 c) {
        m_selection->setSliderColour(column, c);
        markChanged();
    });
    connect(m_lineWindow, &LineWindow::durationEntered, this, [this](int hundredths, bool typed) {
        m_selection->setDuration(hundredths, typed);
        markChanged();
    });
    connect(m_lineWindow, &LineWindow::durationStepped, this, [this](int hundredths) {
        m_selection->setDuration(hundredths, true);
        m_lineWindow->showDurationText(hundredths);
        markChanged();
    });
    connect(m_lineWindow->testButton(), &QPushButton::clicked, this,
            [this] { run(Command::Test); });
    connect(m_lineWindow, &LineWindow::lineAboutToMove, this, &MainWindow::commitPendingEntry);

    connect(&m_document, &Document::replaced, m_lineWindow, &LineWindow::showDocument);
    // A selection of several lines plays on its own; the selection stays
    // while the current line moves inside it.
    m_playback.setSelectionPlays(true);
    connect(&m_playback, &Playback::runningChanged, this, &MainWindow::showPlaybackState);
    connect(&m_playback, &Playback::lineAdvanced, m_lineWindow, &LineWindow::showDocument);

    m_mapPanel = new MapPanel(
        m_editor, *m_lineWindow, m_playback, [this] { commitPendingEntry(); }, this);
    addDockWidget(Qt::BottomDockWidgetArea, m_mapPanel);
    connect(m_actions->action(Command::ShowMap), &QAction::toggled, m_mapPanel,
            &QWidget::setVisible);
    connect(m_actions->action(Command::ScaleByDuration), &QAction::toggled, &m_mapPanel->map(),
            &SequenceMap::setScaleByDuration);
    m_export = new ExportPictureCommand(m_dialogs, m_mapPanel->map(), nullptr, this);
    m_generators = new GeneratorCommands(
        m_editor, m_mapPanel->map(), this,
        [this] { return int(quantize(m_palette->activeColour())); }, this);

    // How much of the board's flash the sequence fills, after every change.
    m_flash = new FlashStatus(m_editor, this);
    statusBar()->addPermanentWidget(m_flash);
    connect(&m_document.state(), &DocumentState::changedMarkerChanged, m_changedMarker,
            &QLabel::setText);
    connect(&m_document.state(), &DocumentState::fileNameChanged, m_fileName, &QLabel::setText);
}

MainWindow::~MainWindow()
{
    m_playback.stop();
    // The controls go while the document they show still exists.
    delete takeCentralWidget();
}

void MainWindow::setSendTools(ToolRunner &runner, ToolLocator locator)
{
    m_send->setTools(runner, std::move(locator));
}

void MainWindow::buildClientArea()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    // Nothing moves when the window is resized, so it cannot be; a menu bar
    // added above the client area makes the window taller, not the area
    // smaller.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    TabStops tabStops;
    // Frame1 is created first so that nothing on the client area lies under
    // it; it overlaps no other control anyway.
    m_lineWindow = new LineWindow(m_editor, twips(765, 360, 7575, 5055), tabStops, client);
    m_palette = new PalettePanel(m_dialogs, tabStops, client);

    for (const CommandButton &b : kButtons) {
        QWidget *area = b.inPalette ? static_cast<QWidget *>(m_palette) : client;
        auto *button = place(new QPushButton(QString::fromLatin1(b.caption), area),
                             QString::fromLatin1(b.name), b.rect.translated(-area->pos()));
        tabStops.push_back({b.tab, button});
        connect(button, &QPushButton::clicked, this, [this, command = b.command] { run(command); });
        if (b.command == Command::Exit)
            m_cmdExit = button;
    }

    m_fileName =
        place(new QLabel(client), QStringLiteral("lblFilename"), twips(3720, 120, 4335, 255));
    tabStops.push_back({93, m_fileName});
    m_changedMarker =
        place(new QLabel(client), QStringLiteral("lblFileChanged"), twips(8160, 120, 135, 255));
    tabStops.push_back({95, m_changedMarker});
    fitClientFont(*client);

    // Labels and frames hold places in the sequence but never take the focus.
    std::ranges::sort(tabStops, {}, &TabStop::index);
    QWidget *first = nullptr;
    QWidget *previous = nullptr;
    for (const TabStop &stop : tabStops) {
        if (!(stop.widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous != nullptr)
            QWidget::setTabOrder(previous, stop.widget);
        else
            first = stop.widget;
        previous = stop.widget;
    }
    // The first control of the order holds the focus from the start, so that
    // it has it whenever and however the window becomes active; otherwise
    // the first key would pick a control, Exit among them.
    if (first != nullptr)
        first->setFocus(Qt::OtherFocusReason);
}

// ---- Commands ---------------------------------------------------------------

void MainWindow::run(ActionManager::Command command)
{
    commitPendingEntry();
    switch (command) {
    case Command::New:
        m_commands.newFile();
        break;
    case Command::Load:
        m_commands.load();
        break;
    case Command::Save:
        m_commands.save();
        break;
    case Command::SaveAs:
        m_commands.saveAs();
        break;
    case Command::Send:
        m_send->run();
        break;
    case Command::ProgrammerSettings:
        m_send->editSettings();
        m_flash->refresh();
        break;
    case Command::ExportPicture:
        m_export->run();
        break;
    case Command::ShowMap:
    case Command::ScaleByDuration:
        // Checkable: their toggled signal does the work.
        break;
    case Command::Exit:
        close();
        break;
    case Command::Undo:
    case Command::Redo:
        undoOrRedo(command == Command::Undo);
        break;
    case Command::Fill:
        fillLine();
        break;
    case Command::Pipette:
        setPickMode(!isPickMode());
        break;
    case Command::Test:
        m_playback.toggle();
        break;
    case Command::About:
        about();
        break;
    default:
        if (bool changed = false; m_generators->run(command, &changed)) {
            if (changed) {
                m_lineWindow->showDocument();
                markChanged();
            }
        } else {
            m_selection->run(command);
        }
        break;
    }
}

void MainWindow::commitPendingEntry()
{
    // Commands never run inside a step of their own, so an open step here is
    // a slider drag whose thumb is still held while the keyboard gives a
    // command. The drag ends here as a step of its own: recorded together
    // with a line command its cells would no longer point at the right
    // lines, and after New or Load they would point into a sequence that is
    // gone.
    if (m_editor.isRecording())
        m_editor.endStep();
    m_lineWindow->commitTypedDuration();
}

void MainWindow::undoOrRedo(bool undo)
{
    if (!(undo ? m_editor.undo() : m_editor.redo()))
        return;
    m_lineWindow->showDocument();
    markChanged();
}

// ---- Colour editing ---------------------------------------------------------

bool MainWindow::isPickMode() const
{
    return testAttribute(Qt::WA_SetCursor) && cursor().shape() == Qt::CrossCursor;
}

void MainWindow::setPickMode(bool on)
{
    if (on == isPickMode())
        return;
    // The text boxes have pointers of their own; they show the crosshair too
    // while picking, so that it covers the whole window.
    m_lineWindow->setPickCursor(on);
    if (on)
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
}

void MainWindow::clickLed(int column)
{
    SequenceEditor::Step step(m_editor);
    if (isPickMode()) {
        // One pick, then the pipette is put away. A pick counts as a change
        // although no cell changes.
        m_palette->setActiveColour(m_lineWindow->ledColour(column));
        setPickMode(false);
    } else {
        m_selection->setLedColour(column, m_palette->activeColour());
    }
    markChanged();
}

void MainWindow::fillLine()
{
    SequenceEditor::Step step(m_editor);
    const Rgb24 c = m_palette->activeColour();
    for (int column = 0; column < kLedCount; ++column)
        m_selection->setLedColour(column, c);
    markChanged();
}

// ---- Documents, playback and sending ----------------------------------------

bool MainWindow::openPath(const QString &path)
{
    return m_commands.loadFile(path);
}

void MainWindow::showPlaybackState(bool running)
{
    m_lineWindow->testButton()->setText(running ? QStringLiteral("Stop") : QStringLiteral("Test"));
    m_actions->setPlaying(running);
    m_lineWindow->setShieldsVisible(running);
}

void MainWindow::about()
{
    m_dialogs.message(Dialogs::Icon::Information, Dialogs::Buttons::Ok,
                      QStringLiteral("Glowline %1\n\nAn editor for colour LED sequences of "
                                     "11 RGB LEDs, stored as AVR assembler source.")
                          .arg(QCoreApplication::applicationVersion()));
}

bool MainWindow::queryClose()
{
    commitPendingEntry();
    return m_commands.closeRequest();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!queryClose()) {
        event->ignore();
        return;
    }
    m_playback.stop();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.first().isLocalFile())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return;
    event->acceptProposedAction();
    // The drag source waits for the drop to end; the question and the load
    // come after it.
    const QString path = urls.first().toLocalFile();
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            commitPendingEntry();
            if (m_commands.savePrompt())
                openPath(path);
        },
        Qt::QueuedConnection);
}

void MainWindow::keyPressEvent(QKeyEvent *event)
{
    // Enter presses the focused button, or Test when no button has the
    // focus; Esc presses Exit.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto *focused = qobject_cast<QPushButton *>(focusWidget()); focused != nullptr)
            focused->click();
        else
            m_lineWindow->testButton()->click();
        return;
    case Qt::Key_Escape:
        m_cmdExit->click();
        return;
    default:
        QMainWindow::keyPressEvent(event);
    }
}

} // namespace glowline
