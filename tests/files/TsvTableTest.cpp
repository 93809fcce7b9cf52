#include "files/TsvTable.h"

#include "SequenceTables.h"

#include <QTest>

using namespace glowline;
using namespace glowline::test;

namespace {

const QByteArray kHeader =
    "line\tled0\tled1\tled2\tled3\tled4\tled5\tled6\tled7\tled8\tled9\tled10\tduration";

QByteArray row(const QByteArray &first, const QByteArray &led0, const QByteArray &duration)
{
    return first + '\t' + led0 + QByteArray("\t0x000").repeated(10) + '\t' + duration;
}

} // namespace

class TsvTableTest final : public QObject
{
    Q_OBJECT

private slots:
    void write()
    {
        const LineTable table =
            tableOf({{0xF00, 0x0F0, 0x00F, 0x123, 0xABC, 0, 0, 0, 0, 0, 0xFFF, 50},
                     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4095}});
        QCOMPARE(tableToTsv(table), kHeader + "\n" +
                                        "1\t0xF00\t0x0F0\t0x00F\t0x123\t0xABC\t0x000\t0x000\t0x000"
                                        "\t0x000\t0x000\t0xFFF\t50\n"
                                        "2\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000"
                                        "\t0x000\t0x000\t0x000\t4095\n");
    }

    void readBackWhatIsWritten()
    {
        QRandomGenerator random(5);
        LineTable table = randomExactTable(random, 200);
        table.setCell(kDurationColumn, 3, 0);
        const TsvResult result = tableFromTsv(tableToTsv(table));
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.table, table);
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<LineTable>("expected");

        const Row red{0xF00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7};
        QTest::newRow("as written") << kHeader + '\n' + row("1", "0xF00", "7") + '\n'
                                    << tableOf({red});
        QTest::newRow("CR LF") << kHeader + "\r\n" + row("1", "0xF00", "7") + "\r\n"
                               << tableOf({red});
        QTest::newRow("no final line end")
            << kHeader + '\n' + row("1", "0xF00", "7") << tableOf({red});
        QTest::newRow("without 0x") << kHeader + '\n' + row("1", "F00", "7") << tableOf({red});
        QTest::newRow("lower case") << kHeader + '\n' + row("1", "0xf00", "7") << tableOf({red});
        QTest::newRow("upper-case 0X") << kHeader + '\n' + row("1", "0XF00", "7") << tableOf({red});
        QTest::newRow("short colour") << kHeader + '\n' + row("1", "a", "7")
                                      << tableOf({{0xA, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7}});
        QTest::newRow("line number not read")
            << kHeader + '\n' + row("banana", "0xF00", "7") << tableOf({red});
        QTest::newRow("upper-case header")
            << kHeader.toUpper() + '\n' + row("1", "0xF00", "7") << tableOf({red});
        QTest::newRow("blank lines at the end")
            << kHeader + '\n' + row("1", "0xF00", "7") + "\n\n\r\n"
            << tableOf({red});
        QTest::newRow("largest values") << kHeader + '\n' + row("1", "0xFFF", "4095")
                                        << tableOf({{0xFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4095}});
    }
    void read()
    {
        QFETCH(QByteArray, text);
        QFETCH(LineTable, expected);
        const TsvResult result = tableFromTsv(text);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.table, expected);
    }

    void failure_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("row");

        const QByteArray good = row("1", "0xF00", "7");
        QTest::newRow("empty") << QByteArray() << 1;
        QTest::newRow("header only") << kHeader + '\n' << 1;
        QTest::newRow("no header") << good + '\n' + good << 1;
        QTest::newRow("header with a field missing") << kHeader.chopped(9) + '\n' + good << 1;
        QTest::newRow("colour too large")
            << kHeader + '\n' + good + '\n' + row("2", "0x1000", "7") << 3;
        QTest::newRow("colour not hex") << kHeader + '\n' + row("1", "0xF0G", "7") << 2;
        QTest::newRow("colour empty") << kHeader + '\n' + row("1", "", "7") << 2;
        QTest::newRow("colour only 0x") << kHeader + '\n' + row("1", "0x", "7") << 2;
        QTest::newRow("colour negative") << kHeader + '\n' + row("1", "-1", "7") << 2;
        QTest::newRow("duration too large") << kHeader + '\n' + row("1", "0", "4096") << 2;
        QTest::newRow("duration negative") << kHeader + '\n' + row("1", "0", "-5") << 2;
        QTest::newRow("duration hex") << kHeader + '\n' + row("1", "0", "0x10") << 2;
        QTest::newRow("duration fraction") << kHeader + '\n' + row("1", "0", "1.5") << 2;
        QTest::newRow("duration empty") << kHeader + '\n' + row("1", "0", "") << 2;
        QTest::newRow("field missing") << kHeader + '\n' + good + '\n' + good.chopped(2) << 3;
        QTest::newRow("field too many") << kHeader + '\n' + good + "\t1" << 2;
        QTest::newRow("blank line between rows") << kHeader + '\n' + good + "\n\n" + good << 3;
        QTest::newRow("huge number") << kHeader + '\n' + row("1", "0", "99999999999999999999") << 2;
    }
    void failure()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, row);
        const TsvResult result = tableFromTsv(text);
        QVERIFY(!result.ok());
        QCOMPARE(result.errorRow, row);
        QVERIFY(!result.error.trimmed().isEmpty());
    }

    void mostRows()
    {
        QByteArray text = kHeader + '\n';
        const QByteArray line = row("0", "0xF00", "7") + '\n';
        text += line.repeated(kMaxLines);
        TsvResult result = tableFromTsv(text);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.table.lineCount(), kMaxLines);
        result = tableFromTsv(text + line);
        QVERIFY(!result.ok());
        QCOMPARE(result.errorRow, kMaxLines + 2);
    }
};

QTEST_GUILESS_MAIN(TsvTableTest)
#include "TsvTableTest.moc"
