#include "playback/ProcessDialog.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace glowline {

ProcessDialog::ProcessDialog(ToolCommand command, QWidget *parent)
    : QDialog(parent), m_command(std::move(command))
{
    setObjectName(QStringLiteral("dlgProcess"));
    setWindowTitle(QFileInfo(m_command.program).fileName());
    setModal(true);
    resize(640, 400);

    m_commandLine = new QLineEdit(m_command.displayLine(), this);
    m_commandLine->setObjectName(QStringLiteral("txtCommand"));
    m_commandLine->setReadOnly(true);
    m_commandLine->setCursorPosition(0);

    m_output = new QPlainTextEdit(this);
    m_output->setObjectName(QStringLiteral("txtOutput"));
    m_output->setReadOnly(true);
    m_output->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    m_status = new QLabel(QStringLiteral("Running..."), this);
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_stop = new QPushButton(QStringLiteral("Stop"), this);
    m_stop->setObjectName(QStringLiteral("cmdStop"));
    m_stop->setAutoDefault(false);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_commandLine);
    layout->addWidget(m_output, 1);
    layout->addLayout(buttons);

    m_command.applyTo(m_process);
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // Nobody could answer a tool that asks for input.
    m_process.setStandardInputFile(QProcess::nullDevice());
    connect(&m_process, &QProcess::readyRead, this, &ProcessDialog::appendOutput);
    connect(&m_process, &QProcess::finished, this, &ProcessDialog::onFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &ProcessDialog::onErrorOccurred);
    connect(m_stop, &QPushButton::clicked, &m_process, &QProcess::kill);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
}

ProcessDialog::~ProcessDialog()
{
    // The dialog cannot be closed while the tool runs; this only guards a
    // dialog destroyed from outside, which must not leave the tool orphaned.
    if (m_process.state() != QProcess::NotRunning) {
        m_process.disconnect(this);
        m_process.kill();
        m_process.waitForFinished(-1);
    }
}

ToolResult ProcessDialog::run()
{
    start();
    exec();
    return m_result;
}

void ProcessDialog::start()
{
    if (m_started)
        return;
    m_started = true;
    m_process.start();
}

void ProcessDialog::reject()
{
    // Escape and the close box wait for the tool like the Close button does.
    if (m_ended || !m_started)
        QDialog::reject();
}

void ProcessDialog::closeEvent(QCloseEvent *event)
{
    if (m_ended || !m_started)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void ProcessDialog::appendOutput()
{
    const QString text = m_decoder.decode(m_process.readAll());
    if (text.isEmpty())
        return;
    m_result.output += text;
    QTextCursor cursor(m_output->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    m_output->moveCursor(QTextCursor::End);
}

void ProcessDialog::onFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    appendOutput();
    if (exitStatus == QProcess::CrashExit) {
        m_result.status = ToolResult::Status::Crashed;
        m_result.errorString = m_process.errorString();
    } else {
        m_result.status = ToolResult::Status::Finished;
        m_result.exitCode = exitCode;
    }
    end();
}

void ProcessDialog::onErrorOccurred(QProcess::ProcessError error)
{
    // A crash also ends in finished(), which reports it.
    if (error != QProcess::FailedToStart)
        return;
    m_result.status = ToolResult::Status::FailedToStart;
    m_result.errorString = m_process.errorString();
    end();
}

void ProcessDialog::end()
{
    if (m_ended)
        return;
    m_ended = true;
    QString text =
        QFileInfo(m_command.program).fileName() + QLatin1Char(' ') + m_result.statusText();
    if (m_result.status != ToolResult::Status::Finished && !m_result.errorString.isEmpty())
        text += QStringLiteral(": ") + m_result.errorString;
    m_status->setText(text);
    m_stop->setEnabled(false);
    m_close->setEnabled(true);
    m_close->setDefault(true);
    m_close->setFocus();
    emit toolEnded();
}

} // namespace glowline
