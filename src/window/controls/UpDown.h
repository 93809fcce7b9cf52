#pragma once

#include <QWidget>

class QToolButton;

namespace glowline {

// A pair of arrows that steps an integer value within a range. It has no
// companion control; whoever uses it keeps a display in step through
// valueChanged, which fires whenever the value changes (by the arrows, the
// keyboard or code) and never when the value is set to what it already is.
class UpDown final : public QWidget
{
    Q_OBJECT

public:
    explicit UpDown(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(UpDown)

    int value() const { return m_value; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    int singleStep() const { return m_step; }
    void setRange(int minimum, int maximum);
    void setSingleStep(int step) { m_step = step; }

    // Clamps to the range; returns whether the value changed.
    bool setValue(int value);
    void stepUp() { setValue(m_value + m_step); }
    void stepDown() { setValue(m_value - m_step); }

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

signals:
    void valueChanged(int value);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    int m_value = 0;
    int m_minimum = 0;
    int m_maximum = 100;
    int m_step = 1;
};

} // namespace glowline
