#include "window/LedShape.h"

#include "window/PictureCache.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <bit>
#include <cstring>

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
    // The whole row, though one LED changed: a row is cheap to paint, and an
    // area of several rectangles would send Qt's painter down its slow path,
    // pixel by pixel and spread over threads.
    if (m_row)
        m_row->update();
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
    // At a scale such as 150 % an LED's picture is a device pixel wider than
    // its own area, and is cut to it as when each LED painted itself.
    if (ratio != qRound(ratio)) {
        painter.fillRect(event->rect(), back);
        for (const LedShape *led : m_leds) {
            const QRect place = led->geometry().translated(-pos());
            if (led->isHidden() || !event->region().intersects(place))
                continue;
            painter.setClipRect(place);
            painter.drawPixmap(place.topLeft(),
                               LedShape::picture(led->fillColour(), place.size(), back, ratio));
        }
        return;
    }

    // Each picture drawn on its own costs the painter more than its pixels
    // do: the LEDs' pictures are copied into one picture of the area, which
    // is drawn once.
    const int scale = qRound(ratio);
    const QRect area = event->rect();
    if (m_picture.size() != area.size() * scale)
        m_picture = QImage(area.size() * scale, QImage::Format_RGB32);
    m_picture.setDevicePixelRatio(ratio);
    m_picture.fill(back);
    for (const LedShape *led : m_leds) {
        const QRect place = led->geometry().translated(-pos());
        const QRect shown = place & area;
        if (led->isHidden() || shown.isEmpty())
            continue;
        const QImage picture =
            LedShape::picture(led->fillColour(), place.size(), back, ratio).toImage();
        if (picture.format() != QImage::Format_RGB32) {
            // Not a plain copy: let the painter draw it.
            QPainter onPicture(&m_picture);
            onPicture.drawImage(place.topLeft() - area.topLeft(), picture);
            continue;
        }
        const QRect from{(shown.topLeft() - place.topLeft()) * scale, shown.size() * scale};
        const QPoint to = (shown.topLeft() - area.topLeft()) * scale;
        const auto bytes = std::size_t(from.width()) * sizeof(QRgb);
        const uchar *source = picture.constScanLine(from.y()) + from.x() * sizeof(QRgb);
        uchar *target = m_picture.scanLine(to.y()) + to.x() * sizeof(QRgb);
        for (int y = 0; y < from.height(); ++y) {
            std::memcpy(target, source, bytes);
            source += picture.bytesPerLine();
            target += m_picture.bytesPerLine();
        }
    }
    painter.drawImage(area.topLeft(), m_picture);
}

} // namespace glowline
