#include "send/ToolCommand.h"

#include <QTest>

using namespace glowline;

// Both forms of each command are pure, so the Windows command line is checked
// here on every platform.
class ToolCommandTest : public QObject
{
    Q_OBJECT

private slots:
    void assembler_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<QString>("windowsLine");

        QTest::newRow("windows folder with spaces")
            << QStringLiteral("C:/Program Files/Glow Line/avra.exe")
            << QStringLiteral("C:/Seq/run.asm")
            << QStringLiteral("C:\\Program Files\\Glow Line\\avra.exe \"C:\\Seq\\run.asm\"");
        QTest::newRow("backslashes kept")
            << QStringLiteral("D:\\tools\\avra.exe") << QStringLiteral("E:\\My Shows\\a.b\\x.asm")
            << QStringLiteral("D:\\tools\\avra.exe \"E:\\My Shows\\a.b\\x.asm\"");
        QTest::newRow("unix paths")
            << QStringLiteral("/opt/glow line/avra") << QStringLiteral("/home/u/it's $(x).asm")
            << QStringLiteral("\\opt\\glow line\\avra \"\\home\\u\\it's $(x).asm\"");
    }

    void assembler()
    {
        QFETCH(QString, program);
        QFETCH(QString, sequence);
        QFETCH(QString, windowsLine);
        const ToolCommand command = ToolCommand::assembler(program, sequence);
        QCOMPARE(command.program, program);
        QCOMPARE(command.arguments, QStringList{sequence});
        QCOMPARE(command.windowsCommandLine, windowsLine);
    }

    void programmer_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("windowsLine");

        QTest::newRow("windows folder with spaces")
            << QStringLiteral("C:/Program Files/Glow Line/avrdude-44.exe")
            << QStringLiteral("C:/Seq/run.hex")
            << QStringList{QStringLiteral("-p"), QStringLiteral("m8b"), QStringLiteral("-U"),
                           QStringLiteral("flash:w:C:/Seq/run.hex:i")}
            << QStringLiteral("C:\\Program Files\\Glow Line\\avrdude-44.exe -p m8b -U "
                              "flash:w:\"C:\\Seq\\run.hex\":i");
        QTest::newRow("unix paths")
            << QStringLiteral("/usr/bin/avrdude") << QStringLiteral("/home/u/a \"b\"/run.hex")
            << QStringList{QStringLiteral("-p"), QStringLiteral("m8b"), QStringLiteral("-U"),
                           QStringLiteral("flash:w:/home/u/a \"b\"/run.hex:i")}
            << QStringLiteral(
                   "\\usr\\bin\\avrdude -p m8b -U flash:w:\"\\home\\u\\a \"b\"\\run.hex\":i");
    }

    void programmer()
    {
        QFETCH(QString, program);
        QFETCH(QString, hex);
        QFETCH(QStringList, arguments);
        QFETCH(QString, windowsLine);
        const ToolCommand command = ToolCommand::programmer(program, hex);
        QCOMPARE(command.program, program);
        QCOMPARE(command.arguments, arguments);
        QCOMPARE(command.windowsCommandLine, windowsLine);
    }

    // A stock avrdude also gets the part file and the programmer; the port
    // only when there is one.
    void stockProgrammer_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("windowsLine");

        QTest::newRow("with port")
            << QStringLiteral("COM3")
            << QStringList{QStringLiteral("-C"), QStringLiteral("+C:/Glow/glowline-avrdude.conf"),
                           QStringLiteral("-c"), QStringLiteral("arduino"),
                           QStringLiteral("-P"), QStringLiteral("COM3"),
                           QStringLiteral("-p"), QStringLiteral("m8b"),
                           QStringLiteral("-U"), QStringLiteral("flash:w:C:/My Seq/run.hex:i")}
            << QStringLiteral(
                   "C:\\avr\\avrdude.exe -C \"+C:\\Glow\\glowline-avrdude.conf\" -c "
                   "\"arduino\" -P \"COM3\" -p m8b -U flash:w:\"C:\\My Seq\\run.hex\":i");
        QTest::newRow("no port")
            << QString()
            << QStringList{QStringLiteral("-C"), QStringLiteral("+C:/Glow/glowline-avrdude.conf"),
                           QStringLiteral("-c"), QStringLiteral("arduino"),
                           QStringLiteral("-p"), QStringLiteral("m8b"),
                           QStringLiteral("-U"), QStringLiteral("flash:w:C:/My Seq/run.hex:i")}
            << QStringLiteral("C:\\avr\\avrdude.exe -C \"+C:\\Glow\\glowline-avrdude.conf\" -c "
                              "\"arduino\" -p m8b -U flash:w:\"C:\\My Seq\\run.hex\":i");
    }

    void stockProgrammer()
    {
        QFETCH(QString, port);
        QFETCH(QStringList, arguments);
        QFETCH(QString, windowsLine);
        const ToolCommand command = ToolCommand::stockProgrammer(
            QStringLiteral("C:/avr/avrdude.exe"), QStringLiteral("C:/My Seq/run.hex"),
            QStringLiteral("C:/Glow/glowline-avrdude.conf"), QStringLiteral("arduino"), port);
        QCOMPARE(command.arguments, arguments);
        QCOMPARE(command.windowsCommandLine, windowsLine);
    }

    void posixDisplayLine_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("line");

        QTest::newRow("plain") << QStringList{QStringLiteral("/usr/bin/avra"),
                                              QStringLiteral("/tmp/run.asm")}
                               << QStringLiteral("/usr/bin/avra /tmp/run.asm");
        QTest::newRow("space") << QStringList{QStringLiteral("/opt/a b/avra"),
                                              QStringLiteral("x.asm")}
                               << QStringLiteral("'/opt/a b/avra' x.asm");
        QTest::newRow("quote and substitution")
            << QStringList{QStringLiteral("avra"), QStringLiteral("it's $(rm x).asm")}
            << QStringLiteral("avra 'it'\\''s $(rm x).asm'");
        QTest::newRow("empty argument")
            << QStringList{QStringLiteral("avra"), QString()} << QStringLiteral("avra ''");
        QTest::newRow("programmer options")
            << QStringList{QStringLiteral("avrdude"), QStringLiteral("-p"), QStringLiteral("m8b"),
                           QStringLiteral("-U"), QStringLiteral("flash:w:/t/r.hex:i")}
            << QStringLiteral("avrdude -p m8b -U flash:w:/t/r.hex:i");
    }

    void posixDisplayLine()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, line);
        QCOMPARE(ToolCommand::posixDisplayLine(words.first(), words.mid(1)), line);
    }
};

QTEST_GUILESS_MAIN(ToolCommandTest)
#include "ToolCommandTest.moc"
