#include "window/send/SendWindow.h"

#include "send/ToolProcess.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

namespace glowline {

namespace {

using Stage = SendProgress::Stage;
using State = SendProgress::State;

} // namespace

SendWindow::SendWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgSend"));
    setWindowTitle(QStringLiteral("Send"));
    setModal(true);
    resize(680, 460);

    auto *stages = new QGridLayout;
    const std::array<QString, 2> names{QStringLiteral("Assemble"), QStringLiteral("Program")};
    const std::array<QString, 2> ids{QStringLiteral("Assemble"), QStringLiteral("Program")};
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto *name = new QLabel(names[i], this);
        m_stageStates[i] = new QLabel(SendProgress::stateText(State::Waiting), this);
        m_stageStates[i]->setObjectName(QStringLiteral("lbl%1State").arg(ids[i]));
        stages->addWidget(name, int(i), 0);
        stages->addWidget(m_stageStates[i], int(i), 1);
    }
    stages->setColumnStretch(1, 1);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgProgram"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);

    m_sentence = new QLabel(this);
    m_sentence->setObjectName(QStringLiteral("lblResult"));
    m_sentence->setWordWrap(true);
    m_sentence->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_sentence->setVisible(false);

    m_output = new QPlainTextEdit(this);
    m_output->setObjectName(QStringLiteral("txtOutput"));
    m_output->setReadOnly(true);
    m_output->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_output->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    m_stop = new QPushButton(QStringLiteral("Stop"), this);
    m_stop->setObjectName(QStringLiteral("cmdStop"));
    m_stop->setAutoDefault(false);
    m_stop->setEnabled(false);
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(stages);
    layout->addWidget(m_progress);
    layout->addWidget(m_sentence);
    layout->addWidget(m_output, 1);
    layout->addLayout(buttons);

    connect(m_stop, &QPushButton::clicked, this, [this] {
        if (m_process)
            m_process->stop();
    });
    connect(m_close, &QPushButton::clicked, this, &QDialog::accept);

    // Output is shown in batches, even when a tool has ended and the next
    // is due: a line that grew piece by piece in the document would be laid
    // out again for every piece. A batch a little late is not seen.
    m_showOutput.setSingleShot(true);
    m_showOutput.setInterval(50);
    connect(&m_showOutput, &QTimer::timeout, this, &SendWindow::showOutput);
}

void SendWindow::setStageState(Stage stage, State state)
{
    m_stageStates[std::size_t(stage)]->setText(SendProgress::stateText(state));
}

ToolResult SendWindow::run(const ToolCommand &command)
{
    ToolProcess process;
    m_process = &process;
    m_marks = ProgressMarks();
    m_progress->setValue(0);
    m_progress->setFormat(QStringLiteral("%p%"));
    if (!m_tail.isEmpty())
        appendOutput(QStringLiteral("\n"));
    appendOutput(QStringLiteral("> %1\n").arg(command.displayLine()));

    connect(&process, &ToolProcess::outputArrived, this, [this](const QString &text) {
        appendOutput(text);
        if (m_marks.feed(text)) {
            m_progress->setValue(m_marks.percent());
            m_progress->setFormat(m_marks.phase() + QStringLiteral(" %p%"));
        }
    });
    QEventLoop loop;
    connect(&process, &ToolProcess::ended, &loop, &QEventLoop::quit);
    m_stop->setEnabled(true);
    process.start(command);
    emit toolStarted();
    if (!process.hasEnded())
        loop.exec();
    m_stop->setEnabled(false);
    m_process = nullptr;

    ToolResult result = process.result();
    QString status = QFileInfo(command.program).fileName() + QLatin1Char(' ') + result.statusText();
    if (result.status == ToolResult::Status::FailedToStart ||
        result.status == ToolResult::Status::Crashed)
        status += QStringLiteral(": ") + result.errorString;
    if (!result.output.isEmpty() && !result.output.endsWith(QLatin1Char('\n')))
        appendOutput(QStringLiteral("\n"));
    appendOutput(status + QLatin1Char('\n'));
    emit toolEnded();
    return result;
}

void SendWindow::finish(const QString &sentence)
{
    m_finished = true;
    m_sentence->setText(sentence);
    m_sentence->setVisible(true);
    m_stop->setEnabled(false);
    m_close->setEnabled(true);
    m_close->setDefault(true);
    m_close->setFocus();
    showOutput();
    // A failure quotes the tool's error line; the output shows it in place.
    const qsizetype lineBreak = sentence.indexOf(QLatin1Char('\n'));
    if (lineBreak >= 0)
        scrollOutputTo(sentence.mid(lineBreak + 1));
}

void SendWindow::reject()
{
    if (m_finished)
        QDialog::reject();
}

void SendWindow::closeEvent(QCloseEvent *event)
{
    if (m_finished)
        QDialog::closeEvent(event);
    else
        event->ignore();
}

void SendWindow::appendOutput(const QString &text)
{
    if (m_tail.append(text)) {
        m_showAnew = true;
        m_unshown.clear();
    } else if (!m_showAnew) {
        m_unshown += text;
    }
    if (!m_showOutput.isActive())
        m_showOutput.start();
}

void SendWindow::showOutput()
{
    m_showOutput.stop();
    if (m_showAnew) {
        m_output->setPlainText(m_tail.text());
    } else if (!m_unshown.isEmpty()) {
        QTextCursor cursor(m_output->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(m_unshown);
    } else {
        return;
    }
    m_showAnew = false;
    m_unshown.clear();
    m_output->moveCursor(QTextCursor::End);
}

void SendWindow::scrollOutputTo(const QString &line)
{
    for (QTextBlock block = m_output->document()->begin(); block.isValid(); block = block.next()) {
        if (block.text().trimmed() == line) {
            m_output->setTextCursor(QTextCursor(block));
            m_output->centerCursor();
            return;
        }
    }
}

} // namespace glowline
