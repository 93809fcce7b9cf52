#include "window/ProcessDialog.h"

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

    connect(&m_process, &ToolProcess::outputArrived, this, &ProcessDialog::appendOutput);
    connect(&m_process, &ToolProcess::ended, this, &ProcessDialog::end);
    connect(m_stop, &QPushButton::clicked, &m_process, &ToolProcess::stop);
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);
}

ToolResult ProcessDialog::run()
{
    start();
    exec();
    return m_process.result();
}

void ProcessDialog::start()
{
    m_process.start(m_command);
}

void ProcessDialog::reject()
{
    // Escape and the close box wait for the tool like the Close button does.
    if (m_process.hasEnded() || !m_process.hasStarted())
        QDialog::reject();
}

void ProcessDialog::closeEvent(QCloseEvent *event)
{
    if (m_process.hasEnded() || !m_process.hasStarted())
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void ProcessDialog::appendOutput(const QString &text)
{
    QTextCursor cursor(m_output->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text);
    m_output->moveCursor(QTextCursor::End);
}

void ProcessDialog::end()
{
    const ToolResult &result = m_process.result();
    QString text = QFileInfo(m_command.program).fileName() + QLatin1Char(' ') + result.statusText();
    if (result.status != ToolResult::Status::Finished && !result.errorString.isEmpty())
        text += QStringLiteral(": ") + result.errorString;
    m_status->setText(text);
    m_stop->setEnabled(false);
    m_close->setEnabled(true);
    m_close->setDefault(true);
    m_close->setFocus();
    emit toolEnded();
}

} // namespace glowline
