#pragma once

#include "window/controls/FocusFrameStyle.h"

namespace glowline {

// The colour sliders are 57 pixels tall for sixteen positions. The platform's
// minimum thumb length would take up most of that track and leave less than a
// pixel of travel per position; this style keeps the platform's look with a
// short thumb, so each position is a couple of pixels apart, and with the
// focus frame of the line window's scroll bars.
class ChannelSliderStyle final : public FocusFrameStyle
{
    Q_OBJECT

public:
    ChannelSliderStyle() = default;
    Q_DISABLE_COPY_MOVE(ChannelSliderStyle)

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;
};

} // namespace glowline
