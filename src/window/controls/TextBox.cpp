#include "window/controls/TextBox.h"

#include <QFocusEvent>
#include <QGlyphRun>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionFrame>
#include <QTextLayout>

#include <algorithm>
#include <tuple>

namespace glowline {

namespace {

// The margin a line edit keeps on each side of its text.
constexpr int kTextMargin = 2;
// Pixels to spare where glyphs are measured one at a time.
constexpr int kSpare = 2;

} // namespace

TextBox::TextBox(QWidget *parent) : QLineEdit(parent)
{
    // A file dropped on the window opens it; over a box it must not become
    // the box's text instead.
    setAcceptDrops(false);
    // The box paints its corners itself (see paintEvent), so a change of its
    // text repaints the box alone, not the window behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TextBox::paintEvent(QPaintEvent *event)
{
    // The frame's rounded corners leave pixels that show the window's
    // background.
    QPainter(this).fillRect(event->rect(), palette().window());
    QLineEdit::paintEvent(event);
}

QRect TextBox::textArea() const
{
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    return style()
        ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
        .marginsRemoved(textMargins());
}

bool TextBox::atRest() const
{
    const Qt::Alignment shown =
        QStyle::visualAlignment(layoutDirection(), alignment()) & ~Qt::AlignAbsolute;
    // At a scale such as 150 % the panel drawn from below would not fall
    // on the same device pixels as the box's own.
    const qreal ratio = devicePixelRatioF();
    if (ratio != qRound(ratio) || hasFocus() || hasSelectedText() || underMouse() ||
        echoMode() != Normal || (text().isEmpty() && !placeholderText().isEmpty()) ||
        shown != (Qt::AlignLeft | Qt::AlignVCenter))
        return false;
    // A line edit keeps a margin of two pixels on each side of its text, and
    // scrolls a text that does not fit to show its cursor. The advances of
    // the characters one by one cost far less than laying the text out, and
    // come to the same width unless the font kerns these characters (which
    // mostly draws them together).
    const QFontMetricsF metrics(font());
    qreal width = 0;
    for (const QChar c : text()) {
        // A line edit shows control characters as spaces.
        if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator ||
            c == QChar::ObjectReplacementCharacter)
            return false;
        width += metrics.horizontalAdvance(c);
    }
    return qRound(width) + 1 <= textArea().width() - 2 * kTextMargin;
}

int TextBox::lineHeight(const QFontMetrics &metrics) const
{
    // A line edit's line is as tall as the font, or as the text's glyphs
    // reach if they reach further. Each glyph's reach costs less to find
    // than the whole text's; only where they come close is the whole text
    // measured.
    int top = 0;
    int bottom = 0;
    for (const QChar c : text()) {
        const QRect glyph = metrics.boundingRect(c);
        top = std::min(top, glyph.top());
        bottom = std::max(bottom, glyph.bottom() + 1);
    }
    if (bottom - top + kSpare < metrics.height())
        return metrics.height();
    return std::max(metrics.boundingRect(text()).height(), metrics.height());
}

void TextBox::paintAtRest(QPainter &painter) const
{
    // The window's colour, the panel, and the text at the left of a line
    // centred in height, with its baseline where a line edit puts it.
    const QPalette colours = palette();
    painter.fillRect(rect(), colours.window());
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);

    const QRect area = textArea();
    const QFontMetrics metrics = fontMetrics();
    const int height = lineHeight(metrics);
    const LaidOutTexts::Text &laidOut = m_laidOut->find(text(), font(), layoutDirection());
    const QPoint topLeft(area.x() + kTextMargin, area.y() + (area.height() - height + 1) / 2 -
                                                     (laidOut.ascent - metrics.ascent()));
    painter.save();
    painter.setClipRect(area);
    painter.setPen(colours.text().color());
    for (const QGlyphRun &run : laidOut.runs)
        painter.drawGlyphRun(topLeft, run);
    painter.restore();
}

const LaidOutTexts::Text &LaidOutTexts::find(const QString &text, const QFont &font,
                                             Qt::LayoutDirection direction)
{
    Key key{text, font, direction};
    if (const Text *kept = m_texts.object(key))
        return *kept;
    QTextLayout layout(text, font);
    QTextOption option = layout.textOption();
    option.setTextDirection(direction);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    // A line edit keeps the ascent in whole pixels.
    auto *laidOut = new Text{layout.glyphRuns(), int(line.ascent())};
    m_texts.insert(std::move(key), laidOut);
    return *laidOut;
}

void TextBox::setRestingPainter(QWidget *control, std::shared_ptr<LaidOutTexts> texts)
{
    m_restingPainter = control;
    m_laidOut = std::move(texts);
    connect(this, &QLineEdit::textChanged, this, &TextBox::settle);
    connect(this, &QLineEdit::selectionChanged, this, &TextBox::settle);
    settle();
}

void TextBox::settle()
{
    const bool rests = atRest();
    if (rests == updatesEnabled()) {
        // A box that paints itself covers every pixel, so Qt repaints it
        // alone; one painted below must not count as opaque, or Qt would
        // leave the painter's repaint out where the box lies.
        setUpdatesEnabled(!rests);
        setAttribute(Qt::WA_OpaquePaintEvent, !rests);
    }
    if (rests)
        m_restingPainter->update();
}

bool TextBox::event(QEvent *event)
{
    const bool handled = QLineEdit::event(event);
    // Whatever else changes the box's look (the focus, the pointer, being
    // shown, its palette, font or style) comes to it as an event.
    if (m_restingPainter && event->type() != QEvent::Paint)
        settle();
    return handled;
}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit focusLost();
}

} // namespace glowline
