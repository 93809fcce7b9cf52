#include "send/HeadlessToolRunner.h"

#include "send/ToolProcess.h"

namespace glowline {

ToolResult HeadlessToolRunner::run(const ToolCommand &command)
{
    ToolProcess process;
    process.start(command);
    process.waitForEnd();
    return process.result();
}

} // namespace glowline
