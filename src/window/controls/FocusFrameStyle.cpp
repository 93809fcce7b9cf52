#include "window/controls/FocusFrameStyle.h"

#include <QPainter>
#include <QPalette>
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

void FocusFrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                         QPainter *painter, const QWidget *widget) const
{
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ScrollBar && (option->state & State_HasFocus))
        drawFocusFrame(*painter, option->rect, option->palette);
}

} // namespace glowline
