#include "window/controls/UpDown.h"

#include "window/controls/FocusFrameStyle.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>

#include <algorithm>

namespace glowline {

namespace {

QToolButton *makeArrow(QWidget *parent, Qt::ArrowType arrow, const QString &name)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

UpDown::UpDown(QWidget *parent)
    : QWidget(parent), m_up(makeArrow(this, Qt::UpArrow, QStringLiteral("up"))),
      m_down(makeArrow(this, Qt::DownArrow, QStringLiteral("down")))
{
    setFocusPolicy(Qt::StrongFocus);
    // Pressing an arrow takes the focus first, like any other control, so a
    // text box that loses it commits its text before the value steps.
    const auto takeFocus = [this] { setFocus(Qt::MouseFocusReason); };
    connect(m_up, &QToolButton::pressed, this, takeFocus);
    connect(m_down, &QToolButton::pressed, this, takeFocus);
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
}

void UpDown::setRange(int minimum, int maximum)
{
    m_minimum = minimum;
    m_maximum = std::max(minimum, maximum);
    setValue(m_value);
}

bool UpDown::setValue(int value)
{
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value)
        return false;
    m_value = value;
    emit valueChanged(m_value);
    return true;
}

void UpDown::resizeEvent(QResizeEvent *)
{
    // The arrows leave a pixel free around them for the focus frame.
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    const int upper = inner.height() / 2;
    m_up->setGeometry(inner.left(), inner.top(), inner.width(), upper);
    m_down->setGeometry(inner.left(), inner.top() + upper, inner.width(), inner.height() - upper);
}

// QWidget repaints on every change of focus.
void UpDown::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    FocusFrameStyle::drawFocusFrame(painter, rect(), palette());
}

void UpDown::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        stepUp();
        break;
    case Qt::Key_Down:
        stepDown();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace glowline
