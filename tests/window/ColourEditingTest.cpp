#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "window/controls/ClickLabel.h"
#include "window/controls/LedShape.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace glowline;
using glowline::test::control;

class ColourEditingTest final : public test::WindowFixture
{
    Q_OBJECT

public:
    ColourEditingTest() : WindowFixture(Show::Exposed) {}

private slots:
    void typicalRoad();
    void paletteClickSetsTheActiveColourOnly();
    void paletteDoubleClick_data();
    void paletteDoubleClick();
    void paletteDoubleClickCancelled();
    void pipetteTogglesPickMode();
    void pickTakesTheShownColourAndEnds();
    void paletteClickKeepsPickMode();
    void fillPaintsEveryLed();
    void fillInPickModeKeepsPickMode();
    void fillWithTheSameColourStillMarks();
    void sliders_data();
    void sliders();
    void draggingASliderWritesEveryPosition();
    void paintedLedOnlyChangesTheCurrentLine();

private:
    ClickLabel *swatch(int i) const { return control<ClickLabel>(*m_window, "lblColor", i); }
    ClickLabel *activeColour() const
    {
        return control<ClickLabel>(*m_window, QStringLiteral("lblActiveColor"));
    }
    QString marker() const
    {
        return control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text();
    }
    void clickLed(int k);
    void doubleClick(QWidget *widget);
    void clickButton(const char *name);
};

void ColourEditingTest::clickLed(int k)
{
    // Through the window, so the click lands wherever the LED's square says.
    auto *target = control<ClickLabel>(*m_window, "lblLED", k);
    QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {},
                      target->mapTo(m_window, QPoint(12, 12)));
}

void ColourEditingTest::doubleClick(QWidget *widget)
{
    // Through the window, which turns two quick clicks into what the platform
    // delivers: press, release, press, double-click, release.
    QTest::mouseDClick(m_window->windowHandle(), Qt::LeftButton, {},
                       widget->mapTo(m_window, widget->rect().center()));
}

void ColourEditingTest::clickButton(const char *name)
{
    QTest::mouseClick(control<QPushButton>(*m_window, QString::fromLatin1(name)), Qt::LeftButton);
}

void ColourEditingTest::typicalRoad()
{
    QTest::mouseClick(swatch(5), Qt::LeftButton);
    QCOMPARE(activeColour()->backColour(), rgb24(255, 0, 0));
    clickLed(4);
    QCOMPARE(m_window->document().table().cell(4, 1), Cell(0xF00));
    QCOMPARE(test::rgbText(control<LedShape>(*m_window, "shpLED", 304)->fillColour()),
             test::rgbText(rgb24(240, 0, 0)));
    QCOMPARE(control<QScrollBar>(*m_window, "scrR", 4)->value(), 0);
    QCOMPARE(control<QScrollBar>(*m_window, "scrG", 4)->value(), 15);
    QCOMPARE(control<QScrollBar>(*m_window, "scrB", 4)->value(), 15);
    QCOMPARE(marker(), QStringLiteral("*"));
    // Nothing else of the line changed.
    for (int column = 0; column < 12; ++column)
        if (column != 4)
            QCOMPARE(m_window->document().table().cell(column, 1), Cell(0));
}

void ColourEditingTest::paletteClickSetsTheActiveColourOnly()
{
    for (int i : {1, 14, 0}) {
        QTest::mouseClick(swatch(i), Qt::LeftButton);
        QCOMPARE(activeColour()->backColour(), swatch(i)->backColour());
    }
    QCOMPARE(marker(), QString());
    QVERIFY(!m_window->isPickMode());
}

void ColourEditingTest::paletteDoubleClick_data()
{
    QTest::addColumn<int>("chosenRed");
    QTest::addColumn<int>("chosenGreen");
    QTest::addColumn<int>("chosenBlue");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("green");
    QTest::addColumn<int>("blue");
    QTest::newRow("top four bits kept") << 255 << 128 << 7 << 240 << 128 << 0;
    QTest::newRow("dark becomes black") << 15 << 15 << 15 << 0 << 0 << 0;
    QTest::newRow("exact") << 16 << 32 << 48 << 16 << 32 << 48;
}

void ColourEditingTest::paletteDoubleClick()
{
    QFETCH(int, chosenRed);
    QFETCH(int, chosenGreen);
    QFETCH(int, chosenBlue);
    QFETCH(int, red);
    QFETCH(int, green);
    QFETCH(int, blue);

    const Rgb24 old = swatch(7)->backColour();
    m_dialogs->colours.push_back(rgb24(chosenRed, chosenGreen, chosenBlue));
    doubleClick(swatch(7));
    QCOMPARE(m_dialogs->colourPresets, QList<Rgb24>{old});
    QCOMPARE(test::rgbText(swatch(7)->backColour()), test::rgbText(rgb24(red, green, blue)));
    // The click half of the gesture made the old colour active.
    QCOMPARE(test::rgbText(activeColour()->backColour()), test::rgbText(old));
    QTest::mouseClick(swatch(7), Qt::LeftButton);
    QCOMPARE(test::rgbText(activeColour()->backColour()), test::rgbText(rgb24(red, green, blue)));
    QCOMPARE(marker(), QString());
}

void ColourEditingTest::paletteDoubleClickCancelled()
{
    const Rgb24 old = swatch(9)->backColour();
    m_dialogs->colours.push_back(std::nullopt);
    doubleClick(swatch(9));
    QCOMPARE(m_dialogs->colourPresets.size(), 1);
    QCOMPARE(swatch(9)->backColour(), old);
    QCOMPARE(activeColour()->backColour(), old);
    QCOMPARE(marker(), QString());
}

void ColourEditingTest::pipetteTogglesPickMode()
{
    QVERIFY(!m_window->isPickMode());
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    auto *box = control<QLineEdit>(*m_window, "txtTime", 3);
    auto *readOnlyBox = control<QLineEdit>(*m_window, "txtTime", 0);
    const Qt::CursorShape boxCursor = box->cursor().shape();
    const Qt::CursorShape readOnlyCursor = readOnlyBox->cursor().shape();

    clickButton("cmdPipette");
    QVERIFY(m_window->isPickMode());
    QCOMPARE(m_window->cursor().shape(), Qt::CrossCursor);
    // Over the whole window, text boxes included.
    QCOMPARE(box->cursor().shape(), Qt::CrossCursor);
    QCOMPARE(readOnlyBox->cursor().shape(), Qt::CrossCursor);
    QCOMPARE(control<QScrollBar>(*m_window, "scrR", 0)->cursor().shape(), Qt::CrossCursor);

    clickButton("cmdPipette");
    QVERIFY(!m_window->isPickMode());
    QCOMPARE(m_window->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(box->cursor().shape(), boxCursor);
    QCOMPARE(readOnlyBox->cursor().shape(), readOnlyCursor);
    QCOMPARE(marker(), QString());
}

void ColourEditingTest::pickTakesTheShownColourAndEnds()
{
    // White painted onto an LED shows as (240, 240, 240), and that is what a
    // pick takes.
    QTest::mouseClick(swatch(1), Qt::LeftButton);
    clickLed(2);
    QCOMPARE(m_window->document().table().cell(2, 1), Cell(0xFFF));
    m_window->document().state().clearChangedMarker();
    QTest::mouseClick(swatch(0), Qt::LeftButton);

    clickButton("cmdPipette");
    clickLed(2);
    QCOMPARE(test::rgbText(activeColour()->backColour()), test::rgbText(rgb24(240, 240, 240)));
    QVERIFY(!m_window->isPickMode());
    // A pick counts as a change although no cell changed.
    QCOMPARE(marker(), QStringLiteral("*"));
    QCOMPARE(m_window->document().table().cell(2, 1), Cell(0xFFF));

    // The next click paints again.
    clickLed(3);
    QCOMPARE(m_window->document().table().cell(3, 1), Cell(0xFFF));
}

void ColourEditingTest::paletteClickKeepsPickMode()
{
    clickButton("cmdPipette");
    QTest::mouseClick(swatch(13), Qt::LeftButton);
    QVERIFY(m_window->isPickMode());
    QCOMPARE(activeColour()->backColour(), rgb24(0, 0, 255));
    clickLed(0);
    // Still picked, not painted: the LED was black.
    QCOMPARE(activeColour()->backColour(), rgb24(0, 0, 0));
    QCOMPARE(m_window->document().table().cell(0, 1), Cell(0));
}

void ColourEditingTest::fillPaintsEveryLed()
{
    test::loadTable(*m_window, test::patternTable(3), 2);
    QTest::mouseClick(swatch(6), Qt::LeftButton); // olive (128, 128, 0)
    clickButton("cmdFillLine");
    for (int c = 0; c < 11; ++c) {
        QCOMPARE(m_window->document().table().cell(c, 2), Cell(0x880));
        QCOMPARE(control<LedShape>(*m_window, "shpLED", 300 + c)->fillColour(), rgb24(128, 128, 0));
        QCOMPARE(control<QScrollBar>(*m_window, "scrR", c)->value(), 7);
        QCOMPARE(control<QScrollBar>(*m_window, "scrG", c)->value(), 7);
        QCOMPARE(control<QScrollBar>(*m_window, "scrB", c)->value(), 15);
    }
    // The duration and the other lines are untouched.
    QCOMPARE(m_window->document().table().duration(2), test::patternTable(3).duration(2));
    QCOMPARE(m_window->document().table().line(1)[0], test::patternTable(3).line(1)[0]);
    QCOMPARE(marker(), QStringLiteral("*"));
}

void ColourEditingTest::fillInPickModeKeepsPickMode()
{
    QTest::mouseClick(swatch(11), Qt::LeftButton);
    clickButton("cmdPipette");
    clickButton("cmdFillLine");
    for (int c = 0; c < 11; ++c)
        QCOMPARE(m_window->document().table().cell(c, 1), Cell(0x0FF));
    QVERIFY(m_window->isPickMode());
}

void ColourEditingTest::fillWithTheSameColourStillMarks()
{
    clickButton("cmdFillLine"); // black onto black
    QCOMPARE(marker(), QStringLiteral("*"));
}

void ColourEditingTest::sliders_data()
{
    QTest::addColumn<int>("redValue");
    QTest::addColumn<int>("greenValue");
    QTest::addColumn<int>("blueValue");
    QTest::addColumn<int>("packed");
    QTest::newRow("all at the top") << 0 << 0 << 0 << 0xFFF;
    QTest::newRow("all at the bottom") << 15 << 15 << 15 << 0x000;
    QTest::newRow("mixed") << 12 << 13 << 14 << 0x321;
}

void ColourEditingTest::sliders()
{
    QFETCH(int, redValue);
    QFETCH(int, greenValue);
    QFETCH(int, blueValue);
    QFETCH(int, packed);

    // Start from a colour no slider position of the row matches.
    LineTable table(1);
    table.setCell(8, 1, Cell(0x888));
    test::loadTable(*m_window, table, 1);
    control<QScrollBar>(*m_window, "scrR", 8)->setValue(redValue);
    control<QScrollBar>(*m_window, "scrG", 8)->setValue(greenValue);
    control<QScrollBar>(*m_window, "scrB", 8)->setValue(blueValue);
    QCOMPARE(m_window->document().table().cell(8, 1), Cell(packed));
    QCOMPARE(control<LedShape>(*m_window, "shpLED", 308)->fillColour(),
             rgb24(((packed >> 8) & 15) * 16, ((packed >> 4) & 15) * 16, (packed & 15) * 16));
    QCOMPARE(marker(), QStringLiteral("*"));
}

void ColourEditingTest::draggingASliderWritesEveryPosition()
{
    auto *slider = control<QScrollBar>(*m_window, "scrG", 5);
    slider->setSliderDown(true);
    for (int position : {14, 9, 3}) {
        slider->setSliderPosition(position);
        QCOMPARE(m_window->document().table().cell(5, 1), Cell((15 - position) << 4));
    }
    slider->setSliderDown(false);
    QCOMPARE(m_window->document().table().cell(5, 1), Cell(0x0C0));
    QCOMPARE(marker(), QStringLiteral("*"));
}

void ColourEditingTest::paintedLedOnlyChangesTheCurrentLine()
{
    const LineTable table = test::patternTable(5);
    test::loadTable(*m_window, table, 3);
    QTest::mouseClick(swatch(15), Qt::LeftButton);
    clickLed(10);
    LineTable expected = table;
    expected.setCell(10, 3, Cell(0xF0F));
    QVERIFY(m_window->document().table() == expected);
}

QTEST_MAIN(ColourEditingTest)
#include "ColourEditingTest.moc"
