#include "window/controls/ChannelSliderStyle.h"

namespace glowline {

namespace {

constexpr int kThumbLength = 9;

} // namespace

int ChannelSliderStyle::pixelMetric(PixelMetric metric, const QStyleOption *option,
                                    const QWidget *widget) const
{
    if (metric == PM_ScrollBarSliderMin)
        return kThumbLength;
    return FocusFrameStyle::pixelMetric(metric, option, widget);
}

} // namespace glowline
