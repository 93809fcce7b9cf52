#include "send/ToolProcess.h"

#include <QList>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(Q_OS_UNIX)
#include <csignal>
#include <unistd.h>
#endif
#if defined(Q_OS_LINUX)
#include <sys/prctl.h>
#endif

namespace glowline {

namespace {

// The process groups of the tools that may still hold a process. Those still
// listed when the editor exits are ended with it: Qt exits that way when it
// loses the connection to the X server.
class LiveGroups final
{
public:
    LiveGroups() = default;
    ~LiveGroups() { endAll(); }
    Q_DISABLE_COPY_MOVE(LiveGroups)

    void add(qint64 group) { m_groups.append(group); }
    void remove(qint64 group) { m_groups.removeOne(group); }
    void endAll()
    {
#if defined(Q_OS_UNIX)
        for (const qint64 group : std::as_const(m_groups))
            ::kill(-pid_t(group), SIGKILL);
#endif
        m_groups.clear();
    }

private:
    QList<qint64> m_groups;
};

LiveGroups &liveGroups()
{
    static LiveGroups groups;
    return groups;
}

} // namespace

ToolProcess::ToolProcess(QObject *parent) : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // Nobody could answer a tool that asks for input.
    m_process.setStandardInputFile(QProcess::nullDevice());
#if defined(Q_OS_UNIX)
    // The tool leads a process group of its own, so that Stop reaches every
    // process it starts (a wrapper script and the avrdude it runs, say).
    // On Linux the tool also dies with the editor, even when the editor is
    // killed and can do nothing itself; the kernel ties that to the thread
    // that starts the tool, and only the window's thread starts tools. Both
    // calls are safe between fork and exec.
    const pid_t editor = ::getpid();
    m_process.setChildProcessModifier([editor] {
        ::setsid();
#if defined(Q_OS_LINUX)
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // An editor that died before the line above took effect sends no
        // signal.
        if (::getppid() != editor)
            ::_exit(127);
#else
        Q_UNUSED(editor);
#endif
    });
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
    endGroup();
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

void ToolProcess::endAll()
{
    liveGroups().endAll();
}

void ToolProcess::killAll()
{
#if defined(Q_OS_UNIX)
    // Before started() the tool has not been waited for, so its id still
    // names its group.
    const qint64 group = m_group > 0 ? m_group : m_process.processId();
    if (group > 0)
        ::kill(-pid_t(group), SIGKILL);
#elif defined(Q_OS_WIN)
    if (m_job)
        TerminateJobObject(m_job, 1);
#endif
    m_process.kill();
}

void ToolProcess::endGroup()
{
    if (m_group <= 0)
        return;
#if defined(Q_OS_UNIX)
    // The group outlives the tool while a child it left behind runs. With
    // none, the group is gone and this does nothing: the id could name
    // another group only once the system has handed it out again.
    ::kill(-pid_t(m_group), SIGKILL);
#endif
    liveGroups().remove(m_group);
    m_group = 0;
}

void ToolProcess::onStarted()
{
#if defined(Q_OS_UNIX)
    // The tool leads its group (setsid above), so its id names the group.
    m_group = m_process.processId();
    liveGroups().add(m_group);
#elif defined(Q_OS_WIN)
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
    // A child the tool left behind would hold the port it used.
    endGroup();
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
