#pragma once

#include "send/OutputTail.h"
#include "send/ProgressMarks.h"
#include "send/SendProgress.h"
#include "send/ToolCommand.h"
#include "send/ToolResult.h"

#include <QDialog>
#include <QTimer>

#include <array>

class QCloseEvent;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace glowline {

class ToolProcess;

// The one window of a Send: its two stages, Assemble and Program, with the
// state of each, every tool's command line and output as it arrives, a
// progress bar that follows the programmer's marks and, at the end, one
// sentence on how it went. The output shows its last megabyte. While the
// command runs only Stop acts (Escape and the close box do nothing); Close is
// enabled once the command has ended.
class SendWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit SendWindow(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(SendWindow)

    void setStageState(SendProgress::Stage stage, SendProgress::State state);
    // Runs one tool in this window and returns once it has ended.
    ToolResult run(const ToolCommand &command);
    // Shows the closing sentence above the output, with the output scrolled to
    // the line the sentence quotes, and lets the window be closed.
    void finish(const QString &sentence);

    bool isToolRunning() const { return m_process != nullptr; }
    bool hasFinished() const { return m_finished; }

signals:
    void toolStarted();
    void toolEnded();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void appendOutput(const QString &text);
    void showOutput();
    void scrollOutputTo(const QString &line);

    std::array<QLabel *, 2> m_stageStates{};
    QLabel *m_sentence = nullptr;
    QProgressBar *m_progress = nullptr;
    QPlainTextEdit *m_output = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_close = nullptr;

    ToolProcess *m_process = nullptr;
    ProgressMarks m_marks;
    OutputTail m_tail;
    // What was added to the tail since it was last shown, unless its start
    // moved meanwhile and it is shown anew.
    QString m_unshown;
    bool m_showAnew = false;
    QTimer m_showOutput;
    bool m_finished = false;
};

} // namespace glowline
