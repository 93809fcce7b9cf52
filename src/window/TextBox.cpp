#include "window/TextBox.h"

#include <QFocusEvent>
#include <QPaintEvent>
#include <QPainter>

namespace glowline {

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

void TextBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit focusLost();
}

} // namespace glowline
