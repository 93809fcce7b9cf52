#pragma once

#include <QWidget>

namespace glowline {

// A rectangle outline around the editing area of the current line. It is
// drawn below the controls it surrounds and takes no mouse input.
class OutlineShape final : public QWidget
{
    Q_OBJECT

public:
    explicit OutlineShape(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(OutlineShape)

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace glowline
