#pragma once

#include "send/ToolRunner.h"

namespace glowline {

// Runs a tool without showing anything and waits for it with no time-out,
// collecting what it prints.
class HeadlessToolRunner final : public ToolRunner
{
public:
    HeadlessToolRunner() = default;

    ToolResult run(const ToolCommand &command) override;
};

} // namespace glowline
