#pragma once

#include <QPointer>
#include <QScrollBar>
#include <QStyleOptionSlider>

#include <vector>

namespace glowline {

class SliderStrip;

// A colour slider of the line window: a vertical scroll bar that, placed in
// a strip (SliderStrip::add), leaves its painting to the strip while it is
// at rest. While the pointer is over it or a button is held on it, it
// paints itself, as its look then follows the pointer.
class ChannelSlider final : public QScrollBar
{
    Q_OBJECT

public:
    explicit ChannelSlider(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ChannelSlider)

    // The look of the slider at rest: as the scroll bar paints itself with
    // no part of it under the pointer or pressed.
    QStyleOptionSlider restingLook() const;
    // Whether the strip paints it now.
    bool paintedByStrip() const { return m_strip && !updatesEnabled(); }

protected:
    bool event(QEvent *event) override;
    void sliderChange(SliderChange change) override;

private:
    friend class SliderStrip;
    // Whether the pointer is over it or a button held on it.
    bool followsPointer() const { return m_pointerOver || m_buttonHeld || isSliderDown(); }
    void setPaintsItself(bool paintsItself);
    void repaintSlider();

    bool m_pointerOver = false;
    bool m_buttonHeld = false;
    // Strips are made before their sliders, so they are destroyed first.
    QPointer<SliderStrip> m_strip;
};

// Paints the colour sliders that lie side by side in one band as one
// control. A new line moves most of the 33 sliders at once, and every
// control that Qt repaints on its own costs bookkeeping that grows with the
// number of controls repainted together. The strip lies below its sliders,
// covers every pixel between them in the window's own colour and lets clicks
// fall through.
class SliderStrip final : public QWidget
{
    Q_OBJECT

public:
    explicit SliderStrip(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SliderStrip)

    // Takes over the painting of slider, a sibling that lies within the strip
    // above the sliders added before it.
    void add(ChannelSlider *slider);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    friend class ChannelSlider;
    // Lets each slider that follows the pointer paint itself, and with it
    // every slider that overlaps it from above, so that they stack as
    // before; the strip paints the others.
    void settle();

    std::vector<ChannelSlider *> m_sliders;
};

} // namespace glowline
