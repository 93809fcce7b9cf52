#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <vector>

namespace glowline {

// The layout was drawn in twips; 15 twips are one logical pixel.
inline constexpr int kTwipsPerPixel = 15;

constexpr QRect twips(int left, int top, int width, int height)
{
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
                 height / kTwipsPerPixel);
}

// An element of a control array is named with its index: "shpLED(304)".
inline QString indexedName(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

template <typename Widget> Widget *place(Widget *widget, const QString &name, const QRect &rect)
{
    widget->setObjectName(name);
    widget->setGeometry(rect);
    return widget;
}

// A control's place in the window's tab order. Labels and frames hold places
// too, but never take the focus.
struct TabStop
{
    int index;
    QWidget *widget;
};
using TabStops = std::vector<TabStop>;

} // namespace glowline
