#include "playback/ToolProcess.h"

namespace glowline {

ToolProcess::ToolProcess(QObject *parent) : QObject(parent)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    // Nobody could answer a tool that asks for input.
    m_process.setStandardInputFile(QProcess::nullDevice());
    connect(&m_process, &QProcess::readyRead, this, &ToolProcess::readOutput);
    connect(&m_process, &QProcess::finished, this, &ToolProcess::onFinished);
    connect(&m_process, &QProcess::errorOccurred, this, &ToolProcess::onErrorOccurred);
}

ToolProcess::~ToolProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.disconnect(this);
        m_process.kill();
        m_process.waitForFinished(-1);
    }
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
    if (m_started && !m_ended)
        m_process.kill();
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
    if (exitStatus == QProcess::CrashExit) {
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
