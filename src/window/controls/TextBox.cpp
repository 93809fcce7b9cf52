#include "window/controls/TextBox.h"

#include <QFocusEvent>

namespace glowline {

TextBox::TextBox(QWidget *parent) : QLineEdit(parent)
{
    // A file dropped on the window opens it; over a box it must not become
    // the box's text instead.
    setAcceptDrops(false);
}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit focusLost();
}

} // namespace glowline
