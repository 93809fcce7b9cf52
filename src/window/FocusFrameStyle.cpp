#include "window/FocusFrameStyle.h"

#include "window/PictureCache.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QScrollBar>
#include <QStyleOptionComplex>

#include <bit>

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

// The look of a scroll bar: every number its picture depends on. Pictures
// are made for each look and then copied (a drag of scrLine repaints 33
// sliders and itself at every step); scrLine's thousands of positions come
// to a few hundred thumb positions.
PictureCache::Key scrollBarKey(const QStyleOptionSlider &bar, const QRect &thumb, qreal ratio)
{
    const auto packed = [](int a, int b, int c, int d) {
        return quint64(quint16(a)) << 48 | quint64(quint16(b)) << 32 | quint64(quint16(c)) << 16 |
               quint64(quint16(d));
    };
    const quint64 look = quint64(uint(bar.activeSubControls) & 0xFFFFFFu) << 8 |
                         quint64(bar.sliderPosition <= bar.minimum) << 3 |
                         quint64(bar.sliderPosition >= bar.maximum) << 2 |
                         quint64(bar.orientation == Qt::Vertical) << 1 | quint64(bar.upsideDown);
    return {{packed(bar.rect.width(), bar.rect.height(), thumb.x() - bar.rect.x(),
                    thumb.y() - bar.rect.y()),
             packed(thumb.width(), thumb.height(), 0, 0) | look, quint64(uint(bar.state)),
             quint64(bar.palette.cacheKey()), std::bit_cast<quint64>(ratio)}};
}

} // namespace

void FocusFrameStyle::polish(QWidget *widget)
{
    QProxyStyle::polish(widget);
    if (qobject_cast<QScrollBar *>(widget) != nullptr)
        widget->setAttribute(Qt::WA_OpaquePaintEvent);
}

void FocusFrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                         QPainter *painter, const QWidget *widget) const
{
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control == CC_ScrollBar && bar != nullptr && !bar->rect.isEmpty()) {
        const qreal ratio = painter->device()->devicePixelRatioF();
        const QRect thumb = subControlRect(control, bar, SC_ScrollBarSlider, widget);
        static PictureCache pictures;
        const QPixmap picture = pictures.find(scrollBarKey(*bar, thumb, ratio), [&] {
            return PictureCache::onWindowColour(
                bar->rect.size(), ratio, bar->palette, [&](QPainter &onPicture) {
                    QStyleOptionSlider atOrigin = *bar;
                    atOrigin.rect.moveTo(0, 0);
                    QProxyStyle::drawComplexControl(control, &atOrigin, &onPicture, widget);
                    if (bar->state & State_HasFocus)
                        drawFocusFrame(onPicture, atOrigin.rect, bar->palette);
                });
        });
        painter->drawPixmap(bar->rect.topLeft(), picture);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ScrollBar && (option->state & State_HasFocus))
        drawFocusFrame(*painter, option->rect, option->palette);
}

} // namespace glowline
