#include "window/controls/ChannelSlider.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace glowline {

ChannelSlider::ChannelSlider(QWidget *parent) : QScrollBar(Qt::Vertical, parent) {}

QStyleOptionSlider ChannelSlider::restingLook() const
{
    QStyleOptionSlider look;
    initStyleOption(&look);
    look.subControls = QStyle::SC_All;
    return look;
}

void ChannelSlider::repaintSlider()
{
    // The whole strip: it is cheap to paint, and an area of several
    // rectangles would send Qt's painter down its slow path.
    if (paintedByStrip())
        m_strip->update();
}

void ChannelSlider::setPaintsItself(bool paintsItself)
{
    if (paintsItself == updatesEnabled())
        return;
    setUpdatesEnabled(paintsItself);
    setAttribute(Qt::WA_OpaquePaintEvent, paintsItself);
    m_strip->update();
}

bool ChannelSlider::event(QEvent *event)
{
    const bool followed = followsPointer();
    switch (event->type()) {
    case QEvent::Enter:
        m_pointerOver = true;
        break;
    case QEvent::Leave:
        m_pointerOver = false;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        m_buttonHeld = true;
        break;
    case QEvent::MouseButtonRelease:
        m_buttonHeld = static_cast<QMouseEvent *>(event)->buttons() != Qt::NoButton;
        break;
    default:
        break;
    }
    const bool handled = QScrollBar::event(event);
    if (m_strip) {
        if (followed != followsPointer())
            m_strip->settle();
        // A slider that paints itself covers every pixel, so Qt repaints it
        // alone; one that the strip paints must not, or Qt would leave the
        // strip's repaint out where it lies. The line window's style marks
        // its scroll bars opaque whenever it polishes them.
        if (testAttribute(Qt::WA_OpaquePaintEvent) != updatesEnabled())
            setAttribute(Qt::WA_OpaquePaintEvent, updatesEnabled());
        // Whatever else a scroll bar repaints itself for (the focus, being
        // enabled, shown or hidden, its palette or style) comes to it as an
        // event; at rest, its strip repaints it after any.
        if (event->type() != QEvent::Paint)
            repaintSlider();
    }
    return handled;
}

void ChannelSlider::sliderChange(SliderChange change)
{
    QScrollBar::sliderChange(change);
    repaintSlider();
}

SliderStrip::SliderStrip(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SliderStrip::add(ChannelSlider *slider)
{
    slider->m_strip = this;
    // Qt paints no control whose updates are off; the strip paints it
    // instead, with the slider's style.
    slider->setUpdatesEnabled(false);
    slider->setAttribute(Qt::WA_OpaquePaintEvent, false);
    m_sliders.push_back(slider);
    update();
}

void SliderStrip::settle()
{
    for (std::size_t i = 0; i < m_sliders.size(); ++i) {
        ChannelSlider *slider = m_sliders[i];
        bool paintsItself = slider->followsPointer();
        for (std::size_t below = 0; below < i && !paintsItself; ++below) {
            paintsItself = !m_sliders[below]->paintedByStrip() &&
                           m_sliders[below]->geometry().intersects(slider->geometry());
        }
        slider->setPaintsItself(paintsItself);
    }
}

void SliderStrip::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), palette().window());
    // At a scale such as 150 % a slider's picture can reach a device pixel
    // beyond its own area, and is cut to it as when the slider painted
    // itself.
    const qreal ratio = painter.device()->devicePixelRatioF();
    const bool cut = ratio != qRound(ratio);
    for (const ChannelSlider *slider : m_sliders) {
        if (!slider->paintedByStrip() || slider->isHidden())
            continue;
        QStyleOptionSlider look = slider->restingLook();
        look.rect.moveTopLeft(slider->pos() - pos());
        if (!event->rect().intersects(look.rect))
            continue;
        if (cut)
            painter.setClipRect(look.rect);
        slider->style()->drawComplexControl(QStyle::CC_ScrollBar, &look, &painter, slider);
    }
}

} // namespace glowline
