#include "files/TsvTable.h"

#include "support/Files.h"
#include "support/LineTableText.h"
#include "support/TestTables.h"

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
    void write_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QByteArray>("text");
        const QByteArray row1 = "\t0xF00\t0x0F0\t0x00F\t0x123\t0xABC\t0x000\t0x000\t0x000"
                                "\t0x000\t0x000\t0xFFF\t50\n";
        const QByteArray row2 = "\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000"
                                "\t0x000\t0x000\t0x000\t4095\n";
        const QByteArray row3 = "\t0x001" + QByteArray("\t0x000").repeated(10) + "\t0\n";
        QTest::newRow("whole table")
            << 1 << 3 << kHeader + '\n' + '1' + row1 + '2' + row2 + '3' + row3;
        // Lines taken from the middle are numbered from 1 again.
        QTest::newRow("lines 2 to 3") << 2 << 3 << kHeader + '\n' + '1' + row2 + '2' + row3;
    }
    void write()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QByteArray, text);
        const LineTable table =
            tableOf({{0xF00, 0x0F0, 0x00F, 0x123, 0xABC, 0, 0, 0, 0, 0, 0xFFF, 50},
                     {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4095},
                     {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}});
        QCOMPARE(linesToTsv(table, first, last), text);
    }

    void readBackWhatIsWritten()
    {
        QRandomGenerator random(5);
        LineTable table = randomExactTable(random, 200);
        table.setCell(kDurationColumn, 3, 0);
        const TsvResult result = tableFromTsv(linesToTsv(table, 1, table.lineCount()));
        QVERIFY2(result.ok(), qPrintable(result.error.message()));
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
        QTest::newRow("byte-order mark")
            << "\xEF\xBB\xBF" + kHeader + '\n' + row("1", "0xF00", "7") << tableOf({red});
        QTest::newRow("lone CR") << kHeader + '\r' + row("1", "0xF00", "7") + '\r' +
                                        row("2", "0", "0")
                                 << tableOf({red, {}});
    }
    void read()
    {
        QFETCH(QByteArray, text);
        QFETCH(LineTable, expected);
        const TsvResult result = tableFromTsv(text);
        QVERIFY2(result.ok(), qPrintable(result.error.message()));
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
        QTest::newRow("row too long to be a row")
            << kHeader + '\n' + good + '\n' + row("1", QByteArray(5000, '0'), "7") << 3;
    }
    void failure()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, row);
        const TsvResult result = tableFromTsv(text);
        QVERIFY(!result.ok());
        QCOMPARE(result.error.line, row);
        QVERIFY(!result.error.description.trimmed().isEmpty());
    }

    void mostRows()
    {
        QByteArray text = kHeader + '\n';
        const QByteArray line = row("0", "0xF00", "7") + '\n';
        text += line.repeated(kMaxLines);
        TsvResult result = tableFromTsv(text);
        QVERIFY2(result.ok(), qPrintable(result.error.message()));
        QCOMPARE(result.table.lineCount(), kMaxLines);
        result = tableFromTsv(text + line);
        QVERIFY(!result.ok());
        QCOMPARE(result.error.line, kMaxLines + 2);
    }

    void clipboard_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<Row>>("lines");
        QTest::addColumn<QString>("error");

        const Row red{0xF00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7};
        const Row black{};
        const QByteArray good = row("1", "0xF00", "7");
        const QList<Row> none;
        const QString ok;
        QTest::newRow("empty") << QByteArray() << none << ok;
        QTest::newRow("blank rows only") << QByteArray("\n\r\n \n") << none << ok;
        QTest::newRow("header only") << kHeader + "\r\n" << none << ok;
        QTest::newRow("header and rows") << kHeader + '\n' + good + '\n' + row("2", "0", "0") + '\n'
                                         << QList<Row>{red, black} << ok;
        QTest::newRow("rows without a header")
            << good + '\n' + row("2", "0", "0") << QList<Row>{red, black} << ok;
        QTest::newRow("byte-order mark, CR LF") << "\xEF\xBB\xBF" + kHeader + "\r\n" + good + "\r\n"
                                                << QList<Row>{red} << ok;
        QTest::newRow("byte-order mark, no header, lone CR")
            << "\xEF\xBB\xBF" + good + '\r' + good << QList<Row>{red, red} << ok;
        QTest::newRow("bad colour after the header")
            << kHeader + '\n' + good + '\n' + row("2", "0xG00", "0") << none
            << QStringLiteral("row 3: led0 \"0xG00\" is not a value from 0x000 to 0xFFF");
        QTest::newRow("bad duration without a header")
            << row("1", "0", "-1") << none
            << QStringLiteral("row 1: duration \"-1\" is not a value from 0 to 4095");
        // A field is shown short and with its control characters spelled out,
        // whatever it holds.
        QTest::newRow("control characters in a field")
            << row("1", QByteArray("\x1B[2J\0", 5), "0") << none
            << QStringLiteral("row 1: led0 \"\\x1B[2J\\x00\" is not a value from 0x000 to 0xFFF");
        QTest::newRow("long field")
            << row("1", "0", QByteArray(3000, '9')) << none
            << QStringLiteral("row 1: duration \"%1...\" is not a value from 0 to 4095")
                   .arg(QString(40, u'9'));
    }
    void clipboard()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<Row>, lines);
        QFETCH(QString, error);
        const TsvLines result = linesFromTsv(text);
        QCOMPARE(result.error.message(), error);
        if (!error.isEmpty())
            return;
        QCOMPARE(result.lineCount(), lines.size());
        for (int n = 0; n < lines.size(); ++n) {
            for (int c = 0; c < kColumnCount; ++c)
                QCOMPARE(int(result.cells[std::size_t(n * kColumnCount + c)]),
                         lines[n][std::size_t(c)]);
        }
    }

    // A file is read in pieces; where the pieces end must not matter.
    void piecesReadAsTheWhole_data()
    {
        QTest::addColumn<QByteArray>("text");
        const QByteArray good = row("1", "0xF00", "7");
        QTest::newRow("CR LF") << kHeader + "\r\n" + good + "\r\n" + good + "\r\n\r\n";
        QTest::newRow("lone CR and blank rows") << kHeader + '\r' + good + "\r\r" + good;
        QTest::newRow("wrong row after a blank one") << kHeader + '\n' + good + "\r\n\r\n" + good;
        QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + kHeader + '\n' + good;
    }
    void piecesReadAsTheWhole()
    {
        QFETCH(QByteArray, text);
        const TsvResult whole = tableFromTsv(text);
        TsvReader reader(TsvReader::Header::Required);
        bool ok = true;
        for (char ch : text)
            ok = ok && reader.feed(QByteArrayView(&ch, 1));
        ok = ok && reader.finish();
        QCOMPARE(ok, whole.ok());
        QCOMPARE(reader.error().message(), whole.error.message());
        if (ok)
            QCOMPARE(LineTable(reader.takeCells()), whole.table);
    }
};

QTEST_GUILESS_MAIN(TsvTableTest)
#include "TsvTableTest.moc"
