#pragma once

#include "window/controls/PictureCache.h"

#include <QImage>
#include <QProxyStyle>

class QPainter;
class QPalette;
class QRect;
class QStyleOptionSlider;

namespace glowline {

// The platform's look for scroll bars, with a frame in the highlight colour
// around the one that has the keyboard focus: the platform style draws none,
// so a keyboard user could not see which slider the arrow keys move.
class FocusFrameStyle : public QProxyStyle
{
    Q_OBJECT

public:
    FocusFrameStyle() = default;
    Q_DISABLE_COPY_MOVE(FocusFrameStyle)

    // The sign of the keyboard focus, for the controls of the line window
    // that draw it themselves too: a one-pixel frame just inside rect.
    static void drawFocusFrame(QPainter &painter, const QRect &rect, const QPalette &palette);

    // A scroll bar drawn by this style covers its whole rectangle, so its
    // repaint does not reach the widgets behind it.
    void polish(QWidget *widget) override;
    using QProxyStyle::polish;

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;

    // How many scroll bar pictures the platform style has drawn so far; the
    // others were made from them.
    int scrollBarsDrawn() const { return m_drawn; }

private:
    QPixmap drawScrollBar(const QStyleOptionSlider &bar, qreal ratio, const QWidget *widget) const;

    // One look of a scroll bar drawn with its thumb at two places that do
    // not overlap, and from them the bar without a thumb. With the thumb
    // anywhere along the plain part of the track, the picture is that bar
    // with the lines that the thumb and its shading cover, across the bar,
    // copied in: no more than a copy, where drawing each of a long
    // sequence's thumb positions costs the platform style about a quarter
    // of a millisecond. Used only where a third place, made so, came out pixel
    // for pixel as drawn. Places are in device pixels along the bar.
    struct ThumbPlaces
    {
        QImage thumb;    // the bar with the thumb at its first place
        QImage track;    // the bar without it
        QImage picture;  // the last one made
        int thumbAt = 0; // where the thumb's lines start in thumb
        int length = 0;  // the thumb with its shading on both sides
        int reach = 0;   // of the shading, past the thumb's rectangle
        int trackFrom = 0;
        int trackTo = 0;
        bool composes = false;

        // Whether the thumb's lines fit in the track when they start at at.
        bool fits(int at) const;
        // Makes picture with the thumb's lines starting at at.
        void compose(int at, bool vertical);
    };
    static constexpr qsizetype kMostLooks = 8;
    ThumbPlaces placeThumbs(const QStyleOptionSlider &bar, const QRect &thumb, qreal ratio,
                            const QWidget *widget) const;
    // The bar's picture made from its look's places, or null where it is
    // drawn instead.
    const QImage *composedScrollBar(const QStyleOptionSlider &bar, const QRect &thumb, qreal ratio,
                                    const QWidget *widget) const;

    mutable PictureCache m_pictures;
    mutable QHash<PictureCache::Key, ThumbPlaces> m_looks;
    mutable int m_drawn = 0;
};

} // namespace glowline
