#include "model/LineTable.h"

#include "support/NumberedTable.h"

#include <QTest>

#include <array>

using namespace glowline;

namespace {

using test::mark;
using test::numberedTable;

// Checks that line `line` holds what numberedTable put into line `source`
// (source 0: an all-zero line).
bool holds(const LineTable &table, int line, int source)
{
    for (int c = 0; c < kColumnCount; ++c) {
        if (table.cell(c, line) != (source == 0 ? Cell(0) : mark(c, source)))
            return false;
    }
    return true;
}

} // namespace

class LineTableTest final : public QObject
{
    Q_OBJECT

private slots:
    void startsWithOneEmptyLine()
    {
        const LineTable table;
        QCOMPARE(table.lineCount(), 1);
        QCOMPARE(table.cells().size(), std::size_t(kColumnCount));
        for (int c = 0; c < kColumnCount; ++c)
            QCOMPARE(table.cell(c, 1), Cell(0));
        QVERIFY(!table.isFull());
    }

    void storesLineAfterLine()
    {
        LineTable table(3);
        table.setCell(0, 2, 7);
        table.setCell(11, 2, 9);
        table.setCell(5, 3, 4095);
        QCOMPARE(table.cells()[12], Cell(7));
        QCOMPARE(table.cells()[23], Cell(9));
        QCOMPARE(table.cells()[24 + 5], Cell(4095));
        QCOMPARE(table.duration(2), Cell(9));
        QCOMPARE(table.line(2)[0], Cell(7));
        QCOMPARE(table.line(2)[11], Cell(9));
    }

    void takesCellsLineAfterLine()
    {
        std::vector<Cell> cells(24, 0);
        cells[13] = 5;
        const LineTable table(cells);
        QCOMPARE(table.lineCount(), 2);
        QCOMPARE(table.cell(1, 2), Cell(5));
    }

    void growKeepsLinesAndAddsAnEmptyOne()
    {
        LineTable table = numberedTable(4);
        table.grow();
        QCOMPARE(table.lineCount(), 5);
        for (int n = 1; n <= 4; ++n)
            QVERIFY(holds(table, n, n));
        QVERIFY(holds(table, 5, 0));
    }

    void shrinkDropsTheLastLine()
    {
        LineTable table = numberedTable(4);
        table.shrink();
        QCOMPARE(table.lineCount(), 3);
        for (int n = 1; n <= 3; ++n)
            QVERIFY(holds(table, n, n));
    }

    void openGap_data()
    {
        QTest::addColumn<int>("lines"); // before the grow
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<int>>("expected"); // source line of each line after the gap

        QTest::newRow("at 1") << 3 << 1 << QList<int>{1, 1, 2, 3};
        QTest::newRow("in the middle") << 4 << 3 << QList<int>{1, 2, 3, 3, 4};
        QTest::newRow("at the old last line") << 3 << 3 << QList<int>{1, 2, 3, 3};
        QTest::newRow("one past the old last line moves nothing")
            << 3 << 4 << QList<int>{1, 2, 3, 0};
        QTest::newRow("one line") << 1 << 1 << QList<int>{1, 1};
    }
    void openGap()
    {
        QFETCH(int, lines);
        QFETCH(int, position);
        QFETCH(QList<int>, expected);

        LineTable table = numberedTable(lines);
        table.grow();
        table.openGap(position);
        QCOMPARE(table.lineCount(), int(expected.size()));
        for (int n = 1; n <= table.lineCount(); ++n)
            QVERIFY2(holds(table, n, expected[n - 1]), qPrintable(QString::number(n)));
    }

    void closeGap_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<int>>("expected"); // before the shrink

        QTest::newRow("at 1") << 3 << 1 << QList<int>{2, 3, 3};
        QTest::newRow("in the middle") << 5 << 2 << QList<int>{1, 3, 4, 5, 5};
        QTest::newRow("at the last line moves nothing") << 3 << 3 << QList<int>{1, 2, 3};
    }
    void closeGap()
    {
        QFETCH(int, lines);
        QFETCH(int, position);
        QFETCH(QList<int>, expected);

        LineTable table = numberedTable(lines);
        table.closeGap(position);
        QCOMPARE(table.lineCount(), lines);
        for (int n = 1; n <= lines; ++n)
            QVERIFY2(holds(table, n, expected[n - 1]), qPrintable(QString::number(n)));
    }

    void copyAndClearLine()
    {
        LineTable table = numberedTable(3);
        table.copyLine(1, 3);
        QVERIFY(holds(table, 1, 1));
        QVERIFY(holds(table, 2, 2));
        QVERIFY(holds(table, 3, 1));
        table.copyLine(2, 2);
        QVERIFY(holds(table, 2, 2));
        table.clearLine(2);
        QVERIFY(holds(table, 1, 1));
        QVERIFY(holds(table, 2, 0));
        QVERIFY(holds(table, 3, 1));
    }

    void setLine()
    {
        LineTable table = numberedTable(2);
        const std::array<Cell, kColumnCount> cells{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 4095};
        table.setLine(1, cells);
        for (int c = 0; c < kColumnCount; ++c)
            QCOMPARE(table.cell(c, 1), cells[std::size_t(c)]);
        QVERIFY(holds(table, 2, 2));
    }

    void resetGivesOneEmptyLine()
    {
        LineTable table = numberedTable(40);
        table.reset();
        QCOMPARE(table, LineTable());
    }

    void insertAndRemoveLine()
    {
        LineTable table = numberedTable(3);
        const LineTable before = table;
        const std::array<Cell, kColumnCount> cells{9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
        table.insertLine(2, cells);
        QCOMPARE(table.lineCount(), 4);
        QVERIFY(holds(table, 1, 1));
        QCOMPARE(table.cell(5, 2), Cell(9));
        QVERIFY(holds(table, 3, 2));
        QVERIFY(holds(table, 4, 3));
        table.removeLine(2);
        QCOMPARE(table, before);

        table.insertLine(4, cells); // one past the end appends
        QCOMPARE(table.lineCount(), 4);
        QCOMPARE(table.cell(0, 4), Cell(9));
        table.removeLine(1);
        QVERIFY(holds(table, 1, 2));
        QCOMPARE(table.lineCount(), 3);
    }

    void fullAtTheLargestLineCount()
    {
        LineTable table(kMaxLines - 1);
        QVERIFY(!table.isFull());
        table.grow();
        QCOMPARE(table.lineCount(), 32767);
        QVERIFY(table.isFull());
        QCOMPARE(table.cell(11, 32767), Cell(0));
    }
};

QTEST_GUILESS_MAIN(LineTableTest)
#include "LineTableTest.moc"
