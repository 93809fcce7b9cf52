#include "window/controls/FocusFrameStyle.h"

#include "window/controls/PictureCache.h"

#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QScrollBar>
#include <QStyleOptionComplex>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

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

// Every number a scroll bar's picture depends on. Pictures are drawn once
// for each and then copied: a drag of scrLine repaints 33 sliders and itself
// at every step. The low half of the first number is the thumb's place;
// without it, the key names the bar's look with the thumb anywhere.
PictureCache::Key scrollBarKey(const QStyleOptionSlider &bar, const QRect &thumb, qreal ratio)
{
    const auto packed = [](int a, int b, int c, int d) {
        return quint64(quint16(a)) << 48 | quint64(quint16(b)) << 32 | quint64(quint16(c)) << 16 |
               quint64(quint16(d));
    };
    const quint64 look = quint64(uint(bar.activeSubControls) & 0xFFFFFFu) << 8 |
                         quint64(bar.direction == Qt::RightToLeft) << 4 |
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

namespace {

// Copies length lines of from, starting at fromAt along the bar, into to at
// toAt: rows of a vertical bar, columns of a horizontal one. Both pictures
// are 32-bit and of one size, and places are in device pixels.
void copyAlong(QImage &to, int toAt, const QImage &from, int fromAt, int length, bool vertical)
{
    const uchar *first =
        vertical ? from.constScanLine(fromAt) : from.constBits() + fromAt * qsizetype(sizeof(QRgb));
    const QRect place =
        vertical ? QRect(0, toAt, to.width(), length) : QRect(toAt, 0, length, to.height());
    PictureCache::copyInto(to, to.rect(), first, from.bytesPerLine(), place, 1);
}

// Whether line aAt of a and line bAt of b (rows of a vertical bar, columns
// of a horizontal one) are the same; both pictures are 32-bit and of one size.
bool sameLine(const QImage &a, int aAt, const QImage &b, int bAt, bool vertical)
{
    if (vertical)
        return std::memcmp(a.constScanLine(aAt), b.constScanLine(bAt),
                           std::size_t(a.width()) * sizeof(QRgb)) == 0;
    for (int y = 0; y < a.height(); ++y) {
        if (reinterpret_cast<const QRgb *>(a.constScanLine(y))[aAt] !=
            reinterpret_cast<const QRgb *>(b.constScanLine(y))[bAt])
            return false;
    }
    return true;
}

} // namespace

QPixmap FocusFrameStyle::drawScrollBar(const QStyleOptionSlider &bar, qreal ratio,
                                       const QWidget *widget) const
{
    ++m_drawn;
    return PictureCache::onWindowColour(
        bar.rect.size(), ratio, bar.palette, [&](QPainter &onPicture) {
            QStyleOptionSlider atOrigin = bar;
            atOrigin.rect.moveTo(0, 0);
            QProxyStyle::drawComplexControl(CC_ScrollBar, &atOrigin, &onPicture, widget);
            if (bar.state & State_HasFocus)
                drawFocusFrame(onPicture, atOrigin.rect, bar.palette);
        });
}

FocusFrameStyle::ThumbPlaces FocusFrameStyle::placeThumbs(const QStyleOptionSlider &bar,
                                                          const QRect &thumb, qreal ratio,
                                                          const QWidget *widget) const
{
    ThumbPlaces places;
    const int scale = qRound(ratio);
    const bool vertical = bar.orientation == Qt::Vertical;
    const auto along = [&](const QRect &r) {
        return (vertical ? r.top() - bar.rect.top() : r.left() - bar.rect.left()) * scale;
    };
    const auto extent = [&](const QRect &r) { return (vertical ? r.height() : r.width()) * scale; };
    const auto at = [&](int value) {
        QStyleOptionSlider placed = bar;
        placed.sliderPosition = placed.sliderValue = value;
        return placed;
    };
    const auto thumbOf = [&](const QStyleOptionSlider &placed) {
        return subControlRect(CC_ScrollBar, &placed, SC_ScrollBarSlider, widget);
    };
    // The thumb a quarter and three quarters along, and checked halfway.
    const int range = bar.maximum - bar.minimum;
    const QStyleOptionSlider first = at(bar.minimum + range / 4);
    const QStyleOptionSlider last = at(bar.maximum - range / 4);
    const QStyleOptionSlider check = at(bar.minimum + range / 2);
    const QRect firstThumb = thumbOf(first);
    const QRect secondThumb = thumbOf(last);
    const QRect checkThumb = thumbOf(check);
    const int length = extent(thumb);
    if (extent(firstThumb) != length || extent(secondThumb) != length ||
        extent(checkThumb) != length || std::abs(along(firstThumb) - along(secondThumb)) < length)
        return places;
    places.thumb = drawScrollBar(first, ratio, widget).toImage();
    const QImage second = drawScrollBar(last, ratio, widget).toImage();
    if (places.thumb.depth() != 32 || second.format() != places.thumb.format())
        return places;

    // The thumb's shading may reach past its rectangle: the pictures differ
    // only within that reach of either thumb.
    const int firstAt = along(firstThumb);
    const int secondAt = along(secondThumb);
    int reach = 0;
    for (int line = 0; line < extent(bar.rect); ++line) {
        if (sameLine(places.thumb, line, second, line, vertical))
            continue;
        const auto outside = [&](int thumbAt) {
            return std::max({thumbAt - line, line - (thumbAt + length - 1), 0});
        };
        reach = std::max(reach, std::min(outside(firstAt), outside(secondAt)));
    }
    places.reach = reach;
    places.thumbAt = firstAt - reach;
    places.length = length + 2 * reach;
    if (std::abs(firstAt - secondAt) < places.length)
        return places;

    // The bar without a thumb, and the part of its track where every line
    // is the same: where the thumb's lines may go. The track's ends may be
    // shaded or rounded.
    places.track = places.thumb.copy();
    copyAlong(places.track, places.thumbAt, second, places.thumbAt, places.length, vertical);
    const QRect groove = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarGroove, widget);
    const int middle = along(groove) + extent(groove) / 2;
    const auto plainTrack = [&](int line) {
        return line >= 0 && line < extent(bar.rect) &&
               sameLine(places.track, line, places.track, middle, vertical);
    };
    places.trackFrom = middle;
    while (plainTrack(places.trackFrom - 1))
        --places.trackFrom;
    places.trackTo = middle + 1;
    while (plainTrack(places.trackTo))
        ++places.trackTo;
    const int checkAt = along(checkThumb) - reach;
    places.picture = places.track.copy();
    places.picture.setDevicePixelRatio(ratio);
    if (!places.fits(places.thumbAt) || !places.fits(checkAt))
        return places;
    places.compose(checkAt, vertical);
    places.composes = places.picture == drawScrollBar(check, ratio, widget).toImage();
    return places;
}

bool FocusFrameStyle::ThumbPlaces::fits(int at) const
{
    return at >= trackFrom && at + length <= trackTo;
}

void FocusFrameStyle::ThumbPlaces::compose(int at, bool vertical)
{
    std::memcpy(picture.bits(), track.constBits(), std::size_t(track.sizeInBytes()));
    copyAlong(picture, at, thumb, thumbAt, length, vertical);
}

const QImage *FocusFrameStyle::composedScrollBar(const QStyleOptionSlider &bar, const QRect &thumb,
                                                 qreal ratio, const QWidget *widget) const
{
    // A thumb at either end changes the arrows' look too, and at a
    // fractional scale the thumb's edges fall between device pixels.
    const int scale = qRound(ratio);
    if (bar.sliderPosition <= bar.minimum || bar.sliderPosition >= bar.maximum || scale != ratio)
        return nullptr;
    PictureCache::Key look = scrollBarKey(bar, thumb, ratio);
    look.numbers[0] &= ~quint64(0xFFFFFFFFu);
    auto places = m_looks.find(look);
    if (places == m_looks.end()) {
        // Looks come and go with the pointer over the bar, and with the
        // sequence's length; a few are kept.
        if (m_looks.size() >= kMostLooks)
            m_looks.clear();
        places = m_looks.insert(look, placeThumbs(bar, thumb, ratio, widget));
    }
    const bool vertical = bar.orientation == Qt::Vertical;
    const int at =
        (vertical ? thumb.top() - bar.rect.top() : thumb.left() - bar.rect.left()) * scale -
        places->reach;
    if (!places->composes || !places->fits(at))
        return nullptr;
    places->compose(at, vertical);
    return &places->picture;
}

void FocusFrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                         QPainter *painter, const QWidget *widget) const
{
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option);
    if (control == CC_ScrollBar && bar != nullptr && !bar->rect.isEmpty()) {
        const qreal ratio = painter->device()->devicePixelRatioF();
        const QRect thumb = subControlRect(control, bar, SC_ScrollBarSlider, widget);
        if (const QImage *composed = composedScrollBar(*bar, thumb, ratio, widget)) {
            painter->drawImage(bar->rect.topLeft(), *composed);
            return;
        }
        const QPixmap picture = m_pictures.find(scrollBarKey(*bar, thumb, ratio),
                                                [&] { return drawScrollBar(*bar, ratio, widget); });
        painter->drawPixmap(bar->rect.topLeft(), picture);
        return;
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ScrollBar && (option->state & State_HasFocus))
        drawFocusFrame(*painter, option->rect, option->palette);
}

} // namespace glowline
