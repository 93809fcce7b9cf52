#pragma once

#include "model/Colour.h"

#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

namespace glowline {

class LedRow;
class LaidOutTexts;
class TextBox;

// One LED of the line window: a circle filled with the LED's colour. It takes
// no mouse input, so a click falls through to the click target below it.
//
// On its own an LED paints itself. Placed in a row (LedRow::add), it leaves
// its painting to the row, which paints all its LEDs at once.
class LedShape final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor fillColor READ fillQColor)

public:
    explicit LedShape(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(LedShape)

    Rgb24 fillColour() const { return m_fill; }
    QColor fillQColor() const;
    // Repaints only when the colour really changes, so redrawing a whole
    // line window with the same colours costs nothing on screen.
    void setFillColour(Rgb24 colour);

    // The circle of the given colour and size on the window colour back,
    // drawn once for each look and then kept.
    static QImage picture(Rgb24 fill, QSize size, const QColor &back, qreal ratio);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class LedRow;
    void repaintShape();

    Rgb24 m_fill = 0;
    // Rows are made before their LEDs, so they are destroyed first.
    QPointer<LedRow> m_row;
};

// The LED pictures of the board's 4,096 colours at one look (size, window
// colour and scale), side by side in one block of memory, each made when its
// colour is first shown. A drag of scrLine shows dozens of colours at every
// step, at random in a sequence of many colours: found by its colour alone,
// a picture's pixels are all the memory a row touches for it.
//
// The painter blends each channel of a pixel on its own, so a pixel's red
// depends only on the fill's red, and so on. The board has sixteen levels
// of each channel: the pictures of the sixteen greys hold every level of
// every pixel, and any board colour's picture is made from three of them,
// far faster than a circle is drawn. Should a painter blend otherwise, a
// check of two colours when the look is set finds it, and the circles are
// drawn one by one.
class BoardColourPictures
{
public:
    static constexpr int kColours = 4096;
    static constexpr int kLevels = 16;
    // Larger pictures are left to the general cache: the block would be
    // too large.
    static constexpr int kMostPixels = 64 * 64;

    // The first scan line of the picture, with the bytes from one line to
    // the next; null for a colour the board does not show or a look too
    // large. Another look than the last one asked for starts anew.
    const uchar *find(Rgb24 fill, QSize size, const QColor &back, qreal ratio,
                      qsizetype *bytesPerLine);
    // Whether the pictures of the current look are made from the greys.
    bool madeFromGreys() const { return m_fromGreys; }

private:
    void setLook(QSize size, QSize pixels, const QColor &back, qreal ratio);
    void draw(QRgb *picture, Rgb24 fill) const;
    void makeFromGreys(QRgb *picture, Rgb24 fill) const;

    struct FreeBlock
    {
        void operator()(QRgb *block) const;
    };

    QSize m_size;
    QSize m_pixels;
    QRgb m_back = 0;
    qreal m_ratio = 0;
    std::size_t m_count = 0;
    std::unique_ptr<QRgb[], FreeBlock> m_block;
    std::array<bool, kColours> m_made{};
    std::unique_ptr<QRgb[]> m_greys;
    bool m_fromGreys = false;
};

// Paints a row of LEDs that lie side by side as one control, and the row's
// line number and duration box beside them. Every control repainted costs Qt
// bookkeeping that grows with the number of controls repainted together,
// and a drag of scrLine changes whole rows at a time. The row lies below its
// LEDs, its label and its box, covers every pixel between them in the
// window's own colour and, like them, lets clicks fall through.
class LedRow final : public QWidget
{
    Q_OBJECT

public:
    explicit LedRow(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(LedRow)

    // Takes over the painting of led, a sibling that lies within the row.
    void add(LedShape *led);
    // Takes over the painting of label, a sibling with plain text that lies
    // within the row. Its text is set with setLabelText from then on, so
    // that the row knows to repaint it.
    void addLabel(QLabel *label);
    void setLabelText(const QString &text);
    // Takes over the painting of box, a sibling that lies within the row,
    // while the box is at rest (see TextBox::setRestingPainter).
    void addBox(TextBox *box, std::shared_ptr<LaidOutTexts> texts);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Draws the label and the box as they draw themselves, at their places.
    void paintBesideLeds(QPainter &painter) const;
    void paintLabel(QPainter &painter) const;

    std::vector<LedShape *> m_leds;
    QPointer<QLabel> m_label;
    QPointer<TextBox> m_box;
    // The last area painted, kept so that each paint need not allocate it.
    QImage m_picture;
};

} // namespace glowline
