#include "send/SendProgress.h"

namespace glowline {

QString SendProgress::stateText(State state)
{
    switch (state) {
    case State::Waiting:
        return QStringLiteral("Waiting");
    case State::Running:
        return QStringLiteral("Running");
    case State::Done:
        return QStringLiteral("Done");
    case State::Failed:
        return QStringLiteral("Failed");
    case State::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

} // namespace glowline
