#include "window/send/DialogToolRunner.h"

#include "window/send/SendWindow.h"

namespace glowline {

DialogToolRunner::DialogToolRunner(QWidget *parent) : m_parent(parent) {}

DialogToolRunner::~DialogToolRunner() = default;

SendWindow &DialogToolRunner::window()
{
    if (!m_window) {
        m_window = std::make_unique<SendWindow>(m_parent);
        m_window->show();
    }
    return *m_window;
}

ToolResult DialogToolRunner::run(const ToolCommand &command)
{
    return window().run(command);
}

void DialogToolRunner::stageChanged(Stage stage, State state)
{
    window().setStageState(stage, state);
}

void DialogToolRunner::finished(const QString &sentence)
{
    if (!m_window)
        return;
    m_window->finish(sentence);
    m_window->exec();
    m_window.reset();
}

} // namespace glowline
