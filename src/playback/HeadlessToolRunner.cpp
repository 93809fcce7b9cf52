#include "playback/HeadlessToolRunner.h"

#include <QProcess>
#include <QStringDecoder>

namespace glowline {

ToolResult HeadlessToolRunner::run(const ToolCommand &command)
{
    QProcess process;
    command.applyTo(process);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // Nobody could answer a tool that asks for input.
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();

    ToolResult result;
    if (!process.waitForStarted(-1)) {
        result.status = ToolResult::Status::FailedToStart;
        result.errorString = process.errorString();
        return result;
    }
    process.waitForFinished(-1);
    QStringDecoder decoder(QStringDecoder::System);
    result.output = decoder.decode(process.readAll());
    if (process.exitStatus() == QProcess::CrashExit) {
        result.status = ToolResult::Status::Crashed;
        result.errorString = process.errorString();
    } else {
        result.status = ToolResult::Status::Finished;
        result.exitCode = process.exitCode();
    }
    return result;
}

} // namespace glowline
