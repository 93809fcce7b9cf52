#include "window/TextBox.h"

#include "window/PictureCache.h"

#include <QFocusEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionFrame>

#include <bit>

namespace glowline {

TextBox::TextBox(QWidget *parent) : QLineEdit(parent)
{
    // A file dropped on the window opens it; over a box it must not become
    // the box's text instead.
    setAcceptDrops(false);
    // The box paints its corners itself (see paintEvent), so a change of its
    // text repaints the box alone, not the window behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TextBox::paintEvent(QPaintEvent *event)
{
    // The frame's rounded corners leave pixels that show the window's
    // background.
    QPainter(this).fillRect(event->rect(), palette().window());
    QLineEdit::paintEvent(event);
}

void TextBox::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        emit focusLost();
}

void TextBoxStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option,
                                 QPainter *painter, const QWidget *widget) const
{
    const auto *frame = qstyleoption_cast<const QStyleOptionFrame *>(option);
    const qreal ratio = painter->device()->devicePixelRatioF();
    // At a scale such as 150 % a copy would not fall on the same device
    // pixels as the panel drawn in place.
    if (element != PE_PanelLineEdit || frame == nullptr || frame->rect.isEmpty() ||
        ratio != qRound(ratio)) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    // The box has filled its area with the window colour (see
    // TextBox::paintEvent), so the panel is drawn on that colour.
    static PictureCache pictures;
    const PictureCache::Key key{{quint64(quint16(frame->rect.width())) << 48 |
                                     quint64(quint16(frame->rect.height())) << 32 |
                                     quint64(quint16(frame->lineWidth)) << 16 |
                                     quint64(quint16(frame->midLineWidth)),
                                 quint64(uint(frame->features)) << 32 | uint(frame->frameShape),
                                 quint64(uint(frame->state)), quint64(frame->palette.cacheKey()),
                                 std::bit_cast<quint64>(ratio)}};
    const QPixmap picture = pictures.find(key, [&] {
        return PictureCache::onWindowColour(
            frame->rect.size(), ratio, frame->palette, [&](QPainter &onPicture) {
                QStyleOptionFrame atOrigin = *frame;
                atOrigin.rect.moveTo(0, 0);
                QProxyStyle::drawPrimitive(element, &atOrigin, &onPicture, widget);
            });
    });
    painter->drawPixmap(frame->rect.topLeft(), picture);
}

} // namespace glowline
