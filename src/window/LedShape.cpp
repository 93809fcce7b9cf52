#include "window/LedShape.h"

#include "window/PictureCache.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

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
    repaintShape();
}

void LedShape::repaintShape()
{
    if (m_row)
        m_row->update(geometry().translated(-m_row->pos()));
    else
        update();
}

bool LedShape::event(QEvent *event)
{
    // A row paints only the LEDs that are shown.
    if (m_row && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        repaintShape();
    return QWidget::event(event);
}

QPixmap LedShape::picture(Rgb24 fill, QSize size, const QColor &back, qreal ratio)
{
    // A drag of scrLine repaints dozens of LEDs at each step, and an
    // antialiased circle costs far more than a copy.
    static PictureCache pictures;
    return pictures.find(
        {{quint64(fill) << 32 | quint64(size.width()) << 16 | quint64(size.height()), back.rgba(),
          std::bit_cast<quint64>(ratio)}},
        [&] {
            QPixmap drawn(size * ratio);
            drawn.setDevicePixelRatio(ratio);
            drawn.fill(back);
            QPainter painter(&drawn);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(QPen(Qt::black, 1));
            painter.setBrush(QColor(redOf(fill), greenOf(fill), blueOf(fill)));
            painter.drawEllipse(QRectF(QPointF(), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5));
            painter.end();
            return drawn;
        });
}

void LedShape::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(
        0, 0, picture(m_fill, size(), palette().color(QPalette::Window), devicePixelRatioF()));
}

LedRow::LedRow(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LedRow::add(LedShape *led)
{
    led->m_row = this;
    // Qt paints no control whose updates are off, and sends it no paint
    // event; the row paints it instead. It is still shown, hidden and
    // placed like any other control.
    led->setAttribute(Qt::WA_OpaquePaintEvent, false);
    led->setUpdatesEnabled(false);
    m_leds.push_back(led);
    led->repaintShape();
}

void LedRow::paintEvent(QPaintEvent *event)
{
    const QColor back = palette().color(QPalette::Window);
    const qreal ratio = devicePixelRatioF();
    QPainter painter(this);
    painter.fillRect(event->rect(), back);
    for (const LedShape *led : m_leds) {
        const QRect place = led->geometry().translated(-pos());
        if (led->isHidden() || !event->region().intersects(place))
            continue;
        // At a scale such as 150 % the picture is a pixel wider than the
        // LED's own area, and is cut to it as when each LED painted itself.
        if (ratio != qRound(ratio))
            painter.setClipRect(place);
        painter.drawPixmap(place.topLeft(),
                           LedShape::picture(led->fillColour(), place.size(), back, ratio));
    }
}

} // namespace glowline
