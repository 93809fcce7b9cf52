#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "window/controls/LedShape.h"
#include "window/controls/UpDown.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

using namespace glowline;
using glowline::test::control;

class LineWindowTest final : public test::WindowFixture
{
    Q_OBJECT

public:
    LineWindowTest() : WindowFixture(Show::Exposed) {}

private slots:
    void rows_data();
    void rows();
    void rowContents();
    void currentLineCell();
    void setCellColor();
    void durations_data();
    void durations();
    void scrollingRedraws();
    void draggingRedrawsEveryPosition();
    void redrawKeepsTheChangedMarker_data();
    void redrawKeepsTheChangedMarker();
    void redrawWritesNoCellWhenNoSliderMoves();
    void movedSlidersStoreOnlyTheColourBits();
    void hiddenRowKeepsItsContents();
    void replacingTheDocumentShowsItsFirstLine();
    void captionsFollowTheDocumentState();

private:
    QStringList rowLines() const;
};

// The line number each row shows, "-" for a hidden row.
QStringList LineWindowTest::rowLines() const
{
    QStringList lines;
    for (int r = 0; r < 7; ++r) {
        auto *label = control<QLabel>(*m_window, "lblLine", r);
        const bool shown = label->isVisible();
        // A row is shown or hidden as a whole.
        if (control<QLineEdit>(*m_window, "txtTime", r)->isVisible() != shown)
            return {QStringLiteral("box visibility differs in row %1").arg(r)};
        for (int c = 0; c < 11; ++c)
            if (control<LedShape>(*m_window, "shpLED", r * 100 + c)->isVisible() != shown)
                return {QStringLiteral("LED visibility differs in row %1").arg(r)};
        lines << (shown ? label->text() : QStringLiteral("-"));
    }
    return lines;
}

void LineWindowTest::rows_data()
{
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("expected");

    QTest::newRow("1 of 1") << 1 << 1 << "-,-,-,1,-,-,-";
    QTest::newRow("1 of 10") << 10 << 1 << "-,-,-,1,2,3,4";
    QTest::newRow("2 of 3") << 3 << 2 << "-,-,1,2,3,-,-";
    QTest::newRow("3 of 10") << 10 << 3 << "-,1,2,3,4,5,6";
    QTest::newRow("4 of 10") << 10 << 4 << "1,2,3,4,5,6,7";
    QTest::newRow("last of 10") << 10 << 10 << "7,8,9,10,-,-,-";
    QTest::newRow("9 of 10") << 10 << 9 << "6,7,8,9,10,-,-";
    QTest::newRow("32767 of 32767") << 32767 << 32767 << "32764,32765,32766,32767,-,-,-";
    QTest::newRow("32764 of 32767")
        << 32767 << 32764 << "32761,32762,32763,32764,32765,32766,32767";
}

void LineWindowTest::rows()
{
    QFETCH(int, lineCount);
    QFETCH(int, current);
    QFETCH(QString, expected);

    test::loadTable(*m_window, test::patternTable(lineCount), current);
    QCOMPARE(m_window->document().currentLine(), current);
    QCOMPARE(rowLines(), expected.split(QLatin1Char(',')));
}

void LineWindowTest::rowContents()
{
    const LineTable table = test::patternTable(20);
    test::loadTable(*m_window, table, 9);
    for (int r = 0; r < 7; ++r) {
        const int line = 9 + r - 3;
        for (int c = 0; c < 11; ++c) {
            const int p = table.cell(c, line);
            const Rgb24 expected = rgb24(((p >> 8) & 15) * 16, ((p >> 4) & 15) * 16, (p & 15) * 16);
            QCOMPARE(
                test::rgbText(control<LedShape>(*m_window, "shpLED", r * 100 + c)->fillColour()),
                test::rgbText(expected));
        }
        const int d = table.duration(line);
        QCOMPARE(control<QLineEdit>(*m_window, "txtTime", r)->text(),
                 QStringLiteral("%1.%2").arg(d / 100).arg(d % 100, 2, 10, QLatin1Char('0')));
    }
    for (int c = 0; c < 11; ++c) {
        const int p = table.cell(c, 9);
        QCOMPARE(control<QScrollBar>(*m_window, "scrR", c)->value(), 15 - ((p >> 8) & 15));
        QCOMPARE(control<QScrollBar>(*m_window, "scrG", c)->value(), 15 - ((p >> 4) & 15));
        QCOMPARE(control<QScrollBar>(*m_window, "scrB", c)->value(), 15 - (p & 15));
    }
    QCOMPARE(control<UpDown>(*m_window, QStringLiteral("udTime"))->value(), int(table.duration(9)));
    // Showing the sequence is no change to it.
    QCOMPARE(m_window->document().table(), table);
    QVERIFY(!m_window->document().state().isRefreshing());
}

void LineWindowTest::currentLineCell()
{
    LineTable table(1);
    table.setCell(4, 1, Cell(0xF00));
    test::loadTable(*m_window, table, 1);
    QCOMPARE(test::rgbText(control<LedShape>(*m_window, "shpLED", 304)->fillColour()),
             test::rgbText(rgb24(240, 0, 0)));
    QCOMPARE(control<QScrollBar>(*m_window, "scrR", 4)->value(), 0);
    QCOMPARE(control<QScrollBar>(*m_window, "scrG", 4)->value(), 15);
    QCOMPARE(control<QScrollBar>(*m_window, "scrB", 4)->value(), 15);
}

void LineWindowTest::setCellColor()
{
    test::loadTable(*m_window, LineTable(3), 2);
    m_window->lineWindow().SetCellColor(3, 6, 255, 128, 15);
    QCOMPARE(m_window->document().table().cell(6, 2), Cell(0xF80));
    QCOMPARE(test::rgbText(control<LedShape>(*m_window, "shpLED", 306)->fillColour()),
             test::rgbText(rgb24(240, 128, 0)));
    QCOMPARE(control<QScrollBar>(*m_window, "scrR", 6)->value(), 0);
    QCOMPARE(control<QScrollBar>(*m_window, "scrG", 6)->value(), 7);
    QCOMPARE(control<QScrollBar>(*m_window, "scrB", 6)->value(), 15);
    // The other lines are untouched, and SetCellColor marks nothing.
    QCOMPARE(m_window->document().table().cell(6, 1), Cell(0));
    QCOMPARE(m_window->document().table().cell(6, 3), Cell(0));
    QCOMPARE(m_window->document().state().changedMarker(), QString());
}

void LineWindowTest::durations_data()
{
    QTest::addColumn<int>("duration");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0") << 0 << "0.00";
    QTest::newRow("5") << 5 << "0.05";
    QTest::newRow("150") << 150 << "1.50";
    QTest::newRow("4095") << 4095 << "40.95";
}

void LineWindowTest::durations()
{
    QFETCH(int, duration);
    QFETCH(QString, shown);
    LineTable table(9);
    for (int line = 1; line <= 9; ++line)
        table.setCell(kDurationColumn, line, Cell(duration));
    table.setCell(kDurationColumn, 5, Cell(duration == 0 ? 1 : 0));
    test::loadTable(*m_window, table, 4);
    for (int r : {0, 1, 2, 3, 5, 6})
        QCOMPARE(control<QLineEdit>(*m_window, "txtTime", r)->text(), shown);
    QCOMPARE(control<UpDown>(*m_window, QStringLiteral("udTime"))->value(), duration);
    QCOMPARE(m_window->document().table(), table);
}

void LineWindowTest::scrollingRedraws()
{
    test::loadTable(*m_window, test::patternTable(30), 1);
    auto *scrLine = control<QScrollBar>(*m_window, QStringLiteral("scrLine"));
    QCOMPARE(scrLine->maximum(), 30);
    scrLine->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(m_window->document().currentLine(), 2);
    QCOMPARE(control<QLabel>(*m_window, "lblLine", 3)->text(), QStringLiteral("2"));
    scrLine->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(m_window->document().currentLine(), 8);
    scrLine->setValue(30);
    scrLine->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QCOMPARE(m_window->document().currentLine(), 30);
    scrLine->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(m_window->document().currentLine(), 24);
    QCOMPARE(control<QLabel>(*m_window, "lblLine", 0)->text(), QStringLiteral("21"));
}

void LineWindowTest::draggingRedrawsEveryPosition()
{
    const LineTable table = test::patternTable(100);
    test::loadTable(*m_window, table, 1);
    auto *scrLine = control<QScrollBar>(*m_window, QStringLiteral("scrLine"));
    auto *label = control<QLabel>(*m_window, "lblLine", 3);
    scrLine->setSliderDown(true);
    for (int position : {5, 6, 40, 99}) {
        scrLine->setSliderPosition(position);
        QCOMPARE(label->text(), QString::number(position));
        QCOMPARE(m_window->document().currentLine(), position);
    }
    scrLine->setSliderDown(false);
    QCOMPARE(scrLine->value(), 99);
}

void LineWindowTest::redrawKeepsTheChangedMarker_data()
{
    QTest::addColumn<bool>("changed");
    QTest::newRow("no changes") << false;
    QTest::newRow("unsaved changes") << true;
}

void LineWindowTest::redrawKeepsTheChangedMarker()
{
    QFETCH(bool, changed);
    test::loadTable(*m_window, test::patternTable(10), 5);
    if (changed)
        m_window->document().state().markChanged();
    const QString marker = changed ? QStringLiteral("*") : QString();
    auto *label = control<QLabel>(*m_window, QStringLiteral("lblFileChanged"));
    QCOMPARE(label->text(), marker);

    // Moving to other lines moves every slider and the up-down, and the
    // explicit redraw does it once more.
    control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->setValue(8);
    m_window->lineWindow().redrawLineWindow();
    control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->setValue(1);
    QCOMPARE(m_window->document().state().changedMarker(), marker);
    QCOMPARE(label->text(), marker);
    QVERIFY(!m_window->document().state().isRefreshing());
}

void LineWindowTest::redrawWritesNoCellWhenNoSliderMoves()
{
    // A cell holding bits above its 12 colour bits (the reader's no-value
    // mark, 4096) shows as black. When the sliders already stand at black
    // nothing moves and the cell keeps its value.
    LineTable table(2);
    table.setCell(3, 2, Cell(4096));
    test::loadTable(*m_window, table, 1);
    control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->setValue(2);
    QCOMPARE(m_window->document().table().cell(3, 2), Cell(4096));
    QCOMPARE(control<LedShape>(*m_window, "shpLED", 303)->fillColour(), rgb24(0, 0, 0));
}

void LineWindowTest::movedSlidersStoreOnlyTheColourBits()
{
    // When a slider moves, what the sliders show is stored: the low 12 bits.
    LineTable table(2);
    table.setCell(3, 2, Cell(0x1F00));
    test::loadTable(*m_window, table, 1);
    control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->setValue(2);
    QCOMPARE(m_window->document().table().cell(3, 2), Cell(0xF00));
    QCOMPARE(control<QScrollBar>(*m_window, "scrR", 3)->value(), 0);
    QCOMPARE(m_window->document().state().changedMarker(), QString());
}

void LineWindowTest::hiddenRowKeepsItsContents()
{
    test::loadTable(*m_window, test::patternTable(10), 5);
    const QString caption = control<QLabel>(*m_window, "lblLine", 0)->text();
    control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->setValue(1);
    auto *label = control<QLabel>(*m_window, "lblLine", 0);
    QVERIFY(!label->isVisible());
    QCOMPARE(label->text(), caption);
}

void LineWindowTest::replacingTheDocumentShowsItsFirstLine()
{
    test::loadTable(*m_window, test::patternTable(50), 30);
    m_window->document().state().markChanged();
    LineTable small(2);
    small.setCell(0, 1, Cell(0x0F0));
    small.setCell(kDurationColumn, 1, Cell(250));
    m_window->document().replace(small);
    auto *scrLine = control<QScrollBar>(*m_window, QStringLiteral("scrLine"));
    QCOMPARE(scrLine->maximum(), 2);
    QCOMPARE(scrLine->value(), 1);
    QCOMPARE(rowLines(), QStringLiteral("-,-,-,1,2,-,-").split(QLatin1Char(',')));
    QCOMPARE(control<LedShape>(*m_window, "shpLED", 300)->fillColour(), rgb24(0, 240, 0));
    QCOMPARE(control<QLineEdit>(*m_window, "txtTime", 3)->text(), QStringLiteral("2.50"));
    QCOMPARE(control<UpDown>(*m_window, QStringLiteral("udTime"))->value(), 250);
    QCOMPARE(control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text(), QString());
    QCOMPARE(m_window->document().table(), small);
}

void LineWindowTest::captionsFollowTheDocumentState()
{
    DocumentState &state = m_window->document().state();
    state.setFileName(QStringLiteral("/tmp/some file.asm"));
    QCOMPARE(control<QLabel>(*m_window, QStringLiteral("lblFilename"))->text(),
             QStringLiteral("/tmp/some file.asm"));
    state.markChanged();
    QCOMPARE(control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text(),
             QStringLiteral("*"));
    state.clearChangedMarker();
    QCOMPARE(control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text(), QString());
}

QTEST_MAIN(LineWindowTest)
#include "LineWindowTest.moc"
