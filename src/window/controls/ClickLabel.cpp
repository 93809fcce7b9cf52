#include "window/controls/ClickLabel.h"

#include <QMouseEvent>

namespace glowline {

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent) {}

void ClickLabel::setBackColour(Rgb24 colour)
{
    m_back = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(redOf(colour), greenOf(colour), blueOf(colour)));
    setPalette(pal);
    setAutoFillBackground(true);
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    event->accept();
    if (wasPressed && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The press of the second click; its release must not count as a click.
    m_pressed = false;
    event->accept();
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

} // namespace glowline
