#include "window/controls/ChannelSliderStyle.h"
#include "window/controls/ClickLabel.h"
#include "window/controls/FocusFrameStyle.h"
#include "window/controls/LedShape.h"
#include "window/controls/TextBox.h"
#include "window/controls/UpDown.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>
#include <QToolButton>

#include <cstring>
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
    void ledRowPaintsItsLeds();
    void ledPicturesKeepEveryColour();
    void boardColourPicturesAreTheCirclesDrawn_data();
    void boardColourPicturesAreTheCirclesDrawn();
    void scrollBarsShowThePlatformLook_data();
    void scrollBarsShowThePlatformLook();
    void ledRowPaintsItsLabel_data();
    void ledRowPaintsItsLabel();
    void ledRowPaintsItsBoxAtRest_data();
    void ledRowPaintsItsBoxAtRest();
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

void WindowControlsTest::ledRowPaintsItsLeds()
{
    QWidget window;
    window.resize(100, 40);
    auto *row = new LedRow(&window);
    row->setGeometry(10, 5, 60, 25);
    auto *shown = new LedShape(&window);
    shown->setGeometry(10, 5, 25, 25);
    auto *hidden = new LedShape(&window);
    hidden->setGeometry(45, 5, 25, 25);
    hidden->hide();
    row->add(shown);
    row->add(hidden);
    shown->setFillColour(rgb24(240, 128, 0));
    hidden->setFillColour(rgb24(0, 0, 240));

    // What the window shows: the row's LEDs where they lie, the window's
    // colour between them and where an LED is hidden.
    const QImage image = window.grab().toImage();
    const QColor back = window.palette().color(QPalette::Window);
    QCOMPARE(QColor(image.pixel(22, 17)), QColor(240, 128, 0));
    QCOMPARE(QColor(image.pixel(57, 17)), back);
    QCOMPARE(QColor(image.pixel(40, 17)), back);
    hidden->show();
    QCOMPARE(QColor(window.grab().toImage().pixel(57, 17)), QColor(0, 0, 240));
    // Each colour has a picture of its own, and a new window colour new
    // pictures (the LED's corner shows it).
    shown->setFillColour(rgb24(0, 128, 240));
    QCOMPARE(QColor(window.grab().toImage().pixel(22, 17)), QColor(0, 128, 240));
    QPalette green = window.palette();
    green.setColor(QPalette::Window, QColor(0, 96, 0));
    window.setPalette(green);
    QCOMPARE(QColor(window.grab().toImage().pixel(11, 6)), QColor(0, 96, 0));
    QCOMPARE(QColor(window.grab().toImage().pixel(22, 17)), QColor(0, 128, 240));
    window.setPalette(QPalette());
    shown->setFillColour(rgb24(240, 128, 0));

    // Painted in part, the row shows of each LED just what the LED paints on
    // its own at that place, and leaves the rest alone.
    LedShape alone;
    alone.resize(25, 25);
    alone.setFillColour(rgb24(240, 128, 0));
    const QImage own = alone.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage part(row->size(), QImage::Format_RGB32);
    part.fill(Qt::magenta);
    const QRect area(7, 3, 30, 20);
    // The area's corner lands at the given point of the picture.
    row->render(&part, area.topLeft(), QRegion(area), QWidget::RenderFlags());
    int differing = 0;
    for (int y = 0; y < part.height(); ++y) {
        for (int x = 0; x < 25; ++x) {
            const QRgb expected = area.contains(x, y) ? own.pixel(x, y) : QColor(Qt::magenta).rgb();
            differing += part.pixel(x, y) != expected;
        }
    }
    QCOMPARE(differing, 0);
    QCOMPARE(QColor(part.pixel(30, 10)), back);
    QCOMPARE(QColor(part.pixel(40, 10)), QColor(Qt::magenta));
}

void WindowControlsTest::ledPicturesKeepEveryColour()
{
    // A sequence may show every colour of the board, as a fade or a rainbow
    // does: at one size, all of them are kept, so a drag through such a
    // sequence draws no circle twice.
    const QSize size(25, 25);
    const QColor back(Qt::lightGray);
    const qint64 first = LedShape::picture(expand(0), size, back, 1.0).cacheKey();
    for (int packed = 1; packed < 4096; ++packed)
        LedShape::picture(expand(packed), size, back, 1.0);
    QCOMPARE(LedShape::picture(expand(0), size, back, 1.0).cacheKey(), first);
}

namespace {

// A window with a row of the line window below all it holds.
constexpr QSize kRowWindow(100, 25);
struct RowWindow
{
    QWidget window;
    LedRow *row = new LedRow(&window);
    RowWindow()
    {
        window.resize(kRowWindow);
        row->setGeometry(QRect(QPoint(), kRowWindow));
    }
};

// What a control that make() puts in a window like the row's shows when it
// paints itself with the given text.
template <typename Make> QImage paintedAlone(const Make &make, const QString &text)
{
    QWidget own;
    own.resize(kRowWindow);
    make(&own)->setText(text);
    return own.grab().toImage();
}

} // namespace

void WindowControlsTest::ledRowPaintsItsLabel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("highlighted");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("number") << QStringLiteral("1234") << false << true;
    QTest::newRow("widest number") << QStringLiteral("32767") << false << true;
    QTest::newRow("highlighted") << QStringLiteral("17") << true << true;
    QTest::newRow("disabled") << QStringLiteral("5") << false << false;
}

void WindowControlsTest::ledRowPaintsItsLabel()
{
    QFETCH(QString, text);
    QFETCH(bool, highlighted);
    QFETCH(bool, enabled);
    // A label as the line window makes one, painting itself.
    const auto makeLabel = [&](QWidget *parent) {
        auto *label = new QLabel(QStringLiteral("1"), parent);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setAutoFillBackground(true);
        label->setGeometry(2, 4, 40, 17);
        // The window's own font, as fitted to its captions.
        QFont font = label->font();
        font.setPointSizeF(7.5);
        label->setFont(font);
        QPalette colours = label->palette();
        if (highlighted) {
            colours.setColor(QPalette::Window, colours.color(QPalette::Highlight));
            colours.setColor(QPalette::WindowText, colours.color(QPalette::HighlightedText));
        }
        label->setPalette(colours);
        label->setEnabled(enabled);
        return label;
    };
    const QImage alone = paintedAlone(makeLabel, text);
    RowWindow shown;
    QLabel *label = makeLabel(&shown.window);
    shown.row->addLabel(label);
    // Each of these comes to the row after the first paint, which it must
    // follow.
    QCOMPARE(shown.window.grab().toImage().pixel(label->geometry().center()),
             label->palette().color(QPalette::Window).rgb());
    shown.row->setLabelText(text);
    QCOMPARE(label->text(), text);
    QCOMPARE(shown.window.grab().toImage(), alone);
}

void WindowControlsTest::ledRowPaintsItsBoxAtRest_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<qreal>("pointSize");
    QTest::newRow("duration") << QStringLiteral("1.50") << true << 0.0;
    QTest::newRow("longest duration") << QStringLiteral("40.95") << true << 0.0;
    QTest::newRow("comma, smaller font") << QStringLiteral("0,05") << true << 7.5;
    QTest::newRow("disabled") << QStringLiteral("2.00") << false << 0.0;
}

void WindowControlsTest::ledRowPaintsItsBoxAtRest()
{
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(qreal, pointSize);
    // A read-only box as the line window makes one, painting itself.
    const auto makeBox = [&](QWidget *parent) {
        auto *box = new TextBox(parent);
        box->setReadOnly(true);
        box->setGeometry(50, 2, 41, 19);
        if (pointSize > 0) {
            QFont font = box->font();
            font.setPointSizeF(pointSize);
            box->setFont(font);
        }
        box->setEnabled(enabled);
        return box;
    };
    const QImage alone = paintedAlone(makeBox, text);
    RowWindow shown;
    TextBox *box = makeBox(&shown.window);
    shown.row->addBox(box, std::make_shared<LaidOutTexts>());
    box->setText(text);
    shown.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&shown.window));
    // Shown, a window gives the focus to its first control.
    box->clearFocus();
    QVERIFY(box->paintedAtRest());
    QCOMPARE(shown.window.grab().toImage(), alone);

    // With the focus, the box paints itself again; without, the row does.
    if (enabled) {
        box->setFocus();
        QVERIFY(!box->paintedAtRest());
        box->clearFocus();
        QVERIFY(box->paintedAtRest());
    }
}

void WindowControlsTest::boardColourPicturesAreTheCirclesDrawn_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("back");
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("line window") << QSize(25, 25) << QColor(239, 239, 239) << 1.0;
    QTest::newRow("dark, twice the scale") << QSize(25, 25) << QColor(40, 40, 48) << 2.0;
    QTest::newRow("odd size") << QSize(17, 13) << QColor(255, 255, 255) << 1.0;
}

void WindowControlsTest::boardColourPicturesAreTheCirclesDrawn()
{
    QFETCH(QSize, size);
    QFETCH(QColor, back);
    QFETCH(qreal, ratio);
    // Every board colour's picture, made from the greys', is pixel for pixel
    // the circle the painter draws in that colour.
    BoardColourPictures pictures;
    int differing = 0;
    for (int packed = 0; packed < BoardColourPictures::kColours; ++packed) {
        qsizetype bytesPerLine = 0;
        const uchar *bits = pictures.find(expand(packed), size, back, ratio, &bytesPerLine);
        QVERIFY(bits != nullptr);
        const QImage drawn = LedShape::picture(expand(packed), size, back, ratio);
        for (int y = 0; y < drawn.height(); ++y)
            differing += std::memcmp(bits + y * bytesPerLine, drawn.constScanLine(y),
                                     std::size_t(drawn.width()) * sizeof(QRgb)) != 0;
    }
    QVERIFY(pictures.madeFromGreys());
    QCOMPARE(differing, 0);
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
