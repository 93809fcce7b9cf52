#pragma once

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>

#include <array>
#include <cstring>
#include <utility>

namespace glowline {

// Pictures that controls draw once for each look and then copy, kept in Qt's
// pixmap cache (so their memory stays bounded) but found by a few numbers
// rather than a text key: a drag of scrLine asks for over a hundred of them
// at every step.
class PictureCache
{
public:
    // Every number the picture depends on.
    struct Key
    {
        std::array<quint64, 5> numbers{};
        friend bool operator==(const Key &, const Key &) = default;
        friend size_t qHash(const Key &key, size_t seed = 0)
        {
            return qHashRange(key.numbers.begin(), key.numbers.end(), seed);
        }
    };

    // The picture kept for key, or the one draw() returns, kept from now on.
    template <typename Draw> QPixmap find(const Key &key, Draw &&draw)
    {
        QPixmap picture;
        const auto known = m_keys.constFind(key);
        if (known != m_keys.cend() && QPixmapCache::find(*known, &picture))
            return picture;
        picture = std::forward<Draw>(draw)();
        m_keys.insert(key, QPixmapCache::insert(picture));
        return picture;
    }

    // A picture of the given size and scale, filled with the palette's
    // window colour and then drawn on by draw(painter): the look of a control
    // that paints every pixel it covers.
    template <typename Draw>
    static QPixmap onWindowColour(QSize size, qreal ratio, const QPalette &palette, Draw &&draw)
    {
        QPixmap drawn(size * ratio);
        drawn.setDevicePixelRatio(ratio);
        drawn.fill(palette.color(QPalette::Window));
        QPainter painter(&drawn);
        std::forward<Draw>(draw)(painter);
        painter.end();
        return drawn;
    }

    // Copies the part of a picture that lies in canvasArea into canvas, a
    // picture of that area; place is where the picture lies, in the same
    // coordinates, and bits its first scan line. Both pictures are 32-bit
    // and scale device pixels to each unit of those coordinates. Many small
    // pictures copied into one that is drawn once cost far less than each
    // drawn by the painter on its own.
    static void copyInto(QImage &canvas, const QRect &canvasArea, const uchar *bits,
                         qsizetype bytesPerLine, const QRect &place, int scale)
    {
        const QRect shown = place & canvasArea;
        if (shown.isEmpty())
            return;
        const QRect from{(shown.topLeft() - place.topLeft()) * scale, shown.size() * scale};
        const QPoint to = (shown.topLeft() - canvasArea.topLeft()) * scale;
        const auto bytes = std::size_t(from.width()) * sizeof(QRgb);
        const qsizetype targetLine = canvas.bytesPerLine();
        const uchar *source = bits + from.y() * bytesPerLine + from.x() * sizeof(QRgb);
        uchar *target = canvas.scanLine(to.y()) + to.x() * sizeof(QRgb);
        for (int y = 0; y < from.height(); ++y) {
            std::memcpy(target, source, bytes);
            source += bytesPerLine;
            target += targetLine;
        }
    }

private:
    QHash<Key, QPixmapCache::Key> m_keys;
};

} // namespace glowline
