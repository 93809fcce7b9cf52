#pragma once

#include "model/Colour.h"

#include <QLabel>

namespace glowline {

// A label that reports clicks and double-clicks, and whose background colour
// is a value the editor reads back (palette swatches, the active colour).
// A double-click arrives as a click followed by a double-click; the release
// that ends the double-click is no second click.
class ClickLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit ClickLabel(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ClickLabel)

    Rgb24 backColour() const { return m_back; }
    void setBackColour(Rgb24 colour);

signals:
    void clicked();
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    Rgb24 m_back = 0;
    bool m_pressed = false;
};

} // namespace glowline
