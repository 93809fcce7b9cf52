#pragma once

#include <QLineEdit>
#include <QProxyStyle>

namespace glowline {

// A one-line text box that reports when the input focus moves to another
// control of the window. Focus that leaves with the whole window (another
// window activated, a popup or a modal dialog opened) is not reported: the
// box still holds the focus within the window.
class TextBox final : public QLineEdit
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(TextBox)

signals:
    void focusLost();

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// The platform's look for text boxes, with each box's panel drawn once for
// each look and then copied: a drag of scrLine repaints seven boxes at every
// step, and the panel's rounded, shaded frame costs far more than a copy.
class TextBoxStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    TextBoxStyle() = default;
    Q_DISABLE_COPY_MOVE(TextBoxStyle)

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};

} // namespace glowline
