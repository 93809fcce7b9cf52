#include "window/ProcessDialog.h"

#include "WidgetLookup.h"
#include "window/DialogToolRunner.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace glowline;
using glowline::test::widget;
using Status = ToolResult::Status;

namespace {

ToolCommand shell(const QString &script)
{
    ToolCommand command;
    command.program = QStringLiteral("/bin/sh");
    command.arguments = {QStringLiteral("-c"), script};
    return command;
}

} // namespace

class ProcessDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void showsOutputAndExitStatus()
    {
        const ToolCommand command =
            shell(QStringLiteral("echo first line; echo on stderr >&2; exit 3"));
        ProcessDialog dialog(command);
        auto *close = widget<QPushButton>(&dialog, QStringLiteral("cmdClose"));
        auto *output = widget<QPlainTextEdit>(&dialog, QStringLiteral("txtOutput"));
        auto *status = widget<QLabel>(&dialog, QStringLiteral("lblStatus"));
        QCOMPARE(widget<QLineEdit>(&dialog, QStringLiteral("txtCommand"))->text(),
                 command.displayLine());
        QVERIFY(!close->isEnabled());

        QString seenOutput;
        QString seenStatus;
        bool closeWasEnabled = false;
        connect(
            &dialog, &ProcessDialog::toolEnded, &dialog,
            [&] {
                seenOutput = output->toPlainText();
                seenStatus = status->text();
                closeWasEnabled = close->isEnabled();
                QVERIFY(dialog.isVisible());
                QVERIFY(dialog.isModal());
                close->click();
            },
            Qt::QueuedConnection);
        QTimer::singleShot(20000, &dialog, &QDialog::reject); // only if the tool never ends

        const ToolResult result = dialog.run();
        QCOMPARE(result.status, Status::Finished);
        QCOMPARE(result.exitCode, 3);
        QCOMPARE(result.output, QStringLiteral("first line\non stderr\n"));
        QCOMPARE(seenOutput, QStringLiteral("first line\non stderr\n"));
        QCOMPARE(seenStatus, QStringLiteral("sh exited with code 3"));
        QVERIFY(closeWasEnabled);
        QVERIFY(!dialog.isVisible());
    }

    // Escape and the close box do not leave a tool running unseen; Stop ends
    // a tool that hangs, and then Close closes.
    void staysOpenUntilTheToolHasEnded()
    {
        ProcessDialog dialog(shell(QStringLiteral("echo waiting; exec sleep 60")));
        auto *close = widget<QPushButton>(&dialog, QStringLiteral("cmdClose"));
        auto *stop = widget<QPushButton>(&dialog, QStringLiteral("cmdStop"));
        auto *output = widget<QPlainTextEdit>(&dialog, QStringLiteral("txtOutput"));

        bool stillOpenAfterEscape = false;
        bool closeEnabledWhileRunning = true;
        auto *poll = new QTimer(&dialog);
        connect(poll, &QTimer::timeout, &dialog, [&] {
            if (!output->toPlainText().contains(QStringLiteral("waiting")))
                return;
            poll->stop();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            dialog.reject();
            dialog.close();
            stillOpenAfterEscape = dialog.isVisible();
            closeEnabledWhileRunning = close->isEnabled();
            stop->click();
        });
        connect(&dialog, &ProcessDialog::toolEnded, close, &QPushButton::click,
                Qt::QueuedConnection);
        poll->start(10);
        QTimer::singleShot(20000, stop, &QPushButton::click);

        const ToolResult result = dialog.run();
        QVERIFY(stillOpenAfterEscape);
        QVERIFY(!closeEnabledWhileRunning);
        QCOMPARE(result.status, Status::Crashed);
        QVERIFY(widget<QLabel>(&dialog, QStringLiteral("lblStatus"))
                    ->text()
                    .contains(QStringLiteral("crashed")));
    }

    void toolThatCannotStart()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        ToolCommand command;
        command.program = dir.filePath(QStringLiteral("avrdude-44"));
        ProcessDialog dialog(command);
        QString seenStatus;
        connect(
            &dialog, &ProcessDialog::toolEnded, &dialog,
            [&] {
                seenStatus = widget<QLabel>(&dialog, QStringLiteral("lblStatus"))->text();
                widget<QPushButton>(&dialog, QStringLiteral("cmdClose"))->click();
            },
            Qt::QueuedConnection);
        QTimer::singleShot(20000, &dialog, &QDialog::accept);
        const ToolResult result = dialog.run();
        QCOMPARE(result.status, Status::FailedToStart);
        QVERIFY2(seenStatus.startsWith(QStringLiteral("avrdude-44 could not start")),
                 qPrintable(seenStatus));
    }

    // The runner the window uses shows the dialog over the window, modal.
    void dialogRunnerShowsAModalDialog()
    {
        QWidget window;
        window.show();
        DialogToolRunner runner(&window);
        QString seenOutput;
        auto *poll = new QTimer(&window);
        connect(poll, &QTimer::timeout, &window, [&] {
            auto *dialog = qobject_cast<ProcessDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->hasEnded())
                return;
            poll->stop();
            QCOMPARE(dialog->parentWidget(), &window);
            seenOutput = widget<QPlainTextEdit>(dialog, QStringLiteral("txtOutput"))->toPlainText();
            widget<QPushButton>(dialog, QStringLiteral("cmdClose"))->click();
        });
        poll->start(10);
        const ToolResult result = runner.run(shell(QStringLiteral("echo hello")));
        QCOMPARE(result.status, Status::Finished);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(seenOutput, QStringLiteral("hello\n"));
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
    }
};

QTEST_MAIN(ProcessDialogTest)
#include "ProcessDialogTest.moc"
