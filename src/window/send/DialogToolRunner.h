#pragma once

#include "send/SendProgress.h"
#include "send/ToolRunner.h"

#include <memory>

class QWidget;

namespace glowline {

class SendWindow;

// Runs Send's tools in one modal SendWindow over parent: the window opens
// when the first tool starts, shows both stages, and stays until the user
// closes it after the closing sentence.
class DialogToolRunner final : public ToolRunner, public SendProgress
{
public:
    explicit DialogToolRunner(QWidget *parent);
    ~DialogToolRunner() override;

    ToolResult run(const ToolCommand &command) override;
    void stageChanged(Stage stage, State state) override;
    void finished(const QString &sentence) override;

private:
    SendWindow &window();

    QWidget *m_parent = nullptr;
    std::unique_ptr<SendWindow> m_window;
};

} // namespace glowline
