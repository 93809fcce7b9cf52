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
    };

    Status status = Status::FailedToStart;
    int exitCode = 0;
    // Standard output and standard error as they arrived, interleaved.
    QString output;
    // The system's description when the tool could not be started or crashed.
    QString errorString;

    // "exited with code N", "crashed" or "could not start".
    QString statusText() const;
};

} // namespace glowline
