#include "window/FocusFrameStyle.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyleOptionComplex>

namespace glowline {

void FocusFrameStyle::drawFocusFrame(QPainter &painter, const QRect &rect, const QPalette &palette)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(palette.color(QPalette::Highlight), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    painter.restore();
}

namespace {

// Scroll bars with at most this many positions (the colour sliders) are drawn
// once for each look and then copied: a drag of scrLine repaints 33 of them
// at every step. The line scroll bar itself, with thousands of positions,
// is drawn each time.
constexpr int kCachedPositions = 64;

QString scrollBarKey(const QStyleOptionSlider &bar, qreal ratio)
{
    // Every number the picture depends on, packed into few numbers: it is
    // made for every slider at every step of a drag.
    const quint64 geometry = quint64(bar.rect.width()) << 48 | quint64(bar.rect.height()) << 32 |
                             quint64(bar.sliderPosition - bar.minimum) << 16 |
                             quint64(bar.maximum - bar.minimum);
    const quint64 look = quint64(uint(bar.state)) << 32 |
                         quint64(uint(bar.activeSubControls)) << 8 |
                         quint64(bar.orientation == Qt::Vertical) << 1 | quint64(bar.upsideDown);
    return QLatin1String("glowline-bar-") + QString::number(geometry, 16) + u'-' +
           QString::number(look, 16) + u'-' + QString::number(bar.pageStep) + u'-' +
           QString::number(bar.palette.cacheKey(), 16) + u'-' + QString::number(ratio);
}

} // namespace

void FocusFrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                         QPainter *painter, const QWidget *widget) const
{
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control == CC_ScrollBar && bar != nullptr &&
        bar->maximum - bar->minimum <= kCachedPositions && !bar->rect.isEmpty()) {
        const qreal ratio = painter->device()->devicePixelRatioF();
        const QString key = scrollBarKey(*bar, ratio);
        QPixmap picture;
        if (!QPixmapCache::find(key, &picture)) {
            picture = QPixmap(bar->rect.size() * ratio);
            picture.setDevicePixelRatio(ratio);
            picture.fill(Qt::transparent);
            QStyleOptionSlider atOrigin = *bar;
            atOrigin.rect.moveTo(0, 0);
            QPainter onPicture(&picture);
            QProxyStyle::drawComplexControl(control, &atOrigin, &onPicture, widget);
            if (bar->state & State_HasFocus)
                drawFocusFrame(onPicture, atOrigin.rect, bar->palette);
            onPicture.end();
            QPixmapCache::insert(key, picture);
        }
        painter->drawPixmap(bar->rect.topLeft(), picture);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ScrollBar && (option->state & State_HasFocus))
        drawFocusFrame(*painter, option->rect, option->palette);
}

} // namespace glowline
