#include "window/LedShape.h"

#include "window/PictureCache.h"

#include <QPainter>
#include <QPixmap>

#include <bit>

namespace glowline {

LedShape::LedShape(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The picture covers every pixel, the corners in the window's own colour,
    // so a repaint of the LED leaves what lies behind it alone.
    setAttribute(Qt::WA_OpaquePaintEvent);
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
    // A drag of scrLine repaints dozens of LEDs at each step, and an
    // antialiased circle costs far more than a copy: each colour and size is
    // drawn once and kept.
    const qreal ratio = devicePixelRatioF();
    const QColor back = palette().color(QPalette::Window);
    static PictureCache pictures;
    const QPixmap picture =
        pictures.find({{quint64(m_fill) << 32 | quint64(width()) << 16 | quint64(height()),
                        back.rgba(), std::bit_cast<quint64>(ratio)}},
                      [&] {
                          QPixmap drawn(size() * ratio);
                          drawn.setDevicePixelRatio(ratio);
                          drawn.fill(back);
                          QPainter painter(&drawn);
                          painter.setRenderHint(QPainter::Antialiasing);
                          painter.setPen(QPen(Qt::black, 1));
                          painter.setBrush(fillQColor());
                          painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
                          painter.end();
                          return drawn;
                      });
    QPainter(this).drawPixmap(0, 0, picture);
}

} // namespace glowline
