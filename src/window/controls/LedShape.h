#pragma once

#include "model/Colour.h"

#include <QWidget>

namespace glowline {

// One LED of the line window: a circle filled with the LED's colour. It takes
// no mouse input, so a click falls through to the click target below it.
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

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Rgb24 m_fill = 0;
};

} // namespace glowline
