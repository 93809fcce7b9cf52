#pragma once

#include <QString>

namespace glowline {

// What Send tells whoever shows it: how each of its two stages stands and, at
// the end, one sentence on how the command ended. Send reports here only once
// a tool is about to run; a Send refused or cancelled before that reports
// nothing.
class SendProgress
{
public:
    enum class Stage
    {
        Assemble,
        Program,
    };
    enum class State
    {
        Waiting,
        Running,
        Done,
        Failed,
        Stopped,
    };

    SendProgress() = default;
    virtual ~SendProgress() = default;
    Q_DISABLE_COPY_MOVE(SendProgress)

    virtual void stageChanged(Stage stage, State state) = 0;
    // The last report of a Send that ran a tool. A window may wait here until
    // the user has read it.
    virtual void finished(const QString &sentence) = 0;

    // "Waiting", "Running", "Done", "Failed", "Stopped".
    static QString stateText(State state);
};

} // namespace glowline
