#pragma once

#include "send/ToolCommand.h"
#include "send/ToolResult.h"

namespace glowline {

// Runs one external tool to its end. Send waits for each tool through this
// seam; the editor shows the run in a window, tests run it headless.
class ToolRunner
{
public:
    ToolRunner() = default;
    virtual ~ToolRunner() = default;
    Q_DISABLE_COPY_MOVE(ToolRunner)

    virtual ToolResult run(const ToolCommand &command) = 0;
};

} // namespace glowline
