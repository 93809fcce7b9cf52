#pragma once

#include "playback/ToolRunner.h"

class QWidget;

namespace glowline {

// Runs each tool in a modal ProcessDialog over parent, so that the user sees
// what the tool prints and the window takes no input until the tool has ended
// and the user has closed the dialog.
class DialogToolRunner final : public ToolRunner
{
public:
    explicit DialogToolRunner(QWidget *parent) : m_parent(parent) {}

    ToolResult run(const ToolCommand &command) override;

private:
    QWidget *m_parent = nullptr;
};

} // namespace glowline
