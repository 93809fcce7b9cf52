#include "model/LineTable.h"

#include "support/LineTableText.h"
#include "support/TestTables.h"

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

    void replaceLines_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("remove");
        QTest::addColumn<int>("insert");
        QTest::addColumn<QList<int>>("expected"); // source line of each line, 0 inserted

        QTest::newRow("same count in the middle") << 4 << 2 << 2 << 2 << QList<int>{1, 0, 0, 4};
        QTest::newRow("more at the start") << 3 << 1 << 1 << 3 << QList<int>{0, 0, 0, 2, 3};
        QTest::newRow("fewer at the end") << 4 << 3 << 2 << 1 << QList<int>{1, 2, 0};
        QTest::newRow("append") << 2 << 3 << 0 << 2 << QList<int>{1, 2, 0, 0};
        QTest::newRow("remove only") << 5 << 2 << 3 << 0 << QList<int>{1, 5};
    }
    void replaceLines()
    {
        QFETCH(int, lines);
        QFETCH(int, first);
        QFETCH(int, remove);
        QFETCH(int, insert);
        QFETCH(QList<int>, expected);

        LineTable table = numberedTable(lines);
        const std::vector<Cell> block(std::size_t(insert) * kColumnCount, Cell(0));
        table.replaceLines(first, remove, block);
        QCOMPARE(table.lineCount(), int(expected.size()));
        for (int n = 1; n <= table.lineCount(); ++n)
            QVERIFY2(holds(table, n, expected[n - 1]), qPrintable(QString::number(n)));
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
        table.insertLine(kMaxLines, std::array<Cell, kColumnCount>{});
        QCOMPARE(table.lineCount(), 32767);
        QVERIFY(table.isFull());
        QCOMPARE(table.cell(11, 32767), Cell(0));
    }
};

QTEST_GUILESS_MAIN(LineTableTest)
#include "LineTableTest.moc"
