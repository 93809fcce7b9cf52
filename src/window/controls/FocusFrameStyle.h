#pragma once

#include <QProxyStyle>

class QPainter;
class QPalette;
class QRect;

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

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                            QPainter *painter, const QWidget *widget = nullptr) const override;
};

} // namespace glowline
