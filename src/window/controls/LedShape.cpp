#include "window/controls/LedShape.h"

#include <QPainter>

namespace glowline {

LedShape::LedShape(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The corners show the window's colour wherever the LED is drawn, also
    // on its own into a picture.
    setAutoFillBackground(true);
}

QColor LedShape::fillQColor() const
{
    return QColor(redOf(m_fill), greenOf(m_fill), blueOf(m_fill));
}

void LedShape::setFillColour(Rgb24 colour)
{
    if (colour == m_fill)
        return;
    m_fill = colour;
    update();
}

void LedShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(fillQColor());
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace glowline
