#include "send/ExitOnSignals.h"

#include "support/StandInTools.h"

#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace glowline;

namespace {

// A tool that has started a child of its own, which has let go of the
// tool's output as a daemon would, and waits for it.
const QString kTool = QStringLiteral("sleep 60 >/dev/null 2>&1 & echo $! > \"$1/child.pid\"\n"
                                     "echo $$ > \"$1/tool.pid\"\n"
                                     "wait\n");

} // namespace

// The tools end with the editor that started them, however it ends. The
// editor is stood in for by tool_host, which runs one tool as the editor
// does.
class ExitOnSignalsTest : public QObject
{
    Q_OBJECT

private slots:
    void toolsEndWithTheEditor_data()
    {
        QTest::addColumn<int>("signal"); // 0: the host exits as Qt does without an X server
        QTest::addColumn<bool>("childEnds");
        QTest::newRow("SIGTERM") << int(SIGTERM) << true;
        QTest::newRow("SIGHUP (a logout)") << int(SIGHUP) << true;
        QTest::newRow("exit on a lost X server") << 0 << true;
        // Nothing runs in a killed editor: the system ends the tool itself,
        // and a child of the tool's own is out of reach.
        QTest::newRow("SIGKILL") << int(SIGKILL) << false;
    }

    void toolsEndWithTheEditor()
    {
        QFETCH(int, signal);
        QFETCH(bool, childEnds);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString toolPid = dir.filePath(QStringLiteral("tool.pid"));
        const QString childPid = dir.filePath(QStringLiteral("child.pid"));

        QProcess host;
        host.start(QStringLiteral(GLOWLINE_TOOL_HOST), {kTool, dir.path()});
        QVERIFY(host.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(toolPid).size() > 0 && QFileInfo(childPid).size() > 0,
                                 10000);
        const QByteArray tool = test::readAll(toolPid).trimmed();
        const QByteArray child = test::readAll(childPid).trimmed();
        const auto cleanUp = qScopeGuard([&] {
            for (const QByteArray &pid : {tool, child}) {
                if (test::isRunning(pid))
                    ::kill(pid_t(pid.toLongLong()), SIGKILL);
            }
        });
        QVERIFY(test::isRunning(tool));

        if (signal == 0)
            host.write("exit\n");
        else
            ::kill(pid_t(host.processId()), signal);
        QVERIFY(host.waitForFinished(10000));
        if (signal == 0) {
            QCOMPARE(host.exitStatus(), QProcess::NormalExit);
        } else {
            // Ended by the signal, without a question to anyone.
            QCOMPARE(host.exitStatus(), QProcess::CrashExit);
            QCOMPARE(host.exitCode(), signal);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!test::isRunning(tool), 10000);
        if (childEnds)
            QTRY_VERIFY_WITH_TIMEOUT(!test::isRunning(child), 10000);
    }
};

QTEST_GUILESS_MAIN(ExitOnSignalsTest)
#include "ExitOnSignalsTest.moc"
