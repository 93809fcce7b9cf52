#include "window/LedShape.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

namespace glowline {

LedShape::LedShape(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
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
    const QString key =
        QLatin1String("glowline-led-") +
        QString::number(quint64(m_fill) << 32 | quint64(width()) << 16 | quint64(height())) + u'-' +
        QString::number(ratio);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        picture = QPixmap(size() * ratio);
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(fillQColor());
        painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
        painter.end();
        QPixmapCache::insert(key, picture);
    }
    QPainter(this).drawPixmap(0, 0, picture);
}

} // namespace glowline
