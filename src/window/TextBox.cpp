#include "window/TextBox.h"

#include <QFocusEvent>

namespace glowline {

TextBox::TextBox(QWidget *parent) : QLineEdit(parent) {}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit focusLost();
}

} // namespace glowline
