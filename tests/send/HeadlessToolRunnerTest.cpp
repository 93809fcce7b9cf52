#include "send/HeadlessToolRunner.h"

#include "send/ToolProcess.h"
#include "support/StandInTools.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace glowline;
using Status = ToolResult::Status;

namespace {

ToolCommand shell(const QString &script, const QStringList &arguments = {})
{
    ToolCommand command;
    command.program = QStringLiteral("/bin/sh");
    command.arguments = QStringList{QStringLiteral("-c"), script, QStringLiteral("sh")} + arguments;
    return command;
}

} // namespace

class HeadlessToolRunnerTest : public QObject
{
    Q_OBJECT

private slots:
    void statusText_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("text");

        QTest::newRow("zero") << int(Status::Finished) << 0 << "exited with code 0";
        QTest::newRow("one") << int(Status::Finished) << 1 << "exited with code 1";
        QTest::newRow("255") << int(Status::Finished) << 255 << "exited with code 255";
        QTest::newRow("crashed") << int(Status::Crashed) << 0 << "crashed";
        QTest::newRow("stopped") << int(Status::Stopped) << 0 << "was stopped";
        QTest::newRow("not started") << int(Status::FailedToStart) << 0 << "could not start";
    }

    void statusText()
    {
        QFETCH(int, status);
        QFETCH(int, exitCode);
        QFETCH(QString, text);
        ToolResult result;
        result.status = Status(status);
        result.exitCode = exitCode;
        QCOMPARE(result.statusText(), text);
    }

    void collectsBothChannelsAndTheExitCode()
    {
        HeadlessToolRunner runner;
        const ToolResult result =
            runner.run(shell(QStringLiteral("echo to-out; echo to-err >&2; exit 3")));
        QCOMPARE(result.status, Status::Finished);
        QCOMPARE(result.exitCode, 3);
        QCOMPARE(result.output, QStringLiteral("to-out\nto-err\n"));
    }

    void crash()
    {
        HeadlessToolRunner runner;
        const ToolResult result = runner.run(shell(QStringLiteral("kill -SEGV $$")));
        QCOMPARE(result.status, Status::Crashed);
        QCOMPARE(result.statusText(), QStringLiteral("crashed"));
    }

    void missingProgram()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ToolCommand command;
        command.program = dir.filePath(QStringLiteral("no such tool"));
        HeadlessToolRunner runner;
        const ToolResult result = runner.run(command);
        QCOMPARE(result.status, Status::FailedToStart);
        QVERIFY(!result.errorString.isEmpty());
    }

    void brokenInterpreter()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("tool"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/nonexistent/interpreter\n");
        file.close();
        QVERIFY(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        ToolCommand command;
        command.program = path;
        const ToolResult result = HeadlessToolRunner().run(command);
        QCOMPARE(result.status, Status::FailedToStart);
    }

    // Arguments reach the tool exactly, with no shell to read them.
    void argumentsArriveUnchanged()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QStringList arguments{QStringLiteral("a b"),
                                    QStringLiteral("it's \"q\""),
                                    QStringLiteral("$(touch injected)"),
                                    QStringLiteral("`x`;y"),
                                    QString(),
                                    QStringLiteral("-p")};
        ToolCommand command = shell(QStringLiteral("printf '[%s]' \"$@\""), arguments);
        command.workingDirectory = dir.path();
        const ToolResult result = HeadlessToolRunner().run(command);
        QCOMPARE(result.status, Status::Finished);
        QCOMPARE(result.output,
                 QStringLiteral("[a b][it's \"q\"][$(touch injected)][`x`;y][][-p]"));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("injected"))));
    }

    void runsInTheWorkingDirectory()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("a folder")));
        ToolCommand command = shell(QStringLiteral("pwd -P"));
        command.workingDirectory = dir.filePath(QStringLiteral("a folder"));
        const ToolResult result = HeadlessToolRunner().run(command);
        QCOMPARE(result.output.trimmed(), QFileInfo(command.workingDirectory).canonicalFilePath());
    }

    // Stop ends the tool and what it started, even a process that has left
    // the tool's shell behind.
    void stopEndsTheToolAndItsChildren()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString pidFile = dir.filePath(QStringLiteral("child.pid"));
        ToolProcess process;
        QSignalSpy ended(&process, &ToolProcess::ended);
        process.start(
            shell(QStringLiteral("sleep 60 & echo $! > \"$1\"; echo started; wait"), {pidFile}));
        QTRY_VERIFY_WITH_TIMEOUT(process.result().output.contains(QStringLiteral("started")),
                                 10000);
        const QByteArray child = glowline::test::readAll(pidFile).trimmed();
        QVERIFY(!child.isEmpty());
        process.stop();
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 10000);
        QCOMPARE(process.result().status, Status::Stopped);
        QTRY_VERIFY_WITH_TIMEOUT(!glowline::test::isRunning(child), 10000);
    }

    // A child that the tool leaves running when it ends goes too: it could
    // hold the port the tool used.
    void childrenLeftBehindEndWithTheTool()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString pidFile = dir.filePath(QStringLiteral("child.pid"));
        const ToolResult result = HeadlessToolRunner().run(
            shell(QStringLiteral("sleep 60 >/dev/null 2>&1 & echo $! > \"$1\""), {pidFile}));
        QCOMPARE(result.status, Status::Finished);
        QCOMPARE(result.exitCode, 0);
        const QByteArray child = glowline::test::readAll(pidFile).trimmed();
        QVERIFY(!child.isEmpty());
        const auto cleanUp = qScopeGuard([&child] {
            if (glowline::test::isRunning(child))
                ::kill(pid_t(child.toLongLong()), SIGKILL);
        });
        QTRY_VERIFY_WITH_TIMEOUT(!glowline::test::isRunning(child), 10000);
    }

    // A tool that reads its input gets end of file instead of waiting forever.
    void inputIsEmpty()
    {
        const ToolResult result =
            HeadlessToolRunner().run(shell(QStringLiteral("read line; echo \"read:$?\"")));
        QCOMPARE(result.output, QStringLiteral("read:1\n"));
    }
};

QTEST_GUILESS_MAIN(HeadlessToolRunnerTest)
#include "HeadlessToolRunnerTest.moc"
