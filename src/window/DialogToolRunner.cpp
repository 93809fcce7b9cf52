#include "window/DialogToolRunner.h"

#include "window/ProcessDialog.h"

namespace glowline {

ToolResult DialogToolRunner::run(const ToolCommand &command)
{
    ProcessDialog dialog(command, m_parent);
    return dialog.run();
}

} // namespace glowline
