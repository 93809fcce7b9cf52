#include "files/SequenceWriter.h"

#include "support/Files.h"
#include "support/LineTableText.h"
#include "support/TestTables.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace glowline;
using namespace glowline::test;

class SequenceWriterTest final : public QObject
{
    Q_OBJECT

private slots:
    void encode_data()
    {
        QTest::addColumn<LineTable>("table");
        QTest::addColumn<QByteArrayList>("lines");

        QTest::newRow("three-line example")
            << tableOf({{0xF00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50},
                        {0, 0x0F0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                        {0, 0, 0x00F, 0, 0, 0, 0, 0, 0, 0, 0, 100}})
            << QByteArrayList{".cseg",      ".org 0x0000", ";Line 1",    ".dw 0x0F00", ".dw 0x2000",
                              ".dw 0xF032", ";Line 2",     ".dw 0x0000", ".dw 0x10F0", ";Line 3",
                              ".dw 0x1000", ".dw 0x200F",  ".dw 0xF064"};
        // A column that never changes is written once, in line 1, or its
        // colour would be in no word at all.
        QTest::newRow("one line with a duration")
            << tableOf({{0xF00, 0x123, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFF, 7}})
            << QByteArrayList{".cseg",      ".org 0x0000", ";Line 1",   ".dw 0x0F00",
                              ".dw 0x1123", ".dw 0xAFFF",  ".dw 0xF007"};
        QTest::newRow("one line of duration 0")
            << tableOf({{0xF00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}})
            << QByteArrayList{".cseg", ".org 0x0000", ";Line 1", ".dw 0x0F00"};
        QTest::newRow("a column that never changes, among others that do")
            << tableOf({{1, 0, 0, 0x0F0, 0, 0, 0, 0, 0, 0, 0, 5},
                        {2, 0, 0, 0x0F0, 0, 0, 0, 0, 0, 0, 0, 5}})
            << QByteArrayList{".cseg",      ".org 0x0000", ";Line 1",    ".dw 0x0001", ".dw 0x30F0",
                              ".dw 0xF005", ";Line 2",     ".dw 0x0002", ".dw 0xF005"};
        QTest::newRow("start-up sequence")
            << LineTable() << QByteArrayList{".cseg", ".org 0x0000", ";Line 1"};
        QTest::newRow("all lines equal")
            << tableOf({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
                        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12},
                        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 0}})
            << QByteArrayList{".cseg",      ".org 0x0000", ";Line 1",    ".dw 0x0001", ".dw 0x1002",
                              ".dw 0x2003", ".dw 0x3004",  ".dw 0x4005", ".dw 0x5006", ".dw 0x6007",
                              ".dw 0x7008", ".dw 0x8009",  ".dw 0x900A", ".dw 0xA00B", ".dw 0xF00C",
                              ";Line 2",    ".dw 0xF00C",  ";Line 3"};
        QTest::newRow("line 1 equal to the last line")
            << tableOf({{5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9},
                        {6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9},
                        {5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9}})
            << QByteArrayList{".cseg",      ".org 0x0000", ";Line 1", ".dw 0xF009", ";Line 2",
                              ".dw 0x0006", ".dw 0xF009",  ";Line 3", ".dw 0x0005", ".dw 0xF009"};
        QTest::newRow("largest and smallest durations")
            << tableOf(
                   {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4095}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}})
            << QByteArrayList{".cseg",      ".org 0x0000", ";Line 1",
                              ".dw 0xFFFF", ";Line 2",     ".dw 0xF001"};
        QTest::newRow("black LEDs 0 and 10 against a colour")
            << tableOf({{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                        {0xFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFFF, 0}})
            << QByteArrayList{".cseg",      ".org 0x0000", ";Line 1",    ".dw 0x0000",
                              ".dw 0xA000", ";Line 2",     ".dw 0x0FFF", ".dw 0xAFFF"};
        QTest::newRow("every column of a line, in column order")
            << tableOf({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0xABC, 0xFED},
                        {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}})
            << QByteArrayList{".cseg",      ".org 0x0000", ";Line 1",    ".dw 0x0001", ".dw 0x1002",
                              ".dw 0x2003", ".dw 0x3004",  ".dw 0x4005", ".dw 0x5006", ".dw 0x6007",
                              ".dw 0x7008", ".dw 0x8009",  ".dw 0x900A", ".dw 0xAABC", ".dw 0xFFED",
                              ";Line 2",    ".dw 0x0000",  ".dw 0x1000", ".dw 0x2000", ".dw 0x3000",
                              ".dw 0x4000", ".dw 0x5000",  ".dw 0x6000", ".dw 0x7000", ".dw 0x8000",
                              ".dw 0x9000", ".dw 0xA000"};
        // The reference follows the words written, not the line before.
        QTest::newRow("a colour returns after a gap")
            << tableOf({{7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                        {7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                        {8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                        {8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                        {7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}})
            << QByteArrayList{".cseg",      ".org 0x0000", ";Line 1", ";Line 2",   ";Line 3",
                              ".dw 0x0008", ";Line 4",     ";Line 5", ".dw 0x0007"};
    }
    void encode()
    {
        QFETCH(LineTable, table);
        QFETCH(QByteArrayList, lines);
        QCOMPARE(encodeSequence(table), crlf(lines));
    }

    void lineNumbersHaveNoLeadingZeros()
    {
        const QByteArray text = encodeSequence(LineTable(12));
        QVERIFY(text.contains("\r\n;Line 9\r\n;Line 10\r\n;Line 11\r\n;Line 12\r\n"));
        QVERIFY(text.endsWith("\r\n;Line 12\r\n"));
        QVERIFY(!text.contains(";Line 0"));
    }

    void everyLineOfTheFormatIsWellFormed()
    {
        QRandomGenerator random(7);
        LineTable table = randomExactTable(random, 300);
        for (int n = 1; n <= 300; n += 3)
            table.setCell(kDurationColumn, n, 0);
        const QByteArray text = encodeSequence(table);
        QVERIFY(text.endsWith("\r\n"));
        const QByteArrayList lines = text.chopped(2).split('\n');
        QCOMPARE(lines.at(0), QByteArray(".cseg\r"));
        QCOMPARE(lines.at(1), QByteArray(".org 0x0000\r"));
        int header = 0;
        int lastCode = -1;
        for (qsizetype i = 2; i < lines.size(); ++i) {
            const QByteArray &line = lines[i];
            const QByteArray body = i + 1 < lines.size() ? line.chopped(1) : line;
            if (i + 1 < lines.size())
                QVERIFY(line.endsWith('\r'));
            QVERIFY2(!body.contains('\r'), body.constData());
            if (body.startsWith(";Line ")) {
                ++header;
                QCOMPARE(body, ";Line " + QByteArray::number(header));
                lastCode = -1;
                continue;
            }
            QCOMPARE(body.size(), 10);
            QVERIFY2(body.startsWith(".dw 0x"), body.constData());
            for (char ch : body.mid(6))
                QVERIFY2((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F'), body.constData());
            const int code = body.mid(6, 1).toInt(nullptr, 16);
            QVERIFY(code <= 10 || code == 15);
            // LED words in ascending column order, the duration word last.
            QVERIFY2(code > lastCode, body.constData());
            lastCode = code;
            if (code == 15)
                QVERIFY(body != ".dw 0xF000");
        }
        QCOMPARE(header, 300);
    }

    void wordCountsMatchTheWordsWritten_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<bool>("sparse");
        QTest::newRow("one line") << 1 << 1u << false;
        QTest::newRow("two lines") << 2 << 2u << false;
        QTest::newRow("300 lines") << 300 << 3u << false;
        QTest::newRow("300 sparse lines, some of duration 0") << 300 << 4u << true;
        QTest::newRow("2000 sparse lines") << 2000 << 5u << true;
    }
    void wordCountsMatchTheWordsWritten()
    {
        QFETCH(int, lines);
        QFETCH(quint32, seed);
        QFETCH(bool, sparse);
        QRandomGenerator random(seed);
        LineTable table(lines);
        for (int n = 1; n <= lines; ++n) {
            for (int c = 0; c < kColumnCount; ++c) {
                // Sparse tables repeat most cells, so that many words are left out.
                const bool keep = sparse && n > 1 && random.bounded(4) != 0;
                table.setCell(c, n, keep ? table.cell(c, n - 1) : Cell(random.bounded(4096)));
            }
            if (sparse && random.bounded(3) == 0)
                table.setCell(kDurationColumn, n, 0);
        }

        // The words each line got in the file, counted between its headers.
        QList<int> written;
        for (const QByteArray &fileLine : encodeSequence(table).split('\n')) {
            if (fileLine.startsWith(";Line "))
                written.append(0);
            else if (fileLine.startsWith(".dw "))
                ++written.last();
        }
        QCOMPARE(written.size(), lines);
        int sum = 0;
        for (int n = 1; n <= lines; ++n) {
            QCOMPARE(lineWordCount(table, n), written[n - 1]);
            sum += written[n - 1];
        }
        QCOMPARE(sequenceWordCount(table), sum);
    }

    void largestSequenceIsWrittenCompletely()
    {
        const LineTable table = everyLedChangesTable();
        const QByteArray text = encodeSequence(table);
        QCOMPARE(text.count(";Line "), qsizetype(kMaxLines));
        QCOMPARE(text.count("\r\n"), qsizetype(2 + kMaxLines * 13));
        const auto last = table.line(kMaxLines);
        QByteArray tail = ";Line 32767\r\n";
        for (int c = 0; c < kLedCount; ++c)
            tail += ".dw 0x" +
                    QByteArray::number(c * 4096 + last[c], 16).toUpper().rightJustified(4, '0') +
                    "\r\n";
        tail +=
            ".dw 0x" + QByteArray::number(0xF000 + last[kDurationColumn], 16).toUpper() + "\r\n";
        QVERIFY(text.endsWith(tail));
    }

    void saveWritesTheBytesUnderTheExactName()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("sequence"));
        const LineTable table = tableOf(
            {{0xF00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50}, {0, 0x0F0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}});
        QString error = QStringLiteral("untouched");
        QVERIFY(saveSequenceFile(table, path, &error));
        QCOMPARE(error, QStringLiteral("untouched"));
        const QByteArray expected =
            crlf({".cseg", ".org 0x0000", ";Line 1", ".dw 0x0F00", ".dw 0x1000", ".dw 0xF032",
                  ";Line 2", ".dw 0x0000", ".dw 0x10F0"});
        QCOMPARE(readAll(path), expected);
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 QStringList{QStringLiteral("sequence")});

        // Saving again without edits writes the same bytes, over the old file.
        QVERIFY(saveSequenceFile(table, path, nullptr));
        QCOMPARE(readAll(path), expected);
        QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                 QStringList{QStringLiteral("sequence")});
    }

    void saveReplacesALongerFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.asm"));
        QVERIFY(writeAll(path, QByteArray(100000, 'x')));
        QVERIFY(saveSequenceFile(LineTable(), path, nullptr));
        QCOMPARE(readAll(path), crlf({".cseg", ".org 0x0000", ";Line 1"}));
    }
};

QTEST_GUILESS_MAIN(SequenceWriterTest)
#include "SequenceWriterTest.moc"
