#pragma once

#include "playback/ToolCommand.h"
#include "playback/ToolProcess.h"

#include <QDialog>

class QCloseEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace glowline {

// Runs one external tool in front of the window: shows its command line, its
// output as it arrives and, once it has ended, how it ended. Only Close,
// enabled when the tool has ended, dismisses it; Stop ends a tool that hangs.
class ProcessDialog final : public QDialog
{
    Q_OBJECT

public:
    explicit ProcessDialog(ToolCommand command, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(ProcessDialog)

    // Starts the tool, shows the dialog modally and returns once the user has
    // closed it.
    ToolResult run();
    // Starts the tool without waiting; run() does this itself.
    void start();

    bool hasEnded() const { return m_process.hasEnded(); }
    const ToolResult &result() const { return m_process.result(); }

signals:
    // The tool has ended, or could not be started.
    void toolEnded();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void appendOutput(const QString &text);
    void end();

    ToolCommand m_command;
    ToolProcess m_process;

    QLineEdit *m_commandLine = nullptr;
    QPlainTextEdit *m_output = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace glowline
