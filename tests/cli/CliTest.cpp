#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <cstring>

using glowline::test::readAll;
using glowline::test::writeAll;

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run runProgram(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        qWarning("glowline-cli did not finish normally: %s", qPrintable(process.errorString()));
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

Run runCli(const QStringList &arguments)
{
    return runProgram(QStringLiteral(GLOWLINE_CLI_PATH), arguments);
}

// Runs the command line through the shell, for what QProcess cannot give:
// arguments that are not valid UTF-8, redirections and limits. The script
// sees the program as $0 and the arguments as $1, $2 ...
Run runCliInShell(const QString &script, const QStringList &arguments)
{
    return runProgram(QStringLiteral("/bin/sh"),
                      QStringList{QStringLiteral("-c"), script, QStringLiteral(GLOWLINE_CLI_PATH)} +
                          arguments);
}

const QByteArray kHeader =
    "line\tled0\tled1\tled2\tled3\tled4\tled5\tled6\tled7\tled8\tled9\tled10\tduration\n";

const QByteArray kExampleFile = ".cseg\r\n.org 0x0000\r\n"
                                ";Line 1\r\n.dw 0x0F00\r\n.dw 0x2000\r\n.dw 0xF032\r\n"
                                ";Line 2\r\n.dw 0x0000\r\n.dw 0x10F0\r\n"
                                ";Line 3\r\n.dw 0x1000\r\n.dw 0x200F\r\n.dw 0xF064\r\n";

const QByteArray kExampleTable =
    kHeader +
    "1\t0xF00\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t50\n"
    "2\t0x000\t0x0F0\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t50\n"
    "3\t0x000\t0x000\t0x00F\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t100\n";

const QByteArray kBlackRow =
    "\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000";

} // namespace

class CliTest final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
    }
    void cleanup() { m_dir.reset(); }

    void show_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("table");

        QTest::newRow("three-line example") << kExampleFile << kExampleTable;
        QTest::newRow("no header gives one black line")
            << QByteArray(".cseg\n") << kHeader + "1\t0x000" + kBlackRow + "\t0\n";
        QTest::newRow("largest values")
            << QByteArray(";Line 1\n.dw 0xAFFF\n.dw 0xFFFF\n;Line 2\n.dw 0xA000\n.dw 0xF001\n")
            << kHeader + "1\t0x000" + kBlackRow.chopped(6) + "\t0xFFF\t4095\n" + "2\t0x000" +
                   kBlackRow + "\t1\n";
    }
    void show()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, table);
        const QString path = m_dir->filePath(QStringLiteral("in.asm"));
        QVERIFY(writeAll(path, file));
        const Run run = runCli({QStringLiteral("show"), path});
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, table);
    }

    void showRejectsAFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("line");

        QTest::newRow("column code 12")
            << QStringLiteral("bad.asm") << QByteArray(";Line 1\r\n.dw 0x0001\r\n.dw 0xC000\r\n")
            << 3;
        QTest::newRow("word before header")
            << QStringLiteral("bad.asm") << QByteArray(".cseg\n.dw 0x0001\n") << 2;
        QTest::newRow("not hex") << QStringLiteral("bad.asm") << QByteArray(";Line 1\r.dw 0xZ\r")
                                 << 2;
        QTest::newRow("too many lines")
            << QStringLiteral("big.asm") << QByteArray(";Line\n").repeated(32768) << 32768;
        QTest::newRow("control characters in a word")
            << QStringLiteral("bad.asm") << QByteArray(";Line 1\n.dw 0x\0\r\n", 17) << 2;
        // Place markers in a name must come out as they are.
        QTest::newRow("odd file name")
            << QStringLiteral("100%2 %1 done.asm") << QByteArray(";Line 1\n.dw 0xE000\n") << 2;
    }
    void showRejectsAFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(int, line);
        const QString path = m_dir->filePath(name);
        QVERIFY(writeAll(path, file));
        const Run run = runCli({QStringLiteral("show"), path});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        const QByteArray prefix = QFile::encodeName(path) + ':' + QByteArray::number(line) + ": ";
        QVERIFY2(run.err.startsWith(prefix), run.err.constData());
        QVERIFY2(run.err.endsWith('\n') && run.err.count('\n') == 1, run.err.constData());
        QVERIFY(run.err.size() > prefix.size() + 1);
    }

    void showCannotOpen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QStringLiteral("missing.asm");
        QTest::newRow("folder") << QStringLiteral("folder");
        QTest::newRow("odd missing name") << QStringLiteral("%1%2%3.asm");
    }
    void showCannotOpen()
    {
        QFETCH(QString, name);
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
        const QString path = m_dir->filePath(name);
        const Run run = runCli({QStringLiteral("show"), path});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        const QByteArray prefix = QFile::encodeName(path) + ": ";
        QVERIFY2(run.err.startsWith(prefix), run.err.constData());
        QVERIFY2(run.err.endsWith('\n') && run.err.count('\n') == 1, run.err.constData());
        QVERIFY(run.err.size() > prefix.size() + 1);
        // The name leads the message and is not said again in it.
        QCOMPARE(run.err.count(QFile::encodeName(path)), 1);
    }

    void importWritesTheFile_data()
    {
        QTest::addColumn<QByteArray>("table");
        // Line 2 has duration 0 here, so it gets no duration word.
        QTest::newRow("as shown")
            << QByteArray(kExampleTable).replace("\t0x000\t50\n3", "\t0x000\t0\n3");
        QTest::newRow("CR LF, no 0x, mixed case, odd line numbers")
            << QByteArray(kHeader).replace("\n", "\r\n") +
                   "7\tf00\t0\t0\t0\t0\t0\t0\t0\t0\t0\t0\t50\r\n"
                   "x\t0x000\t0X0f0\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000"
                   "\t0\r\n"
                   "\t0\t0\t00F\t0\t0\t0\t0\t0\t0\t0\t0\t100\r\n";
        QTest::newRow("byte-order mark and lone CR")
            << "\xEF\xBB\xBF" + QByteArray(kExampleTable)
                                    .replace("\t0x000\t50\n3", "\t0x000\t0\n3")
                                    .replace('\n', '\r');
    }
    void importWritesTheFile()
    {
        QFETCH(QByteArray, table);
        const QString tsv = m_dir->filePath(QStringLiteral("in.tsv"));
        const QString out = m_dir->filePath(QStringLiteral("out.asm"));
        QVERIFY(writeAll(tsv, table));
        const Run run = runCli({QStringLiteral("import"), tsv, out});
        QCOMPARE(run.err, QByteArray());
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(readAll(out), kExampleFile);
    }

    void showThenImportRoundTrip()
    {
        // A random file of the editor's own form: every LED column changes
        // and every line carries a duration word.
        QRandomGenerator random(77);
        const int lines = 300;
        QList<int> colour(11, -1);
        QByteArray file = ".cseg\r\n.org 0x0000\r\n";
        QList<QList<int>> rows;
        for (int n = 1; n <= lines; ++n) {
            QList<int> row;
            for (int c = 0; c < 11; ++c)
                row.append(random.bounded(2) == 0 && n > 1 ? rows.last()[c]
                                                           : int(random.bounded(4096)));
            row.append(1 + int(random.bounded(4095)));
            rows.append(row);
        }
        for (int c = 0; c < 11; ++c)
            rows[1][c] = (rows[0][c] + 1) % 4096; // every column changes
        QList<int> reference = rows.last();
        for (int n = 1; n <= lines; ++n) {
            file += ";Line " + QByteArray::number(n) + "\r\n";
            for (int c = 0; c < 11; ++c) {
                if (rows[n - 1][c] != reference[c]) {
                    file += QByteArray(".dw 0x") +
                            QByteArray::number(c * 4096 + rows[n - 1][c], 16)
                                .toUpper()
                                .rightJustified(4, '0') +
                            "\r\n";
                    reference[c] = rows[n - 1][c];
                }
            }
            file += ".dw 0x" + QByteArray::number(0xF000 + rows[n - 1][11], 16).toUpper() + "\r\n";
        }
        const QString asmPath = m_dir->filePath(QStringLiteral("random.asm"));
        QVERIFY(writeAll(asmPath, file));

        const Run shown = runCli({QStringLiteral("show"), asmPath});
        QCOMPARE(shown.exitCode, 0);
        QCOMPARE(shown.out.count('\n'), qsizetype(lines + 1));
        const QString tsv = m_dir->filePath(QStringLiteral("random.tsv"));
        QVERIFY(writeAll(tsv, shown.out));
        const QString out = m_dir->filePath(QStringLiteral("again.asm"));
        const Run imported = runCli({QStringLiteral("import"), tsv, out});
        QCOMPARE(imported.err, QByteArray());
        QCOMPARE(imported.exitCode, 0);
        QCOMPARE(readAll(out), file);
    }

    void importRejectsATable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<int>("row");
        const QByteArray good = "1\t0xF00" + kBlackRow + "\t7\n";
        const QString t = QStringLiteral("table.tsv");

        QTest::newRow("colour too large") << t << kHeader + good + "2\t0x1000" + kBlackRow + "\t7\n"
                                          << 3;
        QTest::newRow("colour not hex") << t << kHeader + "1\t0xF0G" + kBlackRow + "\t7\n" << 2;
        QTest::newRow("colour empty") << t << kHeader + "1\t" + kBlackRow + "\t7\n" << 2;
        QTest::newRow("duration too large")
            << t << kHeader + good + good + "3\t0" + kBlackRow + "\t4096\n"
            << 4;
        QTest::newRow("duration negative") << t << kHeader + "1\t0" + kBlackRow + "\t-1\n" << 2;
        QTest::newRow("duration not decimal") << t << kHeader + "1\t0" + kBlackRow + "\t1e3\n" << 2;
        QTest::newRow("field missing") << t << kHeader + "1\t0" + kBlackRow + "\n" << 2;
        QTest::newRow("field too many") << t << kHeader + "1\t0" + kBlackRow + "\t7\t7\n" << 2;
        QTest::newRow("no header") << t << good << 1;
        QTest::newRow("no rows") << t << kHeader << 1;
        QTest::newRow("empty") << t << QByteArray() << 1;
        QTest::newRow("too many rows") << t << kHeader + good.repeated(32768) << 32769;
        QTest::newRow("odd file name")
            << QStringLiteral("%2%1.tsv") << kHeader + "1\t0" + kBlackRow + "\tx\n"
            << 2;
    }
    void importRejectsATable()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, table);
        QFETCH(int, row);
        const QString tsv = m_dir->filePath(name);
        QVERIFY(writeAll(tsv, table));
        const QByteArray prefix = QFile::encodeName(tsv) + ':' + QByteArray::number(row) + ": ";

        // Once without an output file, once over an existing one.
        const QString out = m_dir->filePath(QStringLiteral("out.asm"));
        for (bool existing : {false, true}) {
            const QByteArray old = "old contents\n";
            if (existing)
                QVERIFY(writeAll(out, old));
            const Run run = runCli({QStringLiteral("import"), tsv, out});
            QCOMPARE(run.exitCode, 1);
            QCOMPARE(run.out, QByteArray());
            QVERIFY2(run.err.startsWith(prefix), run.err.constData());
            QVERIFY2(run.err.endsWith('\n') && run.err.count('\n') == 1, run.err.constData());
            QVERIFY(run.err.size() > prefix.size() + 1);
            if (existing)
                QCOMPARE(readAll(out), old);
            else
                QVERIFY(!QFile::exists(out));
        }
    }

    void importCannotReadTheTable()
    {
        const QString tsv = m_dir->filePath(QStringLiteral("missing.tsv"));
        const QString out = m_dir->filePath(QStringLiteral("out.asm"));
        const Run run = runCli({QStringLiteral("import"), tsv, out});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(QFile::encodeName(tsv) + ": "), run.err.constData());
        QVERIFY(!QFile::exists(out));
    }

    void importCannotWriteTheFile()
    {
        const QString tsv = m_dir->filePath(QStringLiteral("in.tsv"));
        QVERIFY(writeAll(tsv, kExampleTable));
        const QString out = m_dir->filePath(QStringLiteral("gone/out.asm"));
        const Run run = runCli({QStringLiteral("import"), tsv, out});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith(QFile::encodeName(out) + ": "), run.err.constData());
        QVERIFY(!QFile::exists(out));
    }

    // Such a name cannot reach a file under its own bytes, so it is refused
    // rather than read or written under another name.
    void fileNameNotValidUtf8IsRefused_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("command");
        QTest::newRow("show") << QStringLiteral("exec \"$0\" show \"$1/$(printf 'in\\376.asm')\"")
                              << QStringLiteral("show");
        QTest::newRow("import")
            << QStringLiteral("exec \"$0\" import \"$1/in.tsv\" \"$1/$(printf 'out\\377.asm')\"")
            << QStringLiteral("import");
    }
    void fileNameNotValidUtf8IsRefused()
    {
        QFETCH(QString, script);
        QFETCH(QString, command);
        const QByteArray folder = QFile::encodeName(m_dir->path());
        QVERIFY(writeAll(m_dir->filePath(QStringLiteral("in.tsv")), kExampleTable));
        // The file that show is asked for exists under its own bytes.
        const QByteArray inName = folder + "/in\xFE.asm";
        // QTemporaryDir cannot remove a file whose name Qt cannot decode.
        const auto removeUndecodable = qScopeGuard([&] {
            std::remove(inName.constData());
            std::remove((folder + "/out\xFF.asm").constData());
        });
        std::FILE *in = std::fopen(inName.constData(), "wb");
        QVERIFY(in);
        QCOMPARE(std::fwrite(kExampleFile.constData(), 1, std::size_t(kExampleFile.size()), in),
                 std::size_t(kExampleFile.size()));
        QCOMPARE(std::fclose(in), 0);
        const QStringList before = QDir(m_dir->path()).entryList(QDir::Files);

        const Run run = runCliInShell(script, {m_dir->path()});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.endsWith(": the file name is not valid UTF-8\n"), run.err.constData());
        QCOMPARE(run.err.count('\n'), 1);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), before);
    }

    // A name can hold any byte but / and NUL; printed raw, a line feed would
    // pass for a message of its own and an escape would drive the terminal.
    void controlCharactersInNamesAreEscaped_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("line feed, show")
            << QStringLiteral("show") << QStringLiteral("a\nb.asm:9: fake.asm")
            << QByteArray("a\\x0Ab.asm:9: fake.asm");
        QTest::newRow("escape, show") << QStringLiteral("show") << QStringLiteral("\x1B[2Jx.asm")
                                      << QByteArray("\\x1B[2Jx.asm");
        QTest::newRow("C1 control and DEL, show")
            << QStringLiteral("show") << QStringLiteral("\u009B2J\u007F.asm")
            << QByteArray("\\xC2\\x9B2J\\x7F.asm");
        QTest::newRow("carriage return, import output")
            << QStringLiteral("import") << QStringLiteral("gone/x\r.asm")
            << QByteArray("gone/x\\x0D.asm");
        QTest::newRow("other letters stay as they are")
            << QStringLiteral("show") << QStringLiteral("Lichterkette \u00E4\u00F6.asm")
            << QStringLiteral("Lichterkette \u00E4\u00F6.asm").toUtf8();
    }
    void controlCharactersInNamesAreEscaped()
    {
        QFETCH(QString, command);
        QFETCH(QString, name);
        QFETCH(QByteArray, shown);
        const QString tsv = m_dir->filePath(QStringLiteral("in.tsv"));
        QVERIFY(writeAll(tsv, kExampleTable));
        const QString path = m_dir->filePath(name);
        const Run run = command == u"show" ? runCli({command, path}) : runCli({command, tsv, path});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.startsWith(QFile::encodeName(m_dir->path()) + '/' + shown + ": "),
                 run.err.constData());
        QVERIFY2(run.err.endsWith('\n') && run.err.count('\n') == 1, run.err.constData());
        for (const char byte : run.err.chopped(1))
            QVERIFY2(static_cast<unsigned char>(byte) >= 0x20 && byte != 0x7F, run.err.constData());
        QVERIFY2(!run.err.contains("\xC2\x9B"), run.err.constData());
    }

    void noFileName_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("show") << QStringList{QStringLiteral("show"), QString()};
        QTest::newRow("import from nothing")
            << QStringList{QStringLiteral("import"), QString(), QStringLiteral("out.asm")};
        QTest::newRow("import to nothing")
            << QStringList{QStringLiteral("import"), QStringLiteral("in.tsv"), QString()};
    }
    void noFileName()
    {
        QFETCH(QStringList, arguments);
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err, QByteArray("glowline-cli: no file name was given\n"));
    }

    void showToAFullDevice()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full here");
        const QString path = m_dir->filePath(QStringLiteral("in.asm"));
        QVERIFY(writeAll(path, kExampleFile));
        const Run run =
            runCliInShell(QStringLiteral("exec \"$0\" show \"$1\" > /dev/full"), {path});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.err, "glowline-cli: cannot write the output: " +
                              QByteArray(std::strerror(ENOSPC)) + '\n');
    }

    // A table file of line feeds alone is read in pieces: it takes little
    // memory whatever its size.
    void blankTableTakesLittleMemory()
    {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("the address sanitizer needs more address space than the limit leaves");
#else
        const QString tsv = m_dir->filePath(QStringLiteral("blank.tsv"));
        QVERIFY(writeAll(tsv, QByteArray(64 * 1024 * 1024, '\n')));
        const QString out = m_dir->filePath(QStringLiteral("out.asm"));
        // The program alone runs in well under 100 MB of address space; the file would
        // not fit beside it.
        const Run run = runCliInShell(
            QStringLiteral("ulimit -v 110000 && exec \"$0\" import \"$1\" \"$2\""), {tsv, out});
        QCOMPARE(run.err, QFile::encodeName(tsv) + ":1: the table is empty\n");
        QCOMPARE(run.exitCode, 1);
        QVERIFY(!QFile::exists(out));
#endif
    }

    void oversizedInputIsRefused_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("show") << QStringLiteral("show");
        QTest::newRow("import") << QStringLiteral("import");
    }
    void oversizedInputIsRefused()
    {
        QFETCH(QString, command);
        // Sparse: the size is all that matters.
        const QString input = m_dir->filePath(QStringLiteral("huge"));
        QFile file(input);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(qint64(256) * 1024 * 1024 + 1));
        file.close();
        const QString out = m_dir->filePath(QStringLiteral("out.asm"));
        QStringList arguments{command, input};
        if (command == u"import")
            arguments << out;
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith(QFile::encodeName(input) + ": "), run.err.constData());
        QVERIFY(!QFile::exists(out));
    }

    void help_data()
    {
        QTest::addColumn<QString>("option");
        QTest::newRow("--help") << QStringLiteral("--help");
        QTest::newRow("-h") << QStringLiteral("-h");
    }
    void help()
    {
        QFETCH(QString, option);
        const Run run = runCli({option});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        QVERIFY2(run.out.startsWith("Usage"), run.out.constData());
        QVERIFY(run.out.contains("show"));
        QVERIFY(run.out.contains("import"));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("nothing") << QStringList{};
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")};
        QTest::newRow("show without a file") << QStringList{QStringLiteral("show")};
        QTest::newRow("show with two files")
            << QStringList{QStringLiteral("show"), QStringLiteral("a"), QStringLiteral("b")};
        QTest::newRow("import with one file")
            << QStringList{QStringLiteral("import"), QStringLiteral("a")};
        QTest::newRow("help with more")
            << QStringList{QStringLiteral("--help"), QStringLiteral("show")};
        QTest::newRow("upper-case command")
            << QStringList{QStringLiteral("SHOW"), QStringLiteral("a")};
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        const Run run = runCli(arguments);
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(run.out, QByteArray());
        QVERIFY2(run.err.startsWith("Usage"), run.err.constData());
    }

private:
    std::optional<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(CliTest)
#include "CliTest.moc"
