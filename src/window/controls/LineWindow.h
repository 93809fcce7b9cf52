#pragma once

#include "model/Colour.h"
#include "model/LineTable.h"
#include "window/controls/Layout.h"

#include <QFrame>

#include <array>

class QLabel;
class QPushButton;
class QScrollBar;

namespace glowline {

class ClickLabel;
class Document;
class LedShape;
class OutlineShape;
class SequenceEditor;
class TextBox;
class UpDown;

// The line window, Frame1: seven rows of lines around the current line, the
// current line's colour sliders and duration controls, the line scroll bar
// scrLine, Test, and the two shields that cover the rows while playing.
//
// Row r shows line current + r - 3; row 3 is the current line and the only
// one that is edited. The current line follows scrLine: the redraw copies the
// scroll bar's value into the document first. The window shows the sequence
// and forwards what the user does to its controls; the few writes it makes
// itself are those of showing a line (the sliders and the up-down write back
// what they show), made while the document is refreshing.
class LineWindow final : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kRows = 7;
    static constexpr int kCurrentRow = 3;

    LineWindow(SequenceEditor &editor, const QRect &geometry, TabStops &tabStops, QWidget *parent);
    Q_DISABLE_COPY_MOVE(LineWindow)

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

    // The colour LED column of the current line shows.
    Rgb24 ledColour(int column) const;
    // The colour the three sliders of column stand for.
    Rgb24 sliderColour(int column) const;
    // While picking, the duration boxes show the crosshair like the rest of
    // the window.
    void setPickCursor(bool on);
    void setShieldsVisible(bool visible);

    // A command given while a duration is typed into txtTime(3) takes it in
    // first, as a click elsewhere would; the box keeps the focus.
    void commitTypedDuration();
    // Takes in the text of txtTime(3): shows the duration it stands for, then
    // reports it (durationEntered) and moves udTime to it.
    void commitDurationText();
    // Shows a duration in txtTime(3) as udTime's handling does.
    void showDurationText(int hundredths);

    // Draws the line numbers of the selected rows in the highlight colours
    // when more than one line is selected.
    void showSelection();
    QLabel *lineLabel(int row) const { return m_lineLabels[std::size_t(row)]; }
    // The line row r shows.
    int lineOfRow(int row) const;

    QScrollBar *lineScrollBar() const { return m_lineScroll; }
    QPushButton *testButton() const { return m_cmdTest; }
    QFrame *upperShield() const { return m_shield1; }
    QFrame *lowerShield() const { return m_shield2; }

signals:
    void ledClicked(int column);
    // The user moved a slider of column; colour is what its three sliders now
    // stand for.
    void channelChanged(int column, Rgb24 colour);
    // The rows show the document again (scrLine moved, a command ran).
    void redrawn();
    // A duration typed into txtTime(3) was taken in; typed is false when the
    // box's text had not been edited (a focus loss with the text unchanged).
    void durationEntered(int hundredths, bool typed);
    // udTime was stepped (or moved by an entered duration).
    void durationStepped(int hundredths);
    // The user is about to move scrLine without giving it the focus (the
    // wheel); what is being entered is to be taken in first.
    void lineAboutToMove();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build(TabStops &tabStops);
    void redrawRow(int row, bool exists);
    void setRowVisible(int row, bool visible);
    void showLines(int first, int last);
    void onSliderChanged(int column);
    void onUpDownChanged(int value);

    SequenceEditor &m_editor;
    const Document &m_document;

    // Set while the window itself moves the sliders and the up-down to show
    // the sequence; their edit handling is skipped then, and the code that
    // moves them stores what that handling would have stored.
    bool m_settingControls = false;
    bool m_redrawing = false;
    std::array<bool, kRows> m_rowVisible{};

    std::array<std::array<LedShape *, kLedCount>, kRows> m_leds{};
    std::array<QLabel *, kRows> m_lineLabels{};
    std::array<TextBox *, kRows> m_timeBoxes{};
    std::array<Qt::CursorShape, kRows> m_timeBoxCursors{};
    std::array<ClickLabel *, kLedCount> m_ledTargets{};
    std::array<QScrollBar *, kLedCount> m_red{};
    std::array<QScrollBar *, kLedCount> m_green{};
    std::array<QScrollBar *, kLedCount> m_blue{};
    UpDown *m_upDown = nullptr;
    QScrollBar *m_lineScroll = nullptr;
    QFrame *m_shield1 = nullptr;
    QFrame *m_shield2 = nullptr;
    OutlineShape *m_outline = nullptr;
    QPushButton *m_cmdTest = nullptr;
};

} // namespace glowline
