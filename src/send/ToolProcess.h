#pragma once

#include "send/ToolCommand.h"
#include "send/ToolResult.h"

#include <QObject>
#include <QProcess>
#include <QStringDecoder>

namespace glowline {

// One run of an external tool: started with standard output and standard
// error merged, with no input and in the command's working folder; what it
// prints is passed on as it arrives, and how it ended becomes a ToolResult.
// The headless runner waits for it, the Send window watches it.
class ToolProcess final : public QObject
{
    Q_OBJECT

public:
    explicit ToolProcess(QObject *parent = nullptr);
    // A tool still running is ended, so that none is left behind unseen.
    ~ToolProcess() override;
    Q_DISABLE_COPY_MOVE(ToolProcess)

    void start(const ToolCommand &command);
    // Blocks until the tool has ended or could not be started.
    void waitForEnd();
    // Ends the running tool and every process it has started; ended()
    // follows, with the result Stopped.
    void stop();
    // Ends the process group of every tool this editor has started that is
    // still running, or has not yet been cleared up after its end: for an
    // editor that is about to end.
    static void endAll();

    bool hasStarted() const { return m_started; }
    bool hasEnded() const { return m_ended; }
    const ToolResult &result() const { return m_result; }

signals:
    void outputArrived(const QString &text);
    // The tool has ended, or could not be started; result() says how.
    void ended();

private:
    void killAll();
    void endGroup();
    void onStarted();
    void readOutput();
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void onErrorOccurred(QProcess::ProcessError error);
    void end();

    QProcess m_process;
    QStringDecoder m_decoder{QStringDecoder::System};
    ToolResult m_result;
    bool m_started = false;
    bool m_ended = false;
    bool m_stopped = false;
    // The tool's process group, from its start until the group is ended.
    qint64 m_group = 0;
#if defined(Q_OS_WIN)
    void *m_job = nullptr; // the job object of the tool and its children
#endif
};

} // namespace glowline
