#include "send/ToolProcess.h"

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(Q_OS_UNIX)
#include <csignal>
#include <unistd.h>
#endif

namespace glowline {

ToolProcess::ToolProcess(QObject *parent) : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // Nobody could answer a tool that asks for input.
    m_process.setStandardInputFile(QProcess::nullDevice());
#if defined(Q_OS_UNIX)
    // The tool leads a process group of its own, so that Stop reaches every
    // process it starts (a wrapper script and the avrdude it runs, say).
    // setsid() is safe to call between fork and exec.
    m_process.setChildProcessModifier([] { ::setsid(); });
#endif
    connect(&m_process, &QProcess::readyRead, this, &ToolProcess::readOutput);
    connect(&m_process, &QProcess::started, this, &ToolProcess::onStarted);
    connect(&m_process, &QProcess::finished, this, &ToolProcess::onFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &ToolProcess::onErrorOccurred);
}

ToolProcess::~ToolProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.disconnect(this);
        killAll();
        m_process.waitForFinished(-1);
    }
#if defined(Q_OS_WIN)
    if (m_job)
        CloseHandle(m_job);
#endif
}

void ToolProcess::start(const ToolCommand &command)
{
    if (m_started)
        return;
    m_started = true;
    command.applyTo(m_process);
    m_process.start();
}

void ToolProcess::waitForEnd()
{
    if (!m_started || m_ended)
        return;
    if (m_process.waitForStarted(-1))
        m_process.waitForFinished(-1);
}

void ToolProcess::stop()
{
    if (!m_started || m_ended || m_process.state() == QProcess::NotRunning)
        return;
    m_stopped = true;
    killAll();
}

void ToolProcess::killAll()
{
#if defined(Q_OS_UNIX)
    // The tool has not been waited for yet, so its id still names its group.
    const qint64 id = m_process.processId();
    if (id > 0)
        ::kill(-pid_t(id), SIGKILL);
#elif defined(Q_OS_WIN)
    if (m_job)
        TerminateJobObject(m_job, 1);
#endif
    m_process.kill();
}

void ToolProcess::onStarted()
{
#if defined(Q_OS_WIN)
    // Whatever the tool starts joins its job, and Stop ends the job. A child
    // started in the moment before this runs would escape; the board's tools
    // start none that early.
    m_job = CreateJobObjectW(nullptr, nullptr);
    if (!m_job)
        return;
    const HANDLE process =
        OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, DWORD(m_process.processId()));
    if (process) {
        AssignProcessToJobObject(m_job, process);
        CloseHandle(process);
    }
#endif
}

void ToolProcess::readOutput()
{
    const QString text = m_decoder.decode(m_process.readAll());
    if (text.isEmpty())
        return;
    m_result.output += text;
    emit outputArrived(text);
}

void ToolProcess::onFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    readOutput();
    if (m_stopped) {
        m_result.status = ToolResult::Status::Stopped;
    } else if (exitStatus == QProcess::CrashExit) {
        m_result.status = ToolResult::Status::Crashed;
        m_result.errorString = m_process.errorString();
    } else {
        m_result.status = ToolResult::Status::Finished;
        m_result.exitCode = exitCode;
    }
    end();
}

void ToolProcess::onErrorOccurred(QProcess::ProcessError error)
{
    // A crash also ends in finished(), which reports it.
    if (error != QProcess::FailedToStart)
        return;
    m_result.status = ToolResult::Status::FailedToStart;
    m_result.errorString = m_process.errorString();
    end();
}

void ToolProcess::end()
{
    if (m_ended)
        return;
    m_ended = true;
    emit ended();
}

} // namespace glowline
