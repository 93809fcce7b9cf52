#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "window/controls/LedShape.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace glowline;
using glowline::test::control;

class WindowLineCommandsTest final : public test::WindowFixture
{
    Q_OBJECT

public:
    WindowLineCommandsTest() : WindowFixture(Show::Exposed) {}

private slots:
    void commands_data();
    void commands();
    void deleteInTheMiddleShowsTheNextLine();
    void insertAboveShowsTheEmptyLine();
    void addOnTheStartUpSequence();
    void deleteOnOneLineDoesNothing();
    void refusedAtTheLimit_data();
    void refusedAtTheLimit();
    void growToTheLimit_data();
    void growToTheLimit();

private:
    void click(const char *button);
};

void WindowLineCommandsTest::click(const char *button)
{
    QTest::mouseClick(control<QPushButton>(*m_window, QString::fromLatin1(button)), Qt::LeftButton);
}

void WindowLineCommandsTest::commands_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("lineCount");
    QTest::addColumn<int>("current");
    QTest::addColumn<QList<int>>("linesAfter");
    QTest::addColumn<int>("currentAfter");

    QTest::newRow("Add on line 2 of 3") << "cmdAddLine" << 3 << 2 << QList<int>{1, 2, 3, 0} << 4;
    QTest::newRow("Copy on the last line")
        << "cmdCopyLine" << 3 << 3 << QList<int>{1, 2, 3, 3} << 4;
    QTest::newRow("Copy on line 2 of 4")
        << "cmdCopyLine" << 4 << 2 << QList<int>{1, 2, 2, 3, 4} << 3;
    QTest::newRow("Del on the last of 3") << "cmdDelLine" << 3 << 3 << QList<int>{1, 2} << 2;
    QTest::newRow("Del on line 2 of 3") << "cmdDelLine" << 3 << 2 << QList<int>{1, 3} << 2;
    QTest::newRow("Del on line 1 of 2") << "cmdDelLine" << 2 << 1 << QList<int>{2} << 1;
    QTest::newRow("Ins Above on line 1") << "cmdInsLineAbove" << 2 << 1 << QList<int>{0, 1, 2} << 1;
    QTest::newRow("Ins Above on line 3 of 3")
        << "cmdInsLineAbove" << 3 << 3 << QList<int>{1, 2, 0, 3} << 3;
    QTest::newRow("Ins Below on the last line")
        << "cmdInsLineBelow" << 3 << 3 << QList<int>{1, 2, 3, 0} << 4;
    QTest::newRow("Ins Below on line 1 of 3")
        << "cmdInsLineBelow" << 3 << 1 << QList<int>{1, 0, 2, 3} << 2;
}

void WindowLineCommandsTest::commands()
{
    QFETCH(QString, button);
    QFETCH(int, lineCount);
    QFETCH(int, current);
    QFETCH(QList<int>, linesAfter);
    QFETCH(int, currentAfter);

    test::loadTable(*m_window, test::numberedTable(lineCount), current);
    QCOMPARE(m_window->document().state().changedMarker(), QString());
    click(qPrintable(button));

    const Document &document = m_window->document();
    QCOMPARE(document.table(), test::numberedLines(linesAfter));
    QCOMPARE(document.lineCount(), int(linesAfter.size()));
    QCOMPARE(document.currentLine(), currentAfter);
    auto *scrLine = control<QScrollBar>(*m_window, QStringLiteral("scrLine"));
    QCOMPARE(scrLine->maximum(), int(linesAfter.size()));
    QCOMPARE(scrLine->value(), currentAfter);
    QCOMPARE(control<QLabel>(*m_window, "lblLine", 3)->text(), QString::number(currentAfter));
    // The window shows the new current line, whatever moved.
    const int tag = linesAfter[currentAfter - 1];
    for (int c = 0; c < 11; ++c) {
        const int p = tag == 0 ? 0 : tag * 16 + c;
        QCOMPARE(control<LedShape>(*m_window, "shpLED", 300 + c)->fillColour(),
                 rgb24(((p >> 8) & 15) * 16, ((p >> 4) & 15) * 16, (p & 15) * 16));
    }
    QCOMPARE(document.state().changedMarker(), QStringLiteral("*"));
    QCOMPARE(control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text(),
             QStringLiteral("*"));
}

void WindowLineCommandsTest::deleteInTheMiddleShowsTheNextLine()
{
    test::loadTable(*m_window, test::numberedTable(3), 2);
    auto *scrLine = control<QScrollBar>(*m_window, QStringLiteral("scrLine"));
    QCOMPARE(control<QLabel>(*m_window, "lblLine", 4)->text(), QStringLiteral("3"));
    click("cmdDelLine");
    QCOMPARE(scrLine->value(), 2);
    // Row 3 now shows old line 3 (its marks: LED c holds 3 * 16 + c, the
    // duration 3 * 16 + 11), row 4 is gone.
    QCOMPARE(control<LedShape>(*m_window, "shpLED", 301)->fillColour(), rgb24(0, 3 * 16, 1 * 16));
    QCOMPARE(control<QScrollBar>(*m_window, "scrG", 1)->value(), 15 - 3);
    QVERIFY(!control<QLabel>(*m_window, "lblLine", 4)->isVisible());
    QCOMPARE(control<QLineEdit>(*m_window, "txtTime", 3)->text(), QStringLiteral("0.59"));
}

void WindowLineCommandsTest::insertAboveShowsTheEmptyLine()
{
    test::loadTable(*m_window, test::numberedTable(2), 1);
    click("cmdInsLineAbove");
    QCOMPARE(control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->value(), 1);
    for (int c = 0; c < 11; ++c)
        QCOMPARE(control<LedShape>(*m_window, "shpLED", 300 + c)->fillColour(), rgb24(0, 0, 0));
    QCOMPARE(control<QLineEdit>(*m_window, "txtTime", 3)->text(), QStringLiteral("0.00"));
    QCOMPARE(control<QLabel>(*m_window, "lblLine", 4)->text(), QStringLiteral("2"));
    QCOMPARE(control<QLabel>(*m_window, "lblLine", 5)->text(), QStringLiteral("3"));
}

void WindowLineCommandsTest::addOnTheStartUpSequence()
{
    click("cmdAddLine");
    QCOMPARE(m_window->document().lineCount(), 2);
    QCOMPARE(m_window->document().currentLine(), 2);
    for (int column = 0; column < 12; ++column)
        QCOMPARE(m_window->document().table().cell(column, 2), Cell(0));
    QCOMPARE(control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text(),
             QStringLiteral("*"));
    QCOMPARE(control<QLabel>(*m_window, "lblLine", 2)->text(), QStringLiteral("1"));
    QVERIFY(control<QLabel>(*m_window, "lblLine", 2)->isVisible());
}

void WindowLineCommandsTest::deleteOnOneLineDoesNothing()
{
    LineTable one = test::numberedTable(1);
    test::loadTable(*m_window, one, 1);
    click("cmdDelLine");
    QCOMPARE(m_window->document().table(), one);
    QCOMPARE(m_window->document().currentLine(), 1);
    QCOMPARE(control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text(), QString());
    QVERIFY(m_dialogs->messages.isEmpty());
}

void WindowLineCommandsTest::refusedAtTheLimit_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("Add") << "cmdAddLine";
    QTest::newRow("Copy") << "cmdCopyLine";
    QTest::newRow("Ins Above") << "cmdInsLineAbove";
    QTest::newRow("Ins Below") << "cmdInsLineBelow";
}

void WindowLineCommandsTest::refusedAtTheLimit()
{
    QFETCH(QString, button);
    const LineTable full = test::patternTable(32767);
    test::loadTable(*m_window, full, 20000);
    click(qPrintable(button));
    QCOMPARE(m_window->document().lineCount(), 32767);
    QVERIFY(m_window->document().table() == full);
    QCOMPARE(m_window->document().currentLine(), 20000);
    QCOMPARE(control<QScrollBar>(*m_window, QStringLiteral("scrLine"))->value(), 20000);
    QCOMPARE(control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text(), QString());
    QVERIFY(m_dialogs->messages.isEmpty());
}

void WindowLineCommandsTest::growToTheLimit_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("copies");
    QTest::newRow("Copy") << "cmdCopyLine" << true;
    QTest::newRow("Ins Below") << "cmdInsLineBelow" << false;
}

void WindowLineCommandsTest::growToTheLimit()
{
    QFETCH(QString, button);
    QFETCH(bool, copies);
    const LineTable table = test::patternTable(32766);
    test::loadTable(*m_window, table, 32766);
    click(qPrintable(button));
    const Document &document = m_window->document();
    QCOMPARE(document.lineCount(), 32767);
    QCOMPARE(document.currentLine(), 32767);
    for (int column = 0; column < 12; ++column)
        QCOMPARE(document.table().cell(column, 32767),
                 copies ? table.cell(column, 32766) : Cell(0));
    QCOMPARE(control<QLabel>(*m_window, "lblLine", 3)->text(), QStringLiteral("32767"));
    QCOMPARE(control<QLabel>(*m_window, "lblLine", 0)->text(), QStringLiteral("32764"));
    QVERIFY(!control<QLabel>(*m_window, "lblLine", 4)->isVisible());
}

QTEST_MAIN(WindowLineCommandsTest)
#include "WindowLineCommandsTest.moc"
