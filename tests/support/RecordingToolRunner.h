#pragma once

#include "playback/Playback.h"
#include "send/HeadlessToolRunner.h"
#include "send/ToolRunner.h"

#include <QList>
#include <QStringList>

namespace glowline::test {

// A tool runner that notes every command it is asked to run and, when given
// a playback, what that playback was doing at the time. It runs the stand-in
// tools headless, or refuses every run as a tool that could not start; a
// scripted status replaces how the next runs are reported, whatever the tool
// did (its output and files stay as it left them).
class RecordingToolRunner final : public ToolRunner
{
public:
    enum class Mode
    {
        RunHeadless,
        Refuse,
    };

    explicit RecordingToolRunner(Mode mode = Mode::RunHeadless) : m_mode(mode) {}

    ToolResult run(const ToolCommand &command) override
    {
        commands.append(command);
        if (playback != nullptr) {
            pausedDuringRun.append(playback->isPaused());
            timerActiveDuringRun.append(playback->isTimerActive());
        }
        if (m_mode == Mode::Refuse)
            return ToolResult();
        ToolResult result = HeadlessToolRunner().run(command);
        if (!reportedStatuses.isEmpty())
            result.status = reportedStatuses.takeFirst();
        return result;
    }

    // The programs run so far, in order.
    QStringList programs() const
    {
        QStringList result;
        for (const ToolCommand &command : commands)
            result.append(command.program);
        return result;
    }

    const Playback *playback = nullptr;
    QList<ToolResult::Status> reportedStatuses;
    QList<ToolCommand> commands;
    QList<bool> pausedDuringRun;
    QList<bool> timerActiveDuringRun;

private:
    Mode m_mode;
};

} // namespace glowline::test
