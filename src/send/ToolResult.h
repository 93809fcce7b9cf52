#pragma once

#include <QString>

namespace glowline {

// How a run of an external tool ended, and what it printed.
struct ToolResult final
{
    enum class Status
    {
        Finished,
        FailedToStart,
        Crashed,
        Stopped, // ended by the user
    };

    Status status = Status::FailedToStart;
    int exitCode = 0;
    // Standard output and standard error as they arrived, interleaved.
    QString output;
    // The system's description when the tool could not be started or crashed.
    QString errorString;

    // "exited with code N", "crashed", "was stopped" or "could not start".
    QString statusText() const;
    // The first line of the output that reports an error, trimmed; empty when
    // none does.
    QString firstErrorLine() const;
};

} // namespace glowline
