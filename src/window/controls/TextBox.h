#pragma once

#include <QLineEdit>

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
};

} // namespace glowline
