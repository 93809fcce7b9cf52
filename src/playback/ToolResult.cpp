#include "playback/ToolResult.h"

namespace glowline {

QString ToolResult::statusText() const
{
    switch (status) {
    case Status::Finished:
        return QStringLiteral("exited with code %1").arg(exitCode);
    case Status::Crashed:
        return QStringLiteral("crashed");
    case Status::FailedToStart:
        break;
    }
    return QStringLiteral("could not start");
}

} // namespace glowline
