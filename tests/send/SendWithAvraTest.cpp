#include "files/SequenceWriter.h"
#include "model/Document.h"
#include "send/HeadlessToolRunner.h"
#include "send/SendOperation.h"
#include "support/IntelHex.h"
#include "support/ScriptedDialogs.h"
#include "support/StandInTools.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <map>
#include <optional>

using namespace glowline;
using glowline::test::hexWords;
using glowline::test::readAll;
using glowline::test::recordedArguments;
using glowline::test::ScriptedDialogs;
using glowline::test::writeScript;

namespace {

// The ".dw" words of a sequence file, in order.
QList<quint16> sourceWords(const QByteArray &source)
{
    QList<quint16> words;
    static const QRegularExpression word(QStringLiteral("^\\.dw 0x([0-9A-F]{4})\\r?$"),
                                         QRegularExpression::MultilineOption);
    auto it = word.globalMatch(QString::fromLatin1(source));
    while (it.hasNext())
        words.append(quint16(it.next().captured(1).toUInt(nullptr, 16)));
    return words;
}

} // namespace

// Send with the real assembler from the PATH and a stand-in programmer.
class SendWithAvraTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("avra")).isEmpty())
            QSKIP("avra is not installed");
    }

    void hexParser()
    {
        // Two words 0x0F00 and 0xF00A at address 0, by hand.
        const auto words = hexWords(":020000020000FC\n:04000000000F0AF0F3\n:00000001FF\n");
        QVERIFY(words);
        QCOMPARE(*words, (QList<quint16>{0x0F00, 0xF00A}));
        QVERIFY(!hexWords(":04000000000F0AF0F4\n:00000001FF\n")); // checksum
        QVERIFY(!hexWords(":04000000000F0AF0F3\n"));              // no end record
    }

    void assemblesAndPrograms_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hexName");

        QTest::newRow("asm") << "run.asm"
                             << "run.hex";
        QTest::newRow("upper case") << "UP.ASM"
                                    << "UP.hex";
        QTest::newRow("dot in folder only") << "My.Data/run"
                                            << "My.Data/run.hex";
        QTest::newRow("other extension") << "seq.inc"
                                         << "seq.inc.hex";
        QTest::newRow("spaces and quotes") << "a folder/it's \"lit\".asm"
                                           << "a folder/it's \"lit\".hex";
    }

    void assemblesAndPrograms()
    {
        QFETCH(QString, name);
        QFETCH(QString, hexName);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString program = dir.filePath(QStringLiteral("program folder"));
        QVERIFY(QDir().mkpath(program));
        QVERIFY(writeScript(QDir(program).filePath(QStringLiteral("avrdude-44")),
                            glowline::test::kStandInProgrammer));
        const QString file = dir.filePath(QStringLiteral("shows/") + name);
        QVERIFY(QDir().mkpath(QFileInfo(file).path()));

        // LED 0 red then green, 0.10 s and 0 s. The first line is written
        // against the last line's colours, so the words are, by hand:
        // 0x0F00 (LED 0 = F00), 0xF00A (duration 10), 0x00F0 (LED 0 = 0F0).
        LineTable table(2);
        table.setCell(0, 1, 0xF00);
        table.setCell(kDurationColumn, 1, 10);
        table.setCell(0, 2, 0x0F0);
        Document document;
        document.replace(table);
        QString error;
        QVERIFY2(saveSequenceFile(document.table(), file, &error), qPrintable(error));
        document.state().setFileName(file);

        ScriptedDialogs dialogs;
        HeadlessToolRunner runner;
        SendOperation send(document, dialogs, runner, {}, ToolLocator(program));
        QCOMPARE(send.run(), SendOperation::Outcome::Sent);
        QVERIFY(dialogs.messages.isEmpty());

        const QString hex = dir.filePath(QStringLiteral("shows/") + hexName);
        QVERIFY2(QFileInfo(hex).isFile(), qPrintable(hex));
        const auto words = hexWords(readAll(hex));
        QVERIFY(words);
        QCOMPARE(*words, (QList<quint16>{0x0F00, 0xF00A, 0x00F0}));
        QCOMPARE(recordedArguments(QDir(program).filePath(QStringLiteral("avrdude.args"))),
                 (QStringList{QStringLiteral("-p"), QStringLiteral("m8b"), QStringLiteral("-U"),
                              QStringLiteral("flash:w:") + hex + QStringLiteral(":i")}));
    }

    // A longer sequence: the HEX file holds every word of the file, in order.
    void holdsEveryWordOfALongerSequence()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeScript(dir.filePath(QStringLiteral("avrdude-44")),
                            glowline::test::kStandInProgrammer));
        const QString file = dir.filePath(QStringLiteral("long.asm"));
        LineTable table(300);
        for (int n = 1; n <= 300; ++n) {
            for (int c = 0; c < kColumnCount; ++c)
                table.setCell(c, n, Cell((n * 37 + c * 101) % (n % 3 ? 4096 : 7)));
        }
        Document document;
        document.replace(table);
        QString error;
        QVERIFY2(saveSequenceFile(document.table(), file, &error), qPrintable(error));
        document.state().setFileName(file);
        const QList<quint16> expected = sourceWords(readAll(file));
        QVERIFY(expected.size() > 1000);

        ScriptedDialogs dialogs;
        HeadlessToolRunner runner;
        SendOperation send(document, dialogs, runner, {}, ToolLocator(dir.path()));
        QCOMPARE(send.run(), SendOperation::Outcome::Sent);
        const auto words = hexWords(readAll(dir.filePath(QStringLiteral("long.hex"))));
        QVERIFY(words);
        QCOMPARE(*words, expected);
    }
};

QTEST_GUILESS_MAIN(SendWithAvraTest)
#include "SendWithAvraTest.moc"
