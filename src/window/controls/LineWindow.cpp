#include "window/controls/LineWindow.h"

#include "model/SequenceEditor.h"
#include "window/controls/ChannelSliderStyle.h"
#include "window/controls/ClickLabel.h"
#include "window/controls/DurationText.h"
#include "window/controls/FocusFrameStyle.h"
#include "window/controls/LedShape.h"
#include "window/controls/OutlineShape.h"
#include "window/controls/TextBox.h"
#include "window/controls/UpDown.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace glowline {

namespace {

// Top of each row; the current row stands apart, with the colour sliders in
// the gap below it.
constexpr std::array<int, LineWindow::kRows> kRowTop{360, 840, 1320, 1920, 3480, 3960, 4440};
constexpr std::array<int, LineWindow::kRows> kLineLabelTab{42, 40, 38, 36, 48, 46, 44};
constexpr std::array<int, LineWindow::kRows> kTimeBoxTab{41, 39, 37, 34, 47, 45, 43};

constexpr int kSliderMaximum = 15;

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

} // namespace

LineWindow::LineWindow(SequenceEditor &editor, const QRect &geometry, TabStops &tabStops,
                       QWidget *parent)
    : QFrame(parent), m_editor(editor), m_document(editor.document())
{
    place(this, QStringLiteral("Frame1"), geometry);
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    tabStops.push_back({0, this});
    build(tabStops);
    connect(&m_editor, &SequenceEditor::linesChanged, this, &LineWindow::showLines);
}

void LineWindow::build(TabStops &tabStops)
{
    // Stacking inside the frame follows creation order: the outline lies
    // lowest, each LED's click target lies under its LED shape (which lets
    // clicks through), and the two shields lie above everything.
    m_outline =
        place(new OutlineShape(this), QStringLiteral("Shape1"), twips(720, 1800, 6375, 1575));

    for (int c = 0; c < kLedCount; ++c) {
        auto *target = place(new ClickLabel(this), indexedName("lblLED", c),
                             twips(840 + 480 * c, 1920, 375, 375));
        m_ledTargets[std::size_t(c)] = target;
        tabStops.push_back({67 + c, target});
        connect(target, &ClickLabel::clicked, this, [this, c] { emit ledClicked(c); });
    }

    for (int r = 0; r < kRows; ++r) {
        const int top = kRowTop[std::size_t(r)];
        const bool current = r == kCurrentRow;
        for (int c = 0; c < kLedCount; ++c) {
            auto *led = place(new LedShape(this), indexedName("shpLED", r * 100 + c),
                              twips(840 + 480 * c, top, 375, 375));
            led->setVisible(current);
            m_leds[std::size_t(r)][std::size_t(c)] = led;
        }

        auto *label =
            place(new QLabel(current ? QStringLiteral("1") : QStringLiteral("1234"), this),
                  indexedName("lblLine", r), twips(120, r == 4 ? 3480 : top + 60, 495, 255));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setVisible(current);
        m_lineLabels[std::size_t(r)] = label;
        tabStops.push_back({kLineLabelTab[std::size_t(r)], label});

        auto *box =
            place(new TextBox(this), indexedName("txtTime", r), twips(6120, top + 60, 615, 285));
        box->setText(formatDuration(0));
        box->setReadOnly(!current);
        box->setVisible(current);
        m_timeBoxes[std::size_t(r)] = box;
        tabStops.push_back({kTimeBoxTab[std::size_t(r)], box});
        m_rowVisible[std::size_t(r)] = current;
    }
    // Every loss of focus takes the text in and marks the document changed,
    // also after a command has taken the typed text in already (the box then
    // shows what is stored, so the same duration is stored again).
    connect(m_timeBoxes[kCurrentRow], &TextBox::focusLost, this, &LineWindow::commitDurationText);

    auto *sliderStyle = new ChannelSliderStyle;
    sliderStyle->setParent(this);
    const auto slider = [&](const char *name, int c, int left, int tab) {
        auto *s = place(new QScrollBar(Qt::Vertical, this), indexedName(name, c),
                        twips(left + 480 * c, 2400, 135, 855));
        s->setRange(0, kSliderMaximum);
        s->setSingleStep(1);
        s->setPageStep(1);
        s->setValue(kSliderMaximum);
        s->setFocusPolicy(Qt::StrongFocus);
        s->setStyle(sliderStyle);
        tabStops.push_back({tab, s});
        // Tracking is on, so this runs for code-set values and for every
        // position while the thumb is dragged.
        connect(s, &QScrollBar::valueChanged, this, [this, c] { onSliderChanged(c); });
        // A drag, from press to release, is one undo step.
        connect(s, &QScrollBar::sliderPressed, &m_editor, &SequenceEditor::beginStep);
        connect(s, &QScrollBar::sliderReleased, this, [this] {
            // A command given while the thumb was held has ended the step
            // already.
            if (m_editor.isRecording())
                m_editor.endStep();
        });
        return s;
    };
    for (int c = 0; c < kLedCount; ++c) {
        m_red[std::size_t(c)] = slider("scrR", c, 840, 1 + 3 * c);
        m_green[std::size_t(c)] = slider("scrG", c, 960, 2 + 3 * c);
        m_blue[std::size_t(c)] = slider("scrB", c, 1080, 3 + 3 * c);
    }

    m_upDown = place(new UpDown(this), QStringLiteral("udTime"), twips(6720, 1980, 240, 255));
    m_upDown->setRange(0, kMaxDuration);
    m_upDown->setSingleStep(5);
    tabStops.push_back({35, m_upDown});
    connect(m_upDown, &UpDown::valueChanged, this, &LineWindow::onUpDownChanged);

    m_cmdTest = place(new QPushButton(QStringLiteral("Test"), this), QStringLiteral("cmdTest"),
                      twips(6120, 2880, 855, 375));
    tabStops.push_back({88, m_cmdTest});

    m_lineScroll = place(new QScrollBar(Qt::Vertical, this), QStringLiteral("scrLine"),
                         twips(7200, 120, 255, 4815));
    m_lineScroll->setRange(1, 1);
    m_lineScroll->setValue(1);
    m_lineScroll->setSingleStep(1);
    m_lineScroll->setPageStep(6);
    m_lineScroll->setFocusPolicy(Qt::StrongFocus);
    auto *lineStyle = new FocusFrameStyle;
    lineStyle->setParent(this);
    m_lineScroll->setStyle(lineStyle);
    tabStops.push_back({49, m_lineScroll});
    connect(m_lineScroll, &QScrollBar::valueChanged, this, &LineWindow::redrawLineWindow);
    // The wheel moves the line without taking the focus from txtTime(3).
    m_lineScroll->installEventFilter(this);

    const auto shield = [&](const char *name, QRect rect, int tab) {
        auto *f = place(new QFrame(this), QString::fromLatin1(name), rect);
        f->setFrameStyle(QFrame::Box | QFrame::Sunken);
        f->setAutoFillBackground(true);
        f->hide();
        f->raise();
        tabStops.push_back({tab, f});
        return f;
    };
    m_shield1 = shield("frmShield1", twips(120, 240, 6975, 1455), 92);
    m_shield2 = shield("frmShield2", twips(120, 3480, 6975, 1455), 91);
}

int LineWindow::lineOfRow(int row) const
{
    return m_document.currentLine() + (row - kCurrentRow);
}

// ---- Showing the sequence ---------------------------------------------------

void LineWindow::ShowCell(int row, int column)
{
    const int line = lineOfRow(row);
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
        m_editor.setCell(column, line, Cell(packed & 0xFFF));
}

void LineWindow::SetCellColor(int row, int column, int red, int green, int blue)
{
    m_editor.setCell(column, lineOfRow(row), Cell(packChannels(red, green, blue)));
    ShowCell(row, column);
}

void LineWindow::redrawLineWindow()
{
    // Writes made while the window shows the sequence are no edits.
    RefreshingScope refreshing(m_editor.documentState());
    QScopedValueRollback redrawing(m_redrawing, true);
    const int current = m_lineScroll->value();
    // A move of scrLine collapses the selection to the new current line; a
    // redraw of the same line keeps it.
    if (current != m_document.currentLine())
        m_editor.setCurrentLine(current);
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
        m_editor.setDuration(current, m_upDown->value());
        setBoxText(box, formatDuration(m_upDown->value()));
    }

    for (int r = kCurrentRow + 1; r < kRows; ++r)
        redrawRow(r, r - (kCurrentRow + 1) < count - current);
    showSelection();
    emit redrawn();
}

void LineWindow::showSelection()
{
    const bool many = m_document.selectionCount() > 1;
    for (int r = 0; r < kRows; ++r) {
        QLabel *label = m_lineLabels[std::size_t(r)];
        const int line = lineOfRow(r);
        const bool selected =
            many && line >= m_document.selectionFirst() && line <= m_document.selectionLast();
        if (label->autoFillBackground() == selected)
            continue;
        label->setAutoFillBackground(selected);
        QPalette colours = palette();
        if (selected) {
            colours.setColor(QPalette::Window, colours.color(QPalette::Highlight));
            colours.setColor(QPalette::WindowText, colours.color(QPalette::HighlightedText));
        }
        label->setPalette(colours);
    }
}

void LineWindow::redrawRow(int row, bool exists)
{
    setRowVisible(row, exists);
    // A hidden row keeps its old contents out of sight.
    if (!exists)
        return;
    const int line = lineOfRow(row);
    setLabelText(m_lineLabels[std::size_t(row)], QString::number(line));
    for (int c = 0; c < kLedCount; ++c)
        ShowCell(row, c);
    setBoxText(m_timeBoxes[std::size_t(row)], formatDuration(m_document.table().duration(line)));
}

void LineWindow::setRowVisible(int row, bool visible)
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

void LineWindow::showLines(int first, int last)
{
    // A redraw shows every row anyway; an edit shows the rows it touched.
    if (m_redrawing)
        return;
    for (int r = 0; r < kRows; ++r) {
        const int line = lineOfRow(r);
        if (line < first || line > last || !m_rowVisible[std::size_t(r)])
            continue;
        for (int c = 0; c < kLedCount; ++c)
            ShowCell(r, c);
        if (r != kCurrentRow)
            setBoxText(m_timeBoxes[std::size_t(r)],
                       formatDuration(m_document.table().duration(line)));
    }
}

void LineWindow::showDocument()
{
    // Lowering the maximum may already redraw, which takes the current line
    // from the scroll bar; so the line to show is read first.
    const int current = m_document.currentLine();
    m_lineScroll->setMaximum(m_document.lineCount());
    m_lineScroll->setValue(current);
    redrawLineWindow();
}

Rgb24 LineWindow::ledColour(int column) const
{
    return m_leds[kCurrentRow][std::size_t(column)]->fillColour();
}

Rgb24 LineWindow::sliderColour(int column) const
{
    const auto c = std::size_t(column);
    return rgb24((kSliderMaximum - m_red[c]->value()) * 16,
                 (kSliderMaximum - m_green[c]->value()) * 16,
                 (kSliderMaximum - m_blue[c]->value()) * 16);
}

void LineWindow::setPickCursor(bool on)
{
    for (int r = 0; r < kRows; ++r) {
        TextBox *box = m_timeBoxes[std::size_t(r)];
        if (on) {
            m_timeBoxCursors[std::size_t(r)] = box->cursor().shape();
            box->setCursor(Qt::CrossCursor);
        } else {
            box->setCursor(m_timeBoxCursors[std::size_t(r)]);
        }
    }
}

void LineWindow::setShieldsVisible(bool visible)
{
    m_shield1->setVisible(visible);
    m_shield2->setVisible(visible);
}

// ---- Editing ----------------------------------------------------------------

void LineWindow::onSliderChanged(int column)
{
    if (m_settingControls)
        return;
    emit channelChanged(column, sliderColour(column));
}

void LineWindow::commitTypedDuration()
{
    TextBox *box = m_timeBoxes[kCurrentRow];
    if (QApplication::focusWidget() == box && box->isModified())
        commitDurationText();
}

bool LineWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A duration typed for the current line is stored there before the
    // wheel shows another line in its place.
    if (watched == m_lineScroll && event->type() == QEvent::Wheel)
        emit lineAboutToMove();
    return QFrame::eventFilter(watched, event);
}

void LineWindow::commitDurationText()
{
    TextBox *box = m_timeBoxes[kCurrentRow];
    const int hundredths = durationFromText(box->text());
    const bool typed = box->isModified();
    // The box shows what is stored, so it never holds a duration the line
    // does not have, nor typing still to be committed.
    setBoxText(box, formatDuration(hundredths));
    box->setModified(false);
    emit durationEntered(hundredths, typed);
    // Runs the up-down's own handling when its value changes.
    m_upDown->setValue(hundredths);
}

void LineWindow::onUpDownChanged(int value)
{
    if (m_settingControls)
        return;
    emit durationStepped(value);
}

void LineWindow::showDurationText(int hundredths)
{
    setBoxText(m_timeBoxes[kCurrentRow], formatDuration(hundredths));
}

} // namespace glowline
