#pragma once

#include "model/Colour.h"

#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QWidget>

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
