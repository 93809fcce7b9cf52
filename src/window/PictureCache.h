#pragma once

#include <QHash>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPixmapCache>

#include <array>
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

private:
    QHash<Key, QPixmapCache::Key> m_keys;
};

} // namespace glowline
