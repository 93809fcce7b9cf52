#pragma once

#include "send/ProgrammerSettings.h"
#include "send/SendOperation.h"
#include "send/ToolLocator.h"

#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace glowline {

class Dialogs;
class DialogToolRunner;
class DocumentCommands;
class Document;
class Playback;
class SendProgress;
class ToolRunner;

// The editor's Send and Programmer Settings commands: runs SendOperation with
// the tools shown in a SendWindow over the editor, and keeps the programmer
// settings between runs. A settings file that cannot be read or written is
// told about once a run.
class SendCommand final
{
public:
    using AskSettings = SendOperation::AskSettings;

    // files saves the sequence and knows whether its file is still the
    // version the editor last read or wrote.
    SendCommand(QWidget &window, Document &document, Dialogs &dialogs, DocumentCommands &files,
                Playback &playback);
    ~SendCommand();
    Q_DISABLE_COPY_MOVE(SendCommand)

    // Send runs the tools through runner, found by locator; a runner that also
    // shows progress is told the stages. By default the tools run in a
    // SendWindow and are found by ToolLocator().
    void setTools(ToolRunner &runner, ToolLocator locator);
    // Stands in for the Programmer Settings dialog (tests answer it).
    void setSettingsDialog(AskSettings ask) { m_dialog = std::move(ask); }
    const ToolLocator &locator() const { return m_locator; }

    SendOperation::Outcome run();
    // File > Programmer Settings...: keeps the settings when accepted.
    void editSettings();

    // The settings in force: those kept between runs, defaults where none
    // are kept or the file cannot be read, or those chosen in this run that
    // the file could not keep.
    static ProgrammerSettings storedSettings();

private:
    // storedSettings(), telling the user when the file cannot be read.
    ProgrammerSettings settings();
    std::optional<ProgrammerSettings> askAndKeep(const ProgrammerSettings &current);
    std::optional<ProgrammerSettings> showDialog(const ProgrammerSettings &current);
    void tellOnce(const QString &text);

    QWidget &m_window;
    Document &m_document;
    Dialogs &m_dialogs;
    DocumentCommands &m_files;
    Playback &m_playback;
    std::unique_ptr<DialogToolRunner> m_ownRunner;
    ToolRunner *m_runner = nullptr;
    SendProgress *m_progress = nullptr;
    ToolLocator m_locator;
    AskSettings m_dialog;
    bool m_settingsTroubleTold = false;
};

} // namespace glowline
