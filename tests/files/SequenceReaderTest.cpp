#include "files/SequenceReader.h"

#include "files/InputFile.h"
#include "support/Files.h"
#include "support/LineTableText.h"
#include "support/TestTables.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace glowline;
using namespace glowline::test;

namespace {

constexpr Row kBlack{};

Row led(int column, int value, int duration = 0)
{
    Row row{};
    row[std::size_t(column)] = value;
    row[kDurationColumn] = duration;
    return row;
}

} // namespace

class SequenceReaderTest final : public QObject
{
    Q_OBJECT

private slots:
    void read_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<LineTable>("expected");

        // LED 1 of line 1 comes from the last line, the duration of line 2
        // from line 1; LEDs 3 to 10 have no word at all and are black.
        QTest::newRow("three-line example")
            << crlf({".cseg", ".org 0x0000", ";Line 1", ".dw 0x0F00", ".dw 0x2000", ".dw 0xF032",
                     ";Line 2", ".dw 0x0000", ".dw 0x10F0", ";Line 3", ".dw 0x1000", ".dw 0x200F",
                     ".dw 0xF064"})
            << tableOf({{0xF00, 0x000, 0x000, 0, 0, 0, 0, 0, 0, 0, 0, 50},
                        {0x000, 0x0F0, 0x000, 0, 0, 0, 0, 0, 0, 0, 0, 50},
                        {0x000, 0x000, 0x00F, 0, 0, 0, 0, 0, 0, 0, 0, 100}});
        QTest::newRow("header numbers play no part")
            << QByteArray(";Line 7\n.dw 0x0001\n;Line 3\n.dw 0x0002\n;Line\n")
            << tableOf({led(0, 1), led(0, 2), led(0, 2)});
        QTest::newRow(";Lines counts as a header")
            << QByteArray(";Line 1\n.dw 0xF001\n;Lines\n.dw 0xF002\n")
            << tableOf({led(0, 0, 1), led(0, 0, 2)});
        QTest::newRow("other case is no header")
            << QByteArray(";Line 1\n.dw 0xF001\n;line 2\n.dw 0xF002\n;LINE 3\n")
            << tableOf({led(0, 0, 2)});
        QTest::newRow("indented header is no header")
            << QByteArray(";Line 1\n .dw 0xF001\n ;Line 2\n\t;Line 3\n.dw 0xF005\n")
            << tableOf({led(0, 0, 5)});
        QTest::newRow("upper-case .DW is skipped")
            << QByteArray(";Line 1\n.DW 0x0F00\n.dw 0xF001\n") << tableOf({led(0, 0, 1)});
        QTest::newRow("leading blank before .dw is skipped")
            << QByteArray(";Line 1\n .dw 0x0F00\n.dw 0xF001\n") << tableOf({led(0, 0, 1)});
        QTest::newRow("two blanks after .dw are skipped")
            << QByteArray(";Line 1\n.dw  0x0F00\n.dw 0xF001\n") << tableOf({led(0, 0, 1)});
        QTest::newRow("upper-case 0X is skipped")
            << QByteArray(";Line 1\n.dw 0X0F00\n.dw 0xF001\n") << tableOf({led(0, 0, 1)});
        QTest::newRow("tab instead of the blank is skipped")
            << QByteArray(";Line 1\n.dw\t0x0F00\n.dw 0xF001\n") << tableOf({led(0, 0, 1)});
        QTest::newRow("lower-case digits")
            << QByteArray(";Line 1\n.dw 0xf064\n.dw 0x0abc\n") << tableOf({led(0, 0xABC, 100)});
        QTest::newRow("column code 11 is the duration")
            << QByteArray(";Line 1\n.dw 0xB064\n") << tableOf({led(0, 0, 100)});
        QTest::newRow("duration word of 0")
            << QByteArray(";Line 1\n.dw 0xF005\n;Line 2\n.dw 0xF000\n")
            << tableOf({led(0, 0, 5), led(0, 0, 0)});
        QTest::newRow("later word for the same column wins")
            << QByteArray(";Line 1\n.dw 0x3001\n.dw 0x3002\n;Line 2\n")
            << tableOf({led(3, 2), led(3, 2)});
        QTest::newRow("header without words copies the line before")
            << QByteArray(";Line 1\n.dw 0x4123\n.dw 0xF010\n;Line 2\n;Line 3\n.dw 0x4456\n")
            << tableOf({led(4, 0x123, 16), led(4, 0x123, 16), led(4, 0x456, 16)});
        QTest::newRow("lines before a column's first word take the last line's value")
            << QByteArray(";Line 1\n;Line 2\n.dw 0x5007\n.dw 0xF009\n;Line 3\n.dw 0x5008\n")
            << tableOf({led(5, 8, 9), led(5, 7, 9), led(5, 8, 9)});
        QTest::newRow("no duration word at all")
            << QByteArray(";Line 1\n.dw 0x0001\n;Line 2\n.dw 0x0002\n")
            << tableOf({led(0, 1), led(0, 2)});
        QTest::newRow("one-line file has no colours")
            << QByteArray(".cseg\r\n.org 0x0000\r\n;Line 1\r\n.dw 0xF032\r\n")
            << tableOf({led(0, 0, 50)});
        QTest::newRow("fewer than four digits")
            << QByteArray(";Line 1\n.dw 0x1F\n;Line 2\n.dw 0x7\n;Line 3\n.dw 0xABC")
            << tableOf({led(0, 0x01F, 0), led(0, 0x007, 0), led(0, 0xABC, 0)});
        QTest::newRow("text after four digits is not read")
            << QByteArray(";Line 1\n.dw 0x1234 ; comment\n.dw 0x2345zz\n.dw 0xF0017\n")
            << tableOf({{0, 0x234, 0x345, 0, 0, 0, 0, 0, 0, 0, 0, 1}});
        QTest::newRow("other lines are skipped")
            << QByteArray("; header comment\n.include \"x.inc\"\n\n;Line 1\nldi r16, 1\n"
                          ".db 0x0F00\n.dw 0x0F00\n;LED\n")
            << tableOf({led(0, 0xF00)});
        QTest::newRow("no header gives one black line")
            << QByteArray(".cseg\r\n.org 0x0000\r\n; nothing here\r\n") << tableOf({kBlack});
        QTest::newRow("empty file gives one black line") << QByteArray() << tableOf({kBlack});
        QTest::newRow("LF line ends")
            << QByteArray(".cseg\n;Line 1\n.dw 0x0001\n;Line 2\n.dw 0x0002\n")
            << tableOf({led(0, 1), led(0, 2)});
        QTest::newRow("lone CR line ends")
            << QByteArray(".cseg\r;Line 1\r.dw 0x0001\r;Line 2\r.dw 0x0002\r")
            << tableOf({led(0, 1), led(0, 2)});
        QTest::newRow("mixed line ends, last line without one")
            << QByteArray(";Line 1\r\n.dw 0x0001\r;Line 2\n.dw 0x0002\n\r;Line 3\r\r\n.dw 0x0003")
            << tableOf({led(0, 1), led(0, 2), led(0, 3)});
        QTest::newRow("header split by a CR is no header")
            << QByteArray(";Line 1\n.dw 0x0001\n;Li\rne 2\n.dw 0x0002\n") << tableOf({led(0, 2)});
    }
    void read()
    {
        QFETCH(QByteArray, text);
        QFETCH(LineTable, expected);
        const ReadResult result = readSequence(text);
        QVERIFY2(result.ok(), qPrintable(result.message()));
        QCOMPARE(result.error.line, 0);
        QCOMPARE(result.table, expected);
    }

    void failure_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");

        QTest::newRow("word before the first header")
            << QByteArray(".cseg\n.org 0x0000\n.dw 0x0F00\n;Line 1\n") << 3;
        QTest::newRow("word before a lower-case header")
            << QByteArray(";line 1\n.dw 0x0F00\n") << 2;
        QTest::newRow("column code 12") << QByteArray(";Line 1\n.dw 0x0001\n.dw 0xC000\n") << 3;
        QTest::newRow("column code 13") << QByteArray(";Line 1\n.dw 0xDFFF\n") << 2;
        QTest::newRow("column code 14, lower case") << QByteArray(";Line 1\n.dw 0xe123\n") << 2;
        QTest::newRow("no digits") << QByteArray(";Line 1\n.dw 0x\n") << 2;
        QTest::newRow("no digits at the end of the text") << QByteArray(";Line 1\r\n.dw 0x") << 2;
        QTest::newRow("blank after the prefix") << QByteArray(";Line 1\n.dw 0x 123\n") << 2;
        QTest::newRow("first character not hex") << QByteArray(";Line 1\n.dw 0xG000\n") << 2;
        QTest::newRow("fourth character not hex") << QByteArray(";Line 1\n.dw 0x0F0G\n") << 2;
        QTest::newRow("blank within four characters") << QByteArray(";Line 1\n.dw 0x0F \n") << 2;
        QTest::newRow("sign") << QByteArray(";Line 1\n.dw 0x-001\n") << 2;
        QTest::newRow("NUL byte") << QByteArray(";Line 1\n.dw 0x0\0000\n", 18) << 2;
        QTest::newRow("byte above ASCII") << QByteArray(";Line 1\n.dw 0x0\xB2\n") << 2;
        // The error names the line of the file, counting empty lines and
        // every kind of line end.
        QTest::newRow("counted across CR LF")
            << QByteArray(";Line 1\r\n\r\n\r\n.dw 0xC000\r\n") << 4;
        QTest::newRow("counted across lone CR") << QByteArray(";Line 1\r\r\r.dw 0xC000\r") << 4;
        QTest::newRow("counted across mixed ends")
            << QByteArray(";Line 1\r\n\n\r\r\n.dw 0xC000") << 5;
    }
    void failure()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        const ReadResult result = readSequence(text);
        QVERIFY(!result.ok());
        QCOMPARE(result.error.line, line);
        QVERIFY(!result.error.description.trimmed().isEmpty());
        QVERIFY2(result.message().startsWith(QStringLiteral("line %1: ").arg(line)),
                 qPrintable(result.message()));
    }

    void columnCodeIsNamedInTheError()
    {
        const ReadResult result = readSequence(";Line 1\n.dw 0xD000\n");
        QVERIFY(!result.ok());
        QVERIFY2(result.error.description.contains(u"13"), qPrintable(result.error.description));
    }

    void badWordIsShownPrintably_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letters") << QByteArray(";Line 1\n.dw 0x0F0G\n")
                                 << QStringLiteral("\"0F0G\"");
        QTest::newRow("NUL byte") << QByteArray(";Line 1\n.dw 0x0\0000\n", 18)
                                  << QStringLiteral("\"0\\x000\"");
        QTest::newRow("tab and byte above ASCII")
            << QByteArray(";Line 1\n.dw 0x\t\xE9\n") << QStringLiteral("\"\\x09\\xE9\"");
    }
    void badWordIsShownPrintably()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, shown);
        const ReadResult result = readSequence(text);
        QVERIFY(!result.ok());
        QVERIFY2(result.error.description.startsWith(shown), qPrintable(result.error.description));
        for (QChar ch : result.error.description)
            QVERIFY2(ch.unicode() >= 0x20 && ch.unicode() < 0x7F,
                     qPrintable(result.error.description));
    }

    void largestFileIsReadCompletely()
    {
        QByteArray text = ".cseg\r\n.org 0x0000\r\n";
        for (int n = 1; n <= kMaxLines; ++n)
            text += ";Line " + QByteArray::number(n) + "\r\n.dw 0x" +
                    QByteArray::number(n % 11, 16).toUpper() +
                    QByteArray::number(n % 4096, 16).rightJustified(3, '0') + "\r\n";
        ReadResult result = readSequence(text);
        QVERIFY2(result.ok(), qPrintable(result.message()));
        QCOMPARE(result.table.lineCount(), kMaxLines);
        // Line n sets LED n % 11 to n % 4096; the other LEDs carry on.
        QCOMPARE(result.table.cell(kMaxLines % 11, kMaxLines), Cell(kMaxLines % 4096));
        QCOMPARE(result.table.cell(5, 100), Cell(93 % 4096));
        QCOMPARE(result.table.cell(kDurationColumn, 7), Cell(0));

        // One header more fails at that header's line.
        text += ".dw 0x0001\r\n;Line 32768\r\n.dw 0x0002\r\n";
        result = readSequence(text);
        QVERIFY(!result.ok());
        QCOMPARE(result.error.line, 2 + 2 * kMaxLines + 2);
    }

    void headersOnlyUpToTheLimit()
    {
        const QByteArray headers = QByteArray(";Line\n").repeated(kMaxLines);
        ReadResult result = readSequence(headers);
        QVERIFY(result.ok());
        QCOMPARE(result.table, LineTable(kMaxLines));
        result = readSequence(headers + ";Line\n");
        QVERIFY(!result.ok());
        QCOMPARE(result.error.line, kMaxLines + 1);
    }

    void readsAFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("lf.asm"));
        QVERIFY(writeAll(path, ";Line 1\n.dw 0x0F00\n;Line 2\n.dw 0x0000\n.dw 0xF00A"));
        const ReadResult result = readSequenceFile(path);
        QVERIFY2(result.ok(), qPrintable(result.message()));
        QCOMPARE(result.table, tableOf({led(0, 0xF00, 10), led(0, 0, 10)}));
    }

    void fileFailures_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("missing file") << QStringLiteral("does-not-exist.asm");
        QTest::newRow("folder") << QStringLiteral(".");
        QTest::newRow("device that never ends") << QStringLiteral("/dev/zero");
    }
    void fileFailures()
    {
        QFETCH(QString, path);
        if (path.startsWith(u'/') && !QFile::exists(path))
            QSKIP("no such device here");
        QTemporaryDir dir;
        const QString full = path.startsWith(u'/') ? path : dir.filePath(path);
        const ReadResult result = readSequenceFile(full);
        QVERIFY(!result.ok());
        QCOMPARE(result.error.line, 0);
        QVERIFY(!result.error.description.trimmed().isEmpty());
        QCOMPARE(result.message(), result.error.description);
    }

    void oversizedFileIsRefused()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("huge.asm"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(kMaxSequenceFileBytes + 1)); // sparse
        file.close();
        const ReadResult result = readSequenceFile(path);
        QVERIFY(!result.ok());
        QCOMPARE(result.error.line, 0);
        QVERIFY(!result.error.description.isEmpty());
    }

    void unreadableFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("locked.asm"));
        QVERIFY(writeAll(path, ";Line 1\n"));
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        QFile probe(path);
        if (probe.open(QIODevice::ReadOnly))
            QSKIP("permission bits do not bind this user (root)");
        const ReadResult result = readSequenceFile(path);
        QVERIFY(!result.ok());
        QVERIFY(!result.error.description.isEmpty());
    }

    // The name may be given to a pipe between a look at it and its opening;
    // a pipe with no writer would then hold the reading for ever.
    void pipeSwappedInIsRefusedWithoutWaiting()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("swapped.asm"));
        const QString file = dir.filePath(QStringLiteral("file.asm"));
        const QString pipe = dir.filePath(QStringLiteral("pipe.asm"));
        QVERIFY(writeAll(file, ";Line 1\n"));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QVERIFY(QFile::link(file, path));
        std::atomic<bool> stop = false;
        // Points the name at the file and at the pipe in turn.
        std::thread swapper([&] {
            const QByteArray name = QFile::encodeName(path);
            const QByteArray targets[] = {QFile::encodeName(file), QFile::encodeName(pipe)};
            const QByteArray temporary = name + ".new";
            for (int i = 0; !stop; ++i) {
                ::unlink(temporary.constData());
                if (::symlink(targets[i % 2].constData(), temporary.constData()) != 0 ||
                    ::rename(temporary.constData(), name.constData()) != 0)
                    return;
            }
        });
        const auto stopSwapper = qScopeGuard([&] {
            stop = true;
            swapper.join();
        });
        for (int i = 0; i < 2000; ++i) {
            const ReadResult result = readSequenceFile(path);
            if (!result.ok())
                QCOMPARE(result.error.description, QStringLiteral("not a regular file"));
            else
                QCOMPARE(result.table, LineTable());
        }
    }
};

QTEST_GUILESS_MAIN(SequenceReaderTest)
#include "SequenceReaderTest.moc"
