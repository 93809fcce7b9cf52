#include "window/controls/LedShape.h"

#include "window/controls/PictureCache.h"
#include "window/controls/TextBox.h"

#include <QCache>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

#include <array>
#include <bit>
#include <cstdlib>
#include <memory>
#include <vector>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace glowline {

LedShape::LedShape(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // The picture covers every pixel, the corners in the window's own colour,
    // so a repaint of the LED leaves what lies behind it alone.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor LedShape::fillQColor() const
{
    return QColor(redOf(m_fill), greenOf(m_fill), blueOf(m_fill));
}

void LedShape::setFillColour(Rgb24 colour)
{
    if (colour == m_fill)
        return;
    m_fill = colour;
    repaintShape();
}

void LedShape::repaintShape()
{
    // The whole row, though one LED changed: a row is cheap to paint, and an
    // area of several rectangles would send Qt's painter down its slow path,
    // pixel by pixel and spread over threads.
    if (m_row)
        m_row->update();
    else
        update();
}

bool LedShape::event(QEvent *event)
{
    // A row paints only the LEDs that are shown.
    if (m_row && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        repaintShape();
    return QWidget::event(event);
}

namespace {

// Draws the circle of the given colour and size on the window colour back,
// into target, a picture of that size at its own scale.
void drawLed(QImage &target, Rgb24 fill, QSize size, const QColor &back)
{
    target.fill(back);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(redOf(fill), greenOf(fill), blueOf(fill)));
    painter.drawEllipse(QRectF(QPointF(), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5));
}

BoardColourPictures &boardColourPictures()
{
    static BoardColourPictures pictures;
    return pictures;
}

// Memory for the pictures of every board colour, of which only the pages of
// the pictures made are ever touched. A drag over a sequence of many
// colours makes a few at each step, and the first touch of each small page
// costs a fault. On Linux the block is asked for in huge pages, so it takes
// a handful of faults rather than thousands. Freed with std::free.
QRgb *allocateBlock(std::size_t bytes)
{
#ifdef Q_OS_LINUX
    constexpr std::size_t kHugePage = std::size_t(2) << 20;
    bytes = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void *block = std::aligned_alloc(kHugePage, bytes);
    if (block != nullptr)
        madvise(block, bytes, MADV_HUGEPAGE);
    return static_cast<QRgb *>(block);
#else
    return static_cast<QRgb *>(std::malloc(bytes));
#endif
}

} // namespace

void BoardColourPictures::FreeBlock::operator()(QRgb *block) const
{
    std::free(block);
}

const uchar *BoardColourPictures::find(Rgb24 fill, QSize size, const QColor &back, qreal ratio,
                                       qsizetype *bytesPerLine)
{
    const QSize pixels = size * ratio;
    if ((fill & 0x0F0F0F) != 0 || pixels.isEmpty() ||
        qsizetype(pixels.width()) * pixels.height() > kMostPixels)
        return nullptr;
    if (pixels != m_pixels || size != m_size || back.rgba() != m_back || ratio != m_ratio)
        setLook(size, pixels, back, ratio);
    const int index = (redOf(fill) >> 4) | (greenOf(fill) >> 4) << 4 | (blueOf(fill) >> 4) << 8;
    if (!m_block)
        return nullptr;
    QRgb *picture = m_block.get() + std::size_t(index) * m_count;
    *bytesPerLine = qsizetype(pixels.width()) * sizeof(QRgb);
    if (!m_made[std::size_t(index)]) {
        if (m_fromGreys)
            makeFromGreys(picture, fill);
        else
            draw(picture, fill);
        m_made[std::size_t(index)] = true;
    }
    return reinterpret_cast<const uchar *>(picture);
}

void BoardColourPictures::setLook(QSize size, QSize pixels, const QColor &back, qreal ratio)
{
    m_size = size;
    m_pixels = pixels;
    m_back = back.rgba();
    m_ratio = ratio;
    m_count = std::size_t(pixels.width()) * pixels.height();
    m_block.reset(allocateBlock(kColours * m_count * sizeof(QRgb)));
    m_made.fill(false);
    m_greys.reset(new QRgb[kLevels * m_count]);
    for (int level = 0; level < kLevels; ++level)
        draw(m_greys.get() + std::size_t(level) * m_count,
             rgb24(level * 16, level * 16, level * 16));
    m_fromGreys = true;
    std::vector<QRgb> drawn(m_count);
    std::vector<QRgb> made(m_count);
    for (const Rgb24 check : {rgb24(240, 96, 16), rgb24(32, 208, 144)}) {
        draw(drawn.data(), check);
        makeFromGreys(made.data(), check);
        m_fromGreys = m_fromGreys && drawn == made;
    }
}

void BoardColourPictures::draw(QRgb *picture, Rgb24 fill) const
{
    QImage image(reinterpret_cast<uchar *>(picture), m_pixels.width(), m_pixels.height(),
                 qsizetype(m_pixels.width()) * sizeof(QRgb), QImage::Format_RGB32);
    image.setDevicePixelRatio(m_ratio);
    drawLed(image, fill, m_size, QColor::fromRgba(m_back));
}

void BoardColourPictures::makeFromGreys(QRgb *picture, Rgb24 fill) const
{
    const QRgb *red = m_greys.get() + std::size_t(redOf(fill) >> 4) * m_count;
    const QRgb *green = m_greys.get() + std::size_t(greenOf(fill) >> 4) * m_count;
    const QRgb *blue = m_greys.get() + std::size_t(blueOf(fill) >> 4) * m_count;
    for (std::size_t i = 0; i < m_count; ++i)
        picture[i] = 0xFF000000u | (red[i] & 0x00FF0000u) | (green[i] & 0x0000FF00u) |
                     (blue[i] & 0x000000FFu);
}

QImage LedShape::picture(Rgb24 fill, QSize size, const QColor &back, qreal ratio)
{
    // A drag of scrLine shows dozens of LEDs at every step, and an
    // antialiased circle costs far more than a copy. A sequence may use
    // every colour the board shows (a rainbow or a fade does), so the
    // pictures are kept apart from Qt's pixmap cache, which holds a few
    // megabytes for the whole program: this cache holds every colour at the
    // largest size it was asked for, and drops the least used beyond that.
    static constexpr int kColours = BoardColourPictures::kColours;
    static QCache<PictureCache::Key, QImage> pictures;
    const PictureCache::Key key{{quint64(fill) << 32 | quint64(quint16(size.width())) << 16 |
                                     quint64(quint16(size.height())),
                                 back.rgba(), std::bit_cast<quint64>(ratio)}};
    if (const QImage *kept = pictures.object(key))
        return *kept;

    QImage drawn(size * ratio, QImage::Format_RGB32);
    drawn.setDevicePixelRatio(ratio);
    drawLed(drawn, fill, size, back);
    const qsizetype bytes = std::max<qsizetype>(drawn.sizeInBytes(), 1);
    if (pictures.maxCost() < kColours * bytes)
        pictures.setMaxCost(kColours * bytes);
    pictures.insert(key, new QImage(drawn), bytes);
    return drawn;
}

void LedShape::paintEvent(QPaintEvent *)
{
    QPainter(this).drawImage(
        0, 0, picture(m_fill, size(), palette().color(QPalette::Window), devicePixelRatioF()));
}

LedRow::LedRow(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LedRow::add(LedShape *led)
{
    led->m_row = this;
    // Qt paints no control whose updates are off, and sends it no paint
    // event; the row paints it instead. It is still shown, hidden and
    // placed like any other control.
    led->setAttribute(Qt::WA_OpaquePaintEvent, false);
    led->setUpdatesEnabled(false);
    m_leds.push_back(led);
    led->repaintShape();
}

void LedRow::addLabel(QLabel *label)
{
    m_label = label;
    // As for the LEDs; and a label that fills its own background counts as
    // opaque, so Qt would leave the row's repaint out where it lies.
    label->setAutoFillBackground(false);
    label->setUpdatesEnabled(false);
    label->installEventFilter(this);
    update();
}

void LedRow::addBox(TextBox *box, std::shared_ptr<LaidOutTexts> texts)
{
    m_box = box;
    box->setRestingPainter(this, std::move(texts));
}

void LedRow::setLabelText(const QString &text)
{
    if (m_label && m_label->text() != text) {
        m_label->setText(text);
        update();
    }
}

bool LedRow::eventFilter(QObject *watched, QEvent *event)
{
    // Whatever else changes the label's look comes to it as an event.
    if (watched == m_label) {
        switch (event->type()) {
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::PaletteChange:
        case QEvent::FontChange:
        case QEvent::EnabledChange:
        case QEvent::StyleChange:
        case QEvent::LayoutDirectionChange:
        case QEvent::ActivationChange:
            update();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void LedRow::paintBesideLeds(QPainter &painter) const
{
    if (m_label && !m_label->isHidden())
        paintLabel(painter);
    if (m_box && !m_box->isHidden() && m_box->paintedAtRest()) {
        painter.save();
        painter.translate(m_box->pos() - pos());
        m_box->paintAtRest(painter);
        painter.restore();
    }
}

void LedRow::paintLabel(QPainter &painter) const
{
    const QLabel &label = *m_label;
    const QRect place = label.geometry().translated(-pos());
    // The label's background, then its text as the style draws a label's
    // plain text: in its contents less its margin, in the text's direction.
    painter.fillRect(place, label.palette().brush(label.backgroundRole()));
    const int margin = label.margin();
    const QRect room =
        label.contentsRect().adjusted(margin, margin, -margin, -margin).translated(place.topLeft());
    const QString text = label.text();
    const Qt::LayoutDirection direction = text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
    const int flags =
        int(QStyle::visualAlignment(direction, label.alignment())) |
        (direction == Qt::LeftToRight ? Qt::TextForceLeftToRight : Qt::TextForceRightToLeft);
    painter.setFont(label.font());
    label.style()->drawItemText(&painter, room, flags, label.palette(), label.isEnabled(), text,
                                label.foregroundRole());
}

void LedRow::paintEvent(QPaintEvent *event)
{
    const QColor back = palette().color(QPalette::Window);
    const qreal ratio = devicePixelRatioF();
    QPainter painter(this);
    // At a scale such as 150 % an LED's picture is a device pixel wider than
    // its own area, and is cut to it as when each LED painted itself.
    if (ratio != qRound(ratio)) {
        painter.fillRect(event->rect(), back);
        for (const LedShape *led : m_leds) {
            const QRect place = led->geometry().translated(-pos());
            if (led->isHidden() || !event->region().intersects(place))
                continue;
            painter.setClipRect(place);
            painter.drawImage(place.topLeft(),
                              LedShape::picture(led->fillColour(), place.size(), back, ratio));
        }
        painter.setClipping(false);
        paintBesideLeds(painter);
        return;
    }

    // Each picture drawn on its own costs the painter more than its pixels
    // do: the LEDs' pictures are copied into one picture of the area, which
    // is drawn once.
    const int scale = qRound(ratio);
    const QRect area = event->rect();
    if (m_picture.size() != area.size() * scale)
        m_picture = QImage(area.size() * scale, QImage::Format_RGB32);
    m_picture.setDevicePixelRatio(ratio);
    m_picture.fill(back);
    for (const LedShape *led : m_leds) {
        const QRect place = led->geometry().translated(-pos());
        if (led->isHidden() || !place.intersects(area))
            continue;
        qsizetype bytesPerLine = 0;
        if (const uchar *bits = boardColourPictures().find(led->fillColour(), place.size(), back,
                                                           ratio, &bytesPerLine)) {
            PictureCache::copyInto(m_picture, area, bits, bytesPerLine, place, scale);
        } else {
            const QImage picture = LedShape::picture(led->fillColour(), place.size(), back, ratio);
            PictureCache::copyInto(m_picture, area, picture.constBits(), picture.bytesPerLine(),
                                   place, scale);
        }
    }
    painter.drawImage(area.topLeft(), m_picture);
    paintBesideLeds(painter);
}

} // namespace glowline
