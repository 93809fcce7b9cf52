#include "window/MainWindow.h"

#include "files/Dialogs.h"
#include "model/Colour.h"
#include "window/ChannelSliderStyle.h"
#include "window/ClickLabel.h"
#include "window/DurationText.h"
#include "window/LedShape.h"
#include "window/OutlineShape.h"
#include "window/SendCommand.h"
#include "window/TextBox.h"
#include "window/UpDown.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>

#include <algorithm>
#include <utility>

namespace glowline {

namespace {

// The layout was drawn in twips; 15 twips are one logical pixel.
constexpr int kTwipsPerPixel = 15;

constexpr QRect twips(int left, int top, int width, int height)
{
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}

constexpr int kClientWidth = 9030 / kTwipsPerPixel;
constexpr int kClientHeight = 5520 / kTwipsPerPixel;

// Top of each row of the line window; the current row stands apart, with
// the colour sliders in the gap below it.
constexpr std::array<int, MainWindow::kRows> kRowTop{360, 840, 1320, 1920, 3480, 3960, 4440};
constexpr std::array<int, MainWindow::kRows> kLineLabelTab{42, 40, 38, 36, 48, 46, 44};
constexpr std::array<int, MainWindow::kRows> kTimeBoxTab{41, 39, 37, 34, 47, 45, 43};

constexpr std::array<Rgb24, MainWindow::kPaletteSize> kPalette{
    rgb24(0, 0, 0),   rgb24(255, 255, 255), rgb24(128, 128, 128), rgb24(192, 192, 192),
    rgb24(128, 0, 0), rgb24(255, 0, 0),     rgb24(128, 128, 0),   rgb24(255, 255, 0),
    rgb24(0, 128, 0), rgb24(0, 255, 0),     rgb24(0, 128, 128),   rgb24(0, 255, 255),
    rgb24(0, 0, 128), rgb24(0, 0, 255),     rgb24(128, 0, 128),   rgb24(255, 0, 255),
};

constexpr int kSliderMaximum = 15;

QString indexedName(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

template <typename Widget> Widget *place(Widget *widget, const QString &name, const QRect &rect)
{
    widget->setObjectName(name);
    widget->setGeometry(rect);
    return widget;
}

// Moves a scroll bar without its change handling; returns whether it moved.
bool moveSlider(QScrollBar *slider, int value)
{
    if (slider->value() == value)
        return false;
    slider->setValue(value);
    return true;
}

void setLabelText(QLabel *label, const QString &text)
{
    if (label->text() != text)
        label->setText(text);
}

void setBoxText(TextBox *box, const QString &text)
{
    if (box->text() != text)
        box->setText(text);
}

// One user action is one undo step: what it writes between construction and
// destruction is recorded together.
class HistoryStep final
{
public:
    HistoryStep(EditHistory &history, const Document &document)
        : m_history(history), m_document(document)
    {
        m_history.beginStep(m_document.currentLine());
    }
    ~HistoryStep() { m_history.endStep(m_document.currentLine()); }
    Q_DISABLE_COPY_MOVE(HistoryStep)

private:
    EditHistory &m_history;
    const Document &m_document;
};

QString colourName(int index)
{
    static constexpr std::array<const char *, MainWindow::kPaletteSize> names{
        "Black",      "White", "Grey", "Light Grey", "Dark Red", "Red",  "Olive",  "Yellow",
        "Dark Green", "Green", "Teal", "Cyan",       "Navy",     "Blue", "Purple", "Magenta"};
    return QString::fromLatin1(names[std::size_t(index)]);
}

} // namespace

MainWindow::MainWindow(Dialogs &dialogs, QWidget *parent) : QMainWindow(parent), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setAcceptDrops(true);
    buildLayout();
    buildMenus();

    m_send = std::make_unique<SendCommand>(
        *this, m_document, m_dialogs, [this] { m_commands.save(); }, m_playback);

    // A new or loaded sequence starts a history of its own.
    connect(&m_document, &Document::replaced, &m_history, &EditHistory::clear);
    connect(&m_document, &Document::replaced, this, &MainWindow::showDocument);
    // A new sequence that arrives while playing starts at its own line 1,
    // shown for that line's own duration.
    connect(&m_document, &Document::replaced, this, [this] {
        if (m_playback.isRunning() && !m_playback.isPaused()) {
            m_playback.pause();
            m_playback.resume();
        }
    });
    connect(&m_playback, &Playback::runningChanged, this, &MainWindow::showPlaybackState);
    connect(&m_playback, &Playback::lineAdvanced, m_lineScroll, &QScrollBar::setValue);
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

void MainWindow::buildLayout()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);
    // Nothing moves when the window is resized, so it cannot be; a menu bar
    // added above the client area makes the window taller, not the area
    // smaller.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    const auto button = [&](const char *name, const char *caption, QRect rect, int tab) {
        auto *b = place(new QPushButton(QString::fromLatin1(caption), client),
                        QString::fromLatin1(name), rect);
        m_tabStops.push_back({tab, b});
        return b;
    };

    // Frame1 is created first so that nothing on the client area lies under
    // it; it overlaps no other control anyway.
    m_frame = place(new QFrame(client), QStringLiteral("Frame1"), twips(765, 360, 7575, 5055));
    m_frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    m_tabStops.push_back({0, m_frame});

    connect(button("cmdNewFile", "New", twips(0, 0, 735, 375), 84), &QPushButton::clicked, this,
            &MainWindow::newFile);
    connect(button("cmdLoadFile", "Load", twips(720, 0, 735, 375), 85), &QPushButton::clicked, this,
            &MainWindow::loadFile);
    connect(button("cmdSaveFile", "Save", twips(1440, 0, 735, 375), 86), &QPushButton::clicked,
            this, &MainWindow::saveFile);
    connect(button("cmdSaveFileAs", "Save As", twips(2160, 0, 735, 375), 94), &QPushButton::clicked,
            this, &MainWindow::saveFileAs);
    connect(button("cmdSendFile", "Send", twips(2880, 0, 735, 375), 87), &QPushButton::clicked,
            this, &MainWindow::sendFile);

    m_fileName =
        place(new QLabel(client), QStringLiteral("lblFilename"), twips(3720, 120, 4335, 255));
    m_tabStops.push_back({93, m_fileName});
    m_changedMarker =
        place(new QLabel(client), QStringLiteral("lblFileChanged"), twips(8160, 120, 135, 255));
    m_tabStops.push_back({95, m_changedMarker});

    connect(button("cmdAddLine", "Add", twips(8400, 480, 615, 375), 79), &QPushButton::clicked,
            this, &MainWindow::addLine);
    connect(button("cmdInsLineAbove", "^ Ins ^", twips(8400, 840, 615, 375), 83),
            &QPushButton::clicked, this, &MainWindow::insertLineAbove);
    connect(button("cmdInsLineBelow", "v Ins v", twips(8400, 1200, 615, 375), 89),
            &QPushButton::clicked, this, &MainWindow::insertLineBelow);
    connect(button("cmdCopyLine", "Copy", twips(8400, 1560, 615, 375), 80), &QPushButton::clicked,
            this, &MainWindow::copyLine);
    connect(button("cmdDelLine", "Del", twips(8400, 1920, 615, 375), 82), &QPushButton::clicked,
            this, &MainWindow::deleteLine);
    connect(button("cmdFillLine", "Fill", twips(8400, 2280, 615, 375), 81), &QPushButton::clicked,
            this, &MainWindow::fillLine);
    m_cmdExit = button("cmdExit", "Exit", twips(8400, 5040, 615, 375), 90);
    connect(m_cmdExit, &QPushButton::clicked, this, &QWidget::close);

    for (int i = 0; i < kPaletteSize; ++i) {
        auto *swatch = place(new ClickLabel(client), indexedName("lblColor", i),
                             twips(i % 2 == 0 ? 0 : 360, 480 + 360 * (i / 2), 375, 375));
        swatch->setBackColour(kPalette[std::size_t(i)]);
        m_palette[std::size_t(i)] = swatch;
        m_tabStops.push_back({50 + i, swatch});
        connect(swatch, &ClickLabel::clicked, this, [this, i] { selectPaletteColour(i); });
        connect(swatch, &ClickLabel::doubleClicked, this, [this, i] { editPaletteColour(i); });
    }
    m_activeColour =
        place(new ClickLabel(client), QStringLiteral("lblActiveColor"), twips(0, 3480, 735, 375));
    m_activeColour->setBackColour(rgb24(0, 0, 0));
    m_tabStops.push_back({66, m_activeColour});
    connect(button("cmdPipette", "Pipette", twips(0, 3840, 735, 375), 78), &QPushButton::clicked,
            this, &MainWindow::togglePickMode);

    buildLineWindow(m_frame);
    buildTabOrder();
}

void MainWindow::buildLineWindow(QWidget *frame)
{
    // Stacking inside the frame follows creation order: the outline lies
    // lowest, each LED's click target lies under its LED shape (which lets
    // clicks through), and the two shields lie above everything.
    m_outline =
        place(new OutlineShape(frame), QStringLiteral("Shape1"), twips(720, 1800, 6375, 1575));

    for (int c = 0; c < kLedCount; ++c) {
        auto *target = place(new ClickLabel(frame), indexedName("lblLED", c),
                             twips(840 + 480 * c, 1920, 375, 375));
        m_ledTargets[std::size_t(c)] = target;
        m_tabStops.push_back({67 + c, target});
        connect(target, &ClickLabel::clicked, this, [this, c] { clickLed(c); });
    }

    for (int r = 0; r < kRows; ++r) {
        const int top = kRowTop[std::size_t(r)];
        const bool current = r == kCurrentRow;
        for (int c = 0; c < kLedCount; ++c) {
            auto *led = place(new LedShape(frame), indexedName("shpLED", r * 100 + c),
                              twips(840 + 480 * c, top, 375, 375));
            led->setVisible(current);
            m_leds[std::size_t(r)][std::size_t(c)] = led;
        }

        auto *label =
            place(new QLabel(current ? QStringLiteral("1") : QStringLiteral("1234"), frame),
                  indexedName("lblLine", r), twips(120, r == 4 ? 3480 : top + 60, 495, 255));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setVisible(current);
        m_lineLabels[std::size_t(r)] = label;
        m_tabStops.push_back({kLineLabelTab[std::size_t(r)], label});

        auto *box =
            place(new TextBox(frame), indexedName("txtTime", r), twips(6120, top + 60, 615, 285));
        box->setText(formatDuration(0));
        box->setReadOnly(!current);
        box->setVisible(current);
        m_timeBoxes[std::size_t(r)] = box;
        m_tabStops.push_back({kTimeBoxTab[std::size_t(r)], box});
        m_rowVisible[std::size_t(r)] = current;
    }
    connect(m_timeBoxes[kCurrentRow], &TextBox::focusLost, this, [this] {
        const bool takenIn = std::exchange(m_entryTakenIn, false);
        if (!takenIn || m_timeBoxes[kCurrentRow]->isModified())
            commitDurationText();
    });

    auto *sliderStyle = new ChannelSliderStyle;
    sliderStyle->setParent(this);
    const auto slider = [&](const char *name, int c, int left, int tab) {
        auto *s = place(new QScrollBar(Qt::Vertical, frame), indexedName(name, c),
                        twips(left + 480 * c, 2400, 135, 855));
        s->setRange(0, kSliderMaximum);
        s->setSingleStep(1);
        s->setPageStep(1);
        s->setValue(kSliderMaximum);
        s->setFocusPolicy(Qt::StrongFocus);
        s->setStyle(sliderStyle);
        m_tabStops.push_back({tab, s});
        // Tracking is on, so this runs for code-set values and for every
        // position while the thumb is dragged.
        connect(s, &QScrollBar::valueChanged, this, [this, c] { onSliderChanged(c); });
        // A drag, from press to release, is one undo step.
        connect(s, &QScrollBar::sliderPressed, this,
                [this] { m_history.beginStep(m_document.currentLine()); });
        connect(s, &QScrollBar::sliderReleased, this, [this] {
            // A command given while the thumb was held has ended the step
            // already.
            if (m_history.isRecording())
                m_history.endStep(m_document.currentLine());
        });
        return s;
    };
    for (int c = 0; c < kLedCount; ++c) {
        m_red[std::size_t(c)] = slider("scrR", c, 840, 1 + 3 * c);
        m_green[std::size_t(c)] = slider("scrG", c, 960, 2 + 3 * c);
        m_blue[std::size_t(c)] = slider("scrB", c, 1080, 3 + 3 * c);
    }

    m_upDown = place(new UpDown(frame), QStringLiteral("udTime"), twips(6720, 1980, 240, 255));
    m_upDown->setRange(0, kMaxDuration);
    m_upDown->setSingleStep(5);
    m_tabStops.push_back({35, m_upDown});
    connect(m_upDown, &UpDown::valueChanged, this, &MainWindow::onUpDownChanged);

    m_cmdTest = place(new QPushButton(QStringLiteral("Test"), frame), QStringLiteral("cmdTest"),
                      twips(6120, 2880, 855, 375));
    m_tabStops.push_back({88, m_cmdTest});
    connect(m_cmdTest, &QPushButton::clicked, this, &MainWindow::toggleTest);

    m_lineScroll = place(new QScrollBar(Qt::Vertical, frame), QStringLiteral("scrLine"),
                         twips(7200, 120, 255, 4815));
    m_lineScroll->setRange(1, 1);
    m_lineScroll->setValue(1);
    m_lineScroll->setSingleStep(1);
    m_lineScroll->setPageStep(6);
    m_lineScroll->setFocusPolicy(Qt::StrongFocus);
    m_tabStops.push_back({49, m_lineScroll});
    connect(m_lineScroll, &QScrollBar::valueChanged, this, &MainWindow::redrawLineWindow);

    const auto shield = [&](const char *name, QRect rect, int tab) {
        auto *f = place(new QFrame(frame), QString::fromLatin1(name), rect);
        f->setFrameStyle(QFrame::Box | QFrame::Sunken);
        f->setAutoFillBackground(true);
        f->hide();
        f->raise();
        m_tabStops.push_back({tab, f});
        return f;
    };
    m_shield1 = shield("frmShield1", twips(120, 240, 6975, 1455), 92);
    m_shield2 = shield("frmShield2", twips(120, 3480, 6975, 1455), 91);
}

void MainWindow::buildTabOrder()
{
    // Labels and frames hold places in the sequence but never take the focus.
    std::ranges::sort(m_tabStops, {}, &TabStop::index);
    QWidget *previous = nullptr;
    for (const TabStop &stop : m_tabStops) {
        if (!(stop.widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (previous != nullptr)
            QWidget::setTabOrder(previous, stop.widget);
        previous = stop.widget;
    }
    m_tabStops.clear();
}

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
    for (int r = 0; r < kRows; ++r) {
        TextBox *box = m_timeBoxes[std::size_t(r)];
        if (on) {
            m_timeBoxCursors[std::size_t(r)] = box->cursor().shape();
            box->setCursor(Qt::CrossCursor);
        } else {
            box->setCursor(m_timeBoxCursors[std::size_t(r)]);
        }
    }
    if (on)
        setCursor(Qt::CrossCursor);
    else
        unsetCursor();
}

void MainWindow::markChanged()
{
    m_document.state().markChanged();
}

// ---- The line window --------------------------------------------------------

void MainWindow::ShowCell(int row, int column)
{
    const int line = m_document.currentLine() + (row - kCurrentRow);
    const int packed = m_document.table().cell(column, line);
    m_leds[std::size_t(row)][std::size_t(column)]->setFillColour(expand(packed));
    if (row != kCurrentRow)
        return;

    bool moved = false;
    {
        QScopedValueRollback settingControls(m_settingControls, true);
        moved |= moveSlider(m_red[std::size_t(column)], kSliderMaximum - redNibble(packed));
        moved |= moveSlider(m_green[std::size_t(column)], kSliderMaximum - greenNibble(packed));
        moved |= moveSlider(m_blue[std::size_t(column)], kSliderMaximum - blueNibble(packed));
    }
    // A moved slider stores the three sliders' colour in the cell, which is
    // the cell's colour without any bits above the 12 colour bits.
    if (moved)
        storeCell(column, line, Cell(packed & 0xFFF));
}

void MainWindow::SetCellColor(int row, int column, int red, int green, int blue)
{
    const int line = m_document.currentLine() + (row - kCurrentRow);
    storeCell(column, line, Cell(packChannels(red, green, blue)));
    ShowCell(row, column);
}

void MainWindow::redrawLineWindow()
{
    // Writes made while the window shows the sequence are no edits.
    RefreshingScope refreshing(m_document.state());
    const int current = m_lineScroll->value();
    m_document.setCurrentLine(current);
    const int count = m_document.lineCount();

    for (int r = 0; r < kCurrentRow; ++r)
        redrawRow(r, kCurrentRow - r < current);

    setLabelText(m_lineLabels[kCurrentRow], QString::number(current));
    for (int c = 0; c < kLedCount; ++c)
        ShowCell(kCurrentRow, c);
    const int duration = m_document.table().duration(current);
    TextBox *box = m_timeBoxes[kCurrentRow];
    setBoxText(box, formatDuration(duration));
    bool moved = false;
    {
        QScopedValueRollback settingControls(m_settingControls, true);
        moved = m_upDown->setValue(duration);
    }
    // What the up-down's handling stores and shows when it moves; it differs
    // from the cell only for a duration outside the up-down's range.
    if (moved) {
        storeDuration(m_upDown->value());
        setBoxText(box, formatDuration(m_upDown->value()));
    }

    for (int r = kCurrentRow + 1; r < kRows; ++r)
        redrawRow(r, r - (kCurrentRow + 1) < count - current);
}

void MainWindow::redrawRow(int row, bool exists)
{
    setRowVisible(row, exists);
    // A hidden row keeps its old contents out of sight.
    if (!exists)
        return;
    const int line = m_document.currentLine() + (row - kCurrentRow);
    setLabelText(m_lineLabels[std::size_t(row)], QString::number(line));
    for (int c = 0; c < kLedCount; ++c)
        ShowCell(row, c);
    setBoxText(m_timeBoxes[std::size_t(row)], formatDuration(m_document.table().duration(line)));
}

void MainWindow::setRowVisible(int row, bool visible)
{
    bool &shown = m_rowVisible[std::size_t(row)];
    if (shown == visible)
        return;
    shown = visible;
    m_lineLabels[std::size_t(row)]->setVisible(visible);
    for (LedShape *led : m_leds[std::size_t(row)])
        led->setVisible(visible);
    m_timeBoxes[std::size_t(row)]->setVisible(visible);
}

void MainWindow::showDocument()
{
    // Lowering the maximum may already redraw, which takes the current line
    // from the scroll bar; so the line to show is read first.
    const int current = m_document.currentLine();
    m_lineScroll->setMaximum(m_document.lineCount());
    m_lineScroll->setValue(current);
    redrawLineWindow();
}

// ---- Edits ------------------------------------------------------------------

void MainWindow::storeCell(int column, int line, Cell value)
{
    LineTable &table = m_document.table();
    const Cell old = table.cell(column, line);
    if (old == value)
        return;
    if (!m_document.state().isRefreshing())
        m_history.recordCell(column, line, old, value);
    table.setCell(column, line, value);
}

void MainWindow::storeDuration(int hundredths)
{
    LineTable &table = m_document.table();
    const int line = m_document.currentLine();
    const Cell old = table.duration(line);
    if (old == hundredths)
        return;
    if (!m_document.state().isRefreshing())
        m_history.recordCell(kDurationColumn, line, old, Cell(hundredths));
    table.setCell(kDurationColumn, line, Cell(hundredths));
}

void MainWindow::runLineCommand(LineCommand command)
{
    HistoryStep step(m_history, m_document);
    int current = m_document.currentLine();
    const std::optional<LineChange> change = applyLineCommand(command, m_document.table(), current);
    // A refused command (a full sequence, or Del on its only line) changes
    // nothing at all, not even the changed marker.
    if (!change)
        return;
    m_history.recordLineChange(*change);
    m_document.setCurrentLine(current);
    // Lowering the maximum below the value moves the value with it, which
    // already redraws; so does every new value.
    m_lineScroll->setMaximum(m_document.lineCount());
    m_lineScroll->setValue(change->currentAfter);
    // Here the current line keeps its number while the lines around it moved.
    if (command == LineCommand::Delete || command == LineCommand::InsertAbove)
        redrawLineWindow();
    markChanged();
}

void MainWindow::addLine()
{
    runLineCommand(LineCommand::Add);
}

void MainWindow::copyLine()
{
    runLineCommand(LineCommand::Copy);
}

void MainWindow::deleteLine()
{
    runLineCommand(LineCommand::Delete);
}

void MainWindow::insertLineAbove()
{
    runLineCommand(LineCommand::InsertAbove);
}

void MainWindow::insertLineBelow()
{
    runLineCommand(LineCommand::InsertBelow);
}

// ---- Colour editing ---------------------------------------------------------

void MainWindow::selectPaletteColour(int index)
{
    m_activeColour->setBackColour(m_palette[std::size_t(index)]->backColour());
}

void MainWindow::editPaletteColour(int index)
{
    ClickLabel *swatch = m_palette[std::size_t(index)];
    const std::optional<Rgb24> chosen = m_dialogs.colour(swatch->backColour());
    if (!chosen)
        return;
    // A swatch only holds colours an LED can show: four bits per channel.
    const Rgb24 c = *chosen;
    swatch->setBackColour(rgb24(redOf(c) & 0xF0, greenOf(c) & 0xF0, blueOf(c) & 0xF0));
}

void MainWindow::togglePickMode()
{
    setPickMode(!isPickMode());
}

void MainWindow::clickLed(int column)
{
    HistoryStep step(m_history, m_document);
    if (isPickMode()) {
        // One pick, then the pipette is put away. A pick counts as a change
        // although no cell changes.
        m_activeColour->setBackColour(m_leds[kCurrentRow][std::size_t(column)]->fillColour());
        setPickMode(false);
    } else {
        const Rgb24 c = m_activeColour->backColour();
        SetCellColor(kCurrentRow, column, redOf(c), greenOf(c), blueOf(c));
    }
    markChanged();
}

void MainWindow::fillLine()
{
    HistoryStep step(m_history, m_document);
    for (int c = 0; c < kLedCount; ++c) {
        const Rgb24 colour = m_activeColour->backColour();
        SetCellColor(kCurrentRow, c, redOf(colour), greenOf(colour), blueOf(colour));
    }
    markChanged();
}

void MainWindow::onSliderChanged(int column)
{
    if (m_settingControls)
        return;
    HistoryStep step(m_history, m_document);
    const auto c = std::size_t(column);
    const int red = (kSliderMaximum - m_red[c]->value()) * 16;
    const int green = (kSliderMaximum - m_green[c]->value()) * 16;
    const int blue = (kSliderMaximum - m_blue[c]->value()) * 16;
    SetCellColor(kCurrentRow, column, red, green, blue);
    markChanged();
}

// ---- Duration editing -------------------------------------------------------

void MainWindow::commitDurationText()
{
    HistoryStep step(m_history, m_document);
    TextBox *box = m_timeBoxes[kCurrentRow];
    const int hundredths = durationFromText(box->text());
    // The box shows what is stored, so it never holds a duration the line
    // does not have, nor typing still to be committed.
    setBoxText(box, formatDuration(hundredths));
    box->setModified(false);
    storeDuration(hundredths);
    // Runs the up-down's own handling when its value changes.
    m_upDown->setValue(hundredths);
    markChanged();
}

void MainWindow::onUpDownChanged(int value)
{
    if (m_settingControls)
        return;
    HistoryStep step(m_history, m_document);
    storeDuration(value);
    setBoxText(m_timeBoxes[kCurrentRow], formatDuration(value));
    markChanged();
}

// ---- Documents, playback and sending ----------------------------------------

void MainWindow::commitPendingEntry()
{
    // Commands never run inside a step of their own, so an open step here is
    // a slider drag whose thumb is still held while the keyboard gives a
    // command. The drag ends here as a step of its own: recorded together
    // with a line command its cells would no longer point at the right
    // lines, and after New or Load they would point into a sequence that is
    // gone.
    if (m_history.isRecording())
        m_history.endStep(m_document.currentLine());
    TextBox *box = m_timeBoxes[kCurrentRow];
    if (focusWidget() == box && box->isModified()) {
        commitDurationText();
        // The focus stays in the box; when it leaves, the text has already
        // been taken in, as a click on a button would have done.
        m_entryTakenIn = true;
    }
}

void MainWindow::newFile()
{
    commitPendingEntry();
    m_commands.newFile();
}

void MainWindow::loadFile()
{
    commitPendingEntry();
    m_commands.load();
}

void MainWindow::saveFile()
{
    commitPendingEntry();
    m_commands.save();
}

void MainWindow::saveFileAs()
{
    commitPendingEntry();
    m_commands.saveAs();
}

void MainWindow::sendFile()
{
    commitPendingEntry();
    m_send->run();
}

void MainWindow::editProgrammerSettings()
{
    m_send->editSettings();
}

bool MainWindow::openPath(const QString &path)
{
    return m_commands.loadFile(path);
}

void MainWindow::toggleTest()
{
    commitPendingEntry();
    m_playback.toggle();
}

void MainWindow::showPlaybackState(bool running)
{
    const QString caption = running ? QStringLiteral("Stop") : QStringLiteral("Test");
    m_cmdTest->setText(caption);
    if (m_testAction != nullptr)
        m_testAction->setText(running ? QStringLiteral("&Stop") : QStringLiteral("&Test"));
    m_shield1->setVisible(running);
    m_shield2->setVisible(running);
}

void MainWindow::undo()
{
    commitPendingEntry();
    if (!m_history.canUndo())
        return;
    m_history.undo(m_document);
    showDocument();
    markChanged();
}

void MainWindow::redo()
{
    commitPendingEntry();
    if (!m_history.canRedo())
        return;
    m_history.redo(m_document);
    showDocument();
    markChanged();
}

void MainWindow::about()
{
    m_dialogs.message(Dialogs::Icon::Information, Dialogs::Buttons::Ok,
                      QStringLiteral("Glowline %1\n\nAn editor for colour LED sequences of "
                                     "11 RGB LEDs, stored as AVR assembler source.")
                          .arg(QCoreApplication::applicationVersion().isEmpty()
                                   ? QStringLiteral(GLOWLINE_VERSION)
                                   : QCoreApplication::applicationVersion()));
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

// ---- Menus ------------------------------------------------------------------

QAction *MainWindow::addCommand(QMenu *menu, const QString &text, const QString &name,
                                const QList<QKeySequence> &keys, void (MainWindow::*slot)())
{
    QAction *action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcuts(keys);
    connect(action, &QAction::triggered, this, [this, slot] {
        commitPendingEntry();
        (this->*slot)();
    });
    return action;
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = menuBar();
    using K = QKeySequence;

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    addCommand(file, QStringLiteral("&New"), QStringLiteral("actNew"), {K(K::New)},
               &MainWindow::newFile);
    addCommand(file, QStringLiteral("&Load..."), QStringLiteral("actLoad"), {K(K::Open)},
               &MainWindow::loadFile);
    addCommand(file, QStringLiteral("&Save"), QStringLiteral("actSave"), {K(K::Save)},
               &MainWindow::saveFile);
    addCommand(file, QStringLiteral("Save &As..."), QStringLiteral("actSaveAs"),
               {K(Qt::CTRL | Qt::SHIFT | Qt::Key_S)}, &MainWindow::saveFileAs);
    file->addSeparator();
    addCommand(file, QStringLiteral("Sen&d"), QStringLiteral("actSend"), {K(Qt::CTRL | Qt::Key_U)},
               &MainWindow::sendFile);
    addCommand(file, QStringLiteral("P&rogrammer Settings..."),
               QStringLiteral("actProgrammerSettings"), {}, &MainWindow::editProgrammerSettings);
    file->addSeparator();
    QAction *exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("actExit"));
    exit->setShortcut(K(Qt::CTRL | Qt::Key_Q));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    QAction *undoAction = addCommand(edit, QStringLiteral("&Undo"), QStringLiteral("actUndo"),
                                     {K(Qt::CTRL | Qt::Key_Z)}, &MainWindow::undo);
    QAction *redoAction = addCommand(edit, QStringLiteral("&Redo"), QStringLiteral("actRedo"),
                                     {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), K(Qt::CTRL | Qt::Key_Y)},
                                     &MainWindow::redo);
    const auto updateUndo = [this, undoAction, redoAction] {
        undoAction->setEnabled(m_history.canUndo());
        redoAction->setEnabled(m_history.canRedo());
    };
    connect(&m_history, &EditHistory::availabilityChanged, this, updateUndo);
    updateUndo();
    edit->addSeparator();
    addCommand(edit, QStringLiteral("&Add Line"), QStringLiteral("actAddLine"),
               {K(Qt::CTRL | Qt::SHIFT | Qt::Key_A)}, &MainWindow::addLine);
    addCommand(edit, QStringLiteral("&Copy Line"), QStringLiteral("actCopyLine"),
               {K(Qt::CTRL | Qt::Key_D)}, &MainWindow::copyLine);
    addCommand(edit, QStringLiteral("&Delete Line"), QStringLiteral("actDeleteLine"),
               {K(Qt::CTRL | Qt::Key_Delete)}, &MainWindow::deleteLine);
    addCommand(edit, QStringLiteral("Insert A&bove"), QStringLiteral("actInsertAbove"),
               {K(Qt::CTRL | Qt::SHIFT | Qt::Key_I)}, &MainWindow::insertLineAbove);
    addCommand(edit, QStringLiteral("&Insert Below"), QStringLiteral("actInsertBelow"),
               {K(Qt::CTRL | Qt::Key_I)}, &MainWindow::insertLineBelow);
    edit->addSeparator();
    addCommand(edit, QStringLiteral("&Fill"), QStringLiteral("actFill"), {K(Qt::CTRL | Qt::Key_F)},
               &MainWindow::fillLine);
    addCommand(edit, QStringLiteral("&Pipette"), QStringLiteral("actPipette"),
               {K(Qt::CTRL | Qt::Key_P)}, &MainWindow::togglePickMode);

    // The palette and the LED targets are labels that take no focus; these
    // reach them from the keyboard.
    QMenu *colour = bar->addMenu(QStringLiteral("&Colour"));
    QMenu *choose = colour->addMenu(QStringLiteral("&Active Colour"));
    QMenu *change = colour->addMenu(QStringLiteral("&Edit Swatch"));
    for (int i = 0; i < kPaletteSize; ++i) {
        QAction *pick = choose->addAction(colourName(i));
        pick->setObjectName(QStringLiteral("actColour(%1)").arg(i));
        connect(pick, &QAction::triggered, this, [this, i] { selectPaletteColour(i); });
        QAction *editSwatch =
            change->addAction(QStringLiteral("Swatch %1 (%2)...").arg(i).arg(colourName(i)));
        editSwatch->setObjectName(QStringLiteral("actEditColour(%1)").arg(i));
        connect(editSwatch, &QAction::triggered, this, [this, i] { editPaletteColour(i); });
    }
    QMenu *paint = colour->addMenu(QStringLiteral("&Paint LED"));
    for (int c = 0; c < kLedCount; ++c) {
        QAction *led = paint->addAction(QStringLiteral("LED %1").arg(c));
        led->setObjectName(QStringLiteral("actLed(%1)").arg(c));
        connect(led, &QAction::triggered, this, [this, c] {
            commitPendingEntry();
            clickLed(c);
        });
    }

    QMenu *play = bar->addMenu(QStringLiteral("&Play"));
    m_testAction = addCommand(play, QStringLiteral("&Test"), QStringLiteral("actTest"),
                              {K(Qt::Key_F5)}, &MainWindow::toggleTest);

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    addCommand(help, QStringLiteral("&About Glowline"), QStringLiteral("actAbout"), {},
               &MainWindow::about);
}

// ---- Keyboard ---------------------------------------------------------------

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
            m_cmdTest->click();
        return;
    case Qt::Key_Escape:
        m_cmdExit->click();
        return;
    default:
        QMainWindow::keyPressEvent(event);
    }
}

} // namespace glowline
