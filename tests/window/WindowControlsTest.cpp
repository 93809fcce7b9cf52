#include "window/controls/ChannelSliderStyle.h"
#include "window/controls/ClickLabel.h"
#include "window/controls/FocusFrameStyle.h"
#include "window/controls/LedShape.h"
#include "window/controls/TextBox.h"
#include "window/controls/UpDown.h"

#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolButton>

#include <memory>

using namespace glowline;

class WindowControlsTest final : public QObject
{
    Q_OBJECT

private slots:
    void upDownSignalsEveryChangeOnly();
    void upDownClampsToItsRange();
    void upDownArrowsStep();
    void upDownKeys();
    void clickLabelClick();
    void clickLabelDoubleClickIsOneClickThenDoubleClick();
    void clickLabelReleaseOutsideIsNoClick();
    void clickLabelBackColour();
    void ledShapeTakesNoMouse();
    void ledShapeFillColour();
    void scrollBarsShowThePlatformLook_data();
    void scrollBarsShowThePlatformLook();
    void textBoxReportsFocusMovingToAnotherControl();
};

void WindowControlsTest::upDownSignalsEveryChangeOnly()
{
    UpDown upDown;
    upDown.setRange(0, 4095);
    upDown.setSingleStep(5);
    QSignalSpy spy(&upDown, &UpDown::valueChanged);
    QVERIFY(upDown.setValue(150));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.last().at(0).toInt(), 150);
    QVERIFY(!upDown.setValue(150));
    QCOMPARE(spy.count(), 1);
    QVERIFY(upDown.setValue(0));
    QCOMPARE(spy.count(), 2);
}

void WindowControlsTest::upDownClampsToItsRange()
{
    UpDown upDown;
    upDown.setRange(0, 4095);
    upDown.setSingleStep(5);
    upDown.setValue(5000);
    QCOMPARE(upDown.value(), 4095);
    upDown.stepUp();
    QCOMPARE(upDown.value(), 4095);
    upDown.setValue(3);
    upDown.stepDown();
    QCOMPARE(upDown.value(), 0);
    upDown.setValue(-7);
    QCOMPARE(upDown.value(), 0);
}

void WindowControlsTest::upDownArrowsStep()
{
    UpDown upDown;
    upDown.setRange(0, 4095);
    upDown.setSingleStep(5);
    upDown.resize(16, 17);
    upDown.show();
    QVERIFY(QTest::qWaitForWindowExposed(&upDown));
    upDown.setValue(150);
    QSignalSpy spy(&upDown, &UpDown::valueChanged);
    auto *up = upDown.findChild<QToolButton *>(QStringLiteral("up"));
    auto *down = upDown.findChild<QToolButton *>(QStringLiteral("down"));
    QVERIFY(up && down);
    QVERIFY(up->geometry().bottom() < down->geometry().top());
    QTest::mouseClick(up, Qt::LeftButton);
    QCOMPARE(upDown.value(), 155);
    QTest::mouseClick(down, Qt::LeftButton);
    QTest::mouseClick(down, Qt::LeftButton);
    QCOMPARE(upDown.value(), 145);
    QCOMPARE(spy.count(), 3);
}

void WindowControlsTest::upDownKeys()
{
    UpDown upDown;
    upDown.setRange(0, 4095);
    upDown.setSingleStep(5);
    QTest::keyClick(&upDown, Qt::Key_Up);
    QCOMPARE(upDown.value(), 5);
    QTest::keyClick(&upDown, Qt::Key_Down);
    QCOMPARE(upDown.value(), 0);
}

void WindowControlsTest::clickLabelClick()
{
    ClickLabel label;
    label.resize(25, 25);
    QSignalSpy clicks(&label, &ClickLabel::clicked);
    QSignalSpy doubles(&label, &ClickLabel::doubleClicked);
    QTest::mouseClick(&label, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(clicks.count(), 1);
    QCOMPARE(doubles.count(), 0);
    QTest::mouseClick(&label, Qt::RightButton, {}, QPoint(1, 1));
    QCOMPARE(clicks.count(), 1);
}

void WindowControlsTest::clickLabelDoubleClickIsOneClickThenDoubleClick()
{
    ClickLabel label;
    label.resize(25, 25);
    QStringList events;
    connect(&label, &ClickLabel::clicked, &label, [&] { events << QStringLiteral("click"); });
    connect(&label, &ClickLabel::doubleClicked, &label,
            [&] { events << QStringLiteral("double"); });
    // What the platform sends for a double-click: two presses and releases,
    // the second press followed by a double-click event.
    const QPoint at(12, 12);
    QTest::mousePress(&label, Qt::LeftButton, {}, at);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, at);
    QTest::mousePress(&label, Qt::LeftButton, {}, at);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, at, label.mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&label, &dbl);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, at);
    QCOMPARE(events, (QStringList{QStringLiteral("click"), QStringLiteral("double")}));
}

void WindowControlsTest::clickLabelReleaseOutsideIsNoClick()
{
    ClickLabel label;
    label.resize(25, 25);
    QSignalSpy clicks(&label, &ClickLabel::clicked);
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(40, 5));
    QCOMPARE(clicks.count(), 0);
}

void WindowControlsTest::clickLabelBackColour()
{
    ClickLabel label;
    label.setBackColour(rgb24(255, 128, 7));
    QCOMPARE(label.backColour(), rgb24(255, 128, 7));
    QCOMPARE(label.palette().color(QPalette::Window), QColor(255, 128, 7));
    QVERIFY(label.autoFillBackground());
}

void WindowControlsTest::ledShapeTakesNoMouse()
{
    QWidget parent;
    parent.resize(50, 50);
    auto *below = new ClickLabel(&parent);
    below->setGeometry(0, 0, 25, 25);
    auto *led = new LedShape(&parent);
    led->setGeometry(0, 0, 25, 25);
    QCOMPARE(parent.childAt(12, 12), below);
    QCOMPARE(parent.childAt(0, 0), below);
}

void WindowControlsTest::ledShapeFillColour()
{
    LedShape led;
    QCOMPARE(led.fillColour(), rgb24(0, 0, 0));
    led.setFillColour(rgb24(240, 128, 0));
    QCOMPARE(led.fillColour(), rgb24(240, 128, 0));
    QCOMPARE(led.property("fillColor").value<QColor>(), QColor(240, 128, 0));

    // The painted circle carries the fill colour at its centre; the corners
    // are painted in the window's own colour, whatever lay there before.
    led.resize(25, 25);
    QPixmap pixmap(led.size());
    pixmap.fill(Qt::white);
    led.render(&pixmap, QPoint(), QRegion(), QWidget::RenderFlags());
    const QImage image = pixmap.toImage();
    QCOMPARE(QColor(image.pixel(12, 12)), QColor(240, 128, 0));
    QCOMPARE(QColor(image.pixel(0, 0)), led.palette().color(QPalette::Window));
}

void WindowControlsTest::scrollBarsShowThePlatformLook_data()
{
    QTest::addColumn<bool>("channel");
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("pageStep");
    QTest::newRow("scrLine, full sequence")
        << false << Qt::Vertical << Qt::LeftToRight << QSize(17, 321) << 32767 << 6;
    QTest::newRow("horizontal, right to left")
        << false << Qt::Horizontal << Qt::RightToLeft << QSize(321, 17) << 5000 << 6;
    QTest::newRow("a few lines: a long thumb")
        << false << Qt::Vertical << Qt::LeftToRight << QSize(17, 321) << 40 << 6;
    QTest::newRow("colour slider")
        << true << Qt::Vertical << Qt::LeftToRight << QSize(9, 57) << 15 << 1;
}

void WindowControlsTest::scrollBarsShowThePlatformLook()
{
    QFETCH(bool, channel);
    QFETCH(Qt::Orientation, orientation);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(QSize, size);
    QFETCH(int, maximum);
    QFETCH(int, pageStep);
    // Without the focus, the bar at every value shows pixel for pixel what
    // the platform style draws there on the window's colour.
    class Bar final : public QScrollBar
    {
    public:
        using QScrollBar::QScrollBar;
        QStyleOptionSlider look() const
        {
            QStyleOptionSlider option;
            initStyleOption(&option);
            option.subControls = QStyle::SC_All;
            return option;
        }
    };
    std::unique_ptr<FocusFrameStyle> style;
    if (channel)
        style = std::make_unique<ChannelSliderStyle>();
    else
        style = std::make_unique<FocusFrameStyle>();
    Bar bar(orientation);
    bar.setStyle(style.get());
    bar.setLayoutDirection(direction);
    bar.resize(size);
    bar.setRange(0, maximum);
    bar.setPageStep(pageStep);
    int differing = 0;
    for (int value = 0; value <= maximum; value += std::max(1, maximum / 600)) {
        bar.setValue(value);
        const QStyleOptionSlider look = bar.look();
        QImage drawn(size, QImage::Format_RGB32);
        drawn.fill(bar.palette().color(QPalette::Window));
        QPainter painter(&drawn);
        style->QProxyStyle::drawComplexControl(QStyle::CC_ScrollBar, &look, &painter, &bar);
        painter.end();
        differing += bar.grab().toImage().convertToFormat(QImage::Format_RGB32) != drawn;
    }
    QCOMPARE(differing, 0);
}

void WindowControlsTest::textBoxReportsFocusMovingToAnotherControl()
{
    QWidget window;
    auto *box = new TextBox(&window);
    auto *other = new QLineEdit(&window);
    other->move(0, 40);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QSignalSpy lost(box, &TextBox::focusLost);
    box->setFocus(Qt::TabFocusReason);
    QVERIFY(box->hasFocus());
    other->setFocus(Qt::TabFocusReason);
    QCOMPARE(lost.count(), 1);

    // Leaving with the whole window is not leaving the box.
    box->setFocus(Qt::TabFocusReason);
    QFocusEvent windowGone(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(box, &windowGone);
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(box, &popup);
    QCOMPARE(lost.count(), 1);
}

QTEST_MAIN(WindowControlsTest)
#include "WindowControlsTest.moc"
