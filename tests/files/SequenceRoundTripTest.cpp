#include "files/SequenceReader.h"
#include "files/SequenceWriter.h"
#include "support/Files.h"
#include "support/LineTableText.h"
#include "support/TestTables.h"

#include <QTemporaryDir>
#include <QTest>

using namespace glowline;
using namespace glowline::test;

namespace {

// What a table becomes after a trip through the file when the format cannot
// carry it exactly: a line of duration 0 has no duration word and takes
// the duration of the nearest earlier line that has one, or, before the
// first, the duration the last line comes back with; no duration word at all
// gives 0.
LineTable expectedAfterTrip(const LineTable &table)
{
    const int count = table.lineCount();
    LineTable expected = table;
    Cell lastPositive = 0;
    for (int n = 1; n <= count; ++n) {
        if (table.duration(n) > 0)
            lastPositive = table.duration(n);
    }
    Cell carried = lastPositive; // the last line's duration, seen from line 1
    for (int n = 1; n <= count; ++n) {
        if (table.duration(n) > 0)
            carried = table.duration(n);
        expected.setCell(kDurationColumn, n, carried);
    }
    return expected;
}

} // namespace

class SequenceRoundTripTest final : public QObject
{
    Q_OBJECT

private slots:
    void exactTablesComeBackUnchanged_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("tables");

        QTest::newRow("2 lines") << 11u << 2 << 200;
        QTest::newRow("3 lines") << 12u << 3 << 200;
        QTest::newRow("17 lines") << 13u << 17 << 100;
        QTest::newRow("500 lines") << 14u << 500 << 10;
        QTest::newRow("32767 lines") << 15u << kMaxLines << 1;
    }
    void exactTablesComeBackUnchanged()
    {
        QFETCH(quint32, seed);
        QFETCH(int, lines);
        QFETCH(int, tables);
        QRandomGenerator random(seed);
        for (int i = 0; i < tables; ++i) {
            const LineTable table = randomExactTable(random, lines);
            const ReadResult result = readSequence(encodeSequence(table));
            QVERIFY2(result.ok(), qPrintable(result.message()));
            QVERIFY2(result.table == table, qPrintable(QStringLiteral("table %1").arg(i)));
        }
    }

    void largestTableThroughAFile()
    {
        const LineTable table = everyLedChangesTable();
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("largest.asm"));
        QString error;
        QVERIFY2(saveSequenceFile(table, path, &error), qPrintable(error));
        const ReadResult result = readSequenceFile(path);
        QVERIFY2(result.ok(), qPrintable(result.message()));
        QCOMPARE(result.table.lineCount(), kMaxLines);
        QVERIFY(result.table == table);
    }

    void anyTableComesBackAsTheFormatAllows_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("lines");
        QTest::newRow("1 line") << 21u << 1;
        QTest::newRow("2 lines") << 22u << 2;
        QTest::newRow("5 lines") << 23u << 5;
        QTest::newRow("60 lines") << 24u << 60;
    }
    void anyTableComesBackAsTheFormatAllows()
    {
        QFETCH(quint32, seed);
        QFETCH(int, lines);
        QRandomGenerator random(seed);
        for (int i = 0; i < 300; ++i) {
            // Few colours and many zero durations, so that constant columns,
            // repeated cells and missing duration words are all common.
            LineTable table(lines);
            const int colours = 1 + int(random.bounded(3));
            for (int n = 1; n <= lines; ++n) {
                for (int c = 0; c < kLedCount; ++c)
                    table.setCell(c, n, Cell(random.bounded(colours) * 0x555));
                table.setCell(kDurationColumn, n,
                              random.bounded(3) == 0 ? Cell(random.bounded(4096)) : Cell(0));
            }
            const ReadResult result = readSequence(encodeSequence(table));
            QVERIFY2(result.ok(), qPrintable(result.message()));
            QVERIFY2(result.table == expectedAfterTrip(table),
                     qPrintable(QStringLiteral("table %1").arg(i)));
        }
    }
};

QTEST_GUILESS_MAIN(SequenceRoundTripTest)
#include "SequenceRoundTripTest.moc"
