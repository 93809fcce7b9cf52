#include "files/SequenceWriter.h"
#include "model/Document.h"
#include "send/HeadlessToolRunner.h"
#include "send/SendOperation.h"
#include "support/Files.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace glowline;
using glowline::test::readAll;

namespace {

// The words of the sequence file in the order the assembler places them.
QList<quint16> fileWords(const QByteArray &source)
{
    static const QRegularExpression word(QStringLiteral("^\\.dw 0x([0-9A-F]{4})\\r$"),
                                         QRegularExpression::MultilineOption);
    QList<quint16> words;
    auto matches = word.globalMatch(QString::fromLatin1(source));
    while (matches.hasNext())
        words.append(quint16(matches.next().captured(1).toUInt(nullptr, 16)));
    return words;
}

} // namespace

// Send through Debian's own avra and avrdude, with the board's part file, to
// a simulated board on a pseudo-terminal, then read its flash back.
class SendToSimulatedBoardTest : public QObject
{
    Q_OBJECT

private slots:
    void sentWordsAreInTheBoardsFlash()
    {
#if !defined(GLOWLINE_BOARD_SIM)
        QSKIP("needs libsimavr-dev and arduino-core-avr (scripts/test installs them); "
              "configure again once they are installed");
#else
        const QString avra = QStandardPaths::findExecutable(QStringLiteral("avra"));
        const QString avrdude = QStandardPaths::findExecutable(QStringLiteral("avrdude"));
        if (avra.isEmpty() || avrdude.isEmpty())
            QSKIP("needs avra and avrdude (scripts/test installs them)");

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // The program folder holds only the part file, so both tools come
        // from the search path.
        const QString program = dir.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program));
        QVERIFY(QFile::copy(QStringLiteral(GLOWLINE_PART_FILE),
                            QDir(program).filePath(ToolLocator::partFileName())));

        const QString portFile = dir.filePath(QStringLiteral("port"));
        QProcess board;
        board.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        board.start(QStringLiteral(GLOWLINE_BOARD_SIM),
                    {QStringLiteral(GLOWLINE_BOARD_BOOTLOADER), portFile});
        QVERIFY2(board.waitForStarted(), qPrintable(board.errorString()));
        const auto endBoard = qScopeGuard([&board] {
            board.terminate();
            if (!board.waitForFinished(5000)) {
                board.kill();
                board.waitForFinished();
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(portFile), 10000);
        const QString port = QString::fromLocal8Bit(readAll(portFile)).trimmed();

        // Every LED and the duration change on every line: 12 words a line,
        // 2040 in all, well inside the 3584 words the bootloader leaves.
        LineTable table(170);
        for (int line = 1; line <= 170; ++line) {
            for (int c = 0; c < kLedCount; ++c)
                table.setCell(c, line, Cell((line * 7 + c * 301) % 4096));
            table.setCell(kDurationColumn, line, Cell(1 + line % 400));
        }
        Document document;
        document.replace(table);
        const QString sequence = dir.filePath(QStringLiteral("show.asm"));
        QString error;
        QVERIFY2(saveSequenceFile(document.table(), sequence, &error), qPrintable(error));
        document.state().setFileName(sequence);
        document.state().clearChangedMarker();
        const QList<quint16> words = fileWords(readAll(sequence));
        QCOMPARE(words.size(), 2040);

        test::ScriptedDialogs dialogs;
        HeadlessToolRunner runner;
        SendOperation send(document, dialogs, runner, {}, ToolLocator(program));
        ProgrammerSettings settings;
        settings.programmer = QStringLiteral("arduino");
        settings.port = port;
        settings.words = 3584;
        send.setProgrammerSettings(settings, {});
        QCOMPARE(send.run(), SendOperation::Outcome::Sent);
        QCOMPARE(send.sentence(), QStringLiteral("Sent 2040 words to the board."));
        QVERIFY(dialogs.messages.isEmpty());

        const QString back = dir.filePath(QStringLiteral("back.bin"));
        ToolCommand read;
        read.program = avrdude;
        read.arguments = {
            QStringLiteral("-C"), QStringLiteral("+" GLOWLINE_PART_FILE),
            QStringLiteral("-c"), QStringLiteral("arduino"),
            QStringLiteral("-P"), port,
            QStringLiteral("-p"), QStringLiteral("m8b"),
            QStringLiteral("-U"), QStringLiteral("flash:r:") + back + QStringLiteral(":r")};
        const ToolResult readBack = runner.run(read);
        QVERIFY2(readBack.status == ToolResult::Status::Finished && readBack.exitCode == 0,
                 qPrintable(readBack.output));
        const QByteArray flash = readAll(back);
        QVERIFY(flash.size() >= words.size() * 2);
        QList<quint16> flashWords;
        for (qsizetype i = 0; i < words.size(); ++i)
            flashWords.append(quint16(quint8(flash[2 * i]) | quint8(flash[2 * i + 1]) << 8));
        QCOMPARE(flashWords, words);
#endif
    }
};

QTEST_GUILESS_MAIN(SendToSimulatedBoardTest)
#include "SendToSimulatedBoardTest.moc"
