#pragma once

#include "playback/ToolLocator.h"

#include <QString>

#include <functional>

namespace glowline {

class Dialogs;
class Document;
class Playback;
class ToolRunner;

// Send: makes sure the sequence is in its file, has the assembler turn the
// file into an Intel HEX file beside it, and has the device programmer write
// that HEX file into the board.
class SendOperation final
{
public:
    enum class Outcome
    {
        Declined,         // "No" to the save question
        NotSaved,         // the save did not happen; it reported why itself
        OldHexNotDeleted, // a HEX file from an earlier run is still there
        ToolMissing,      // a tool could not be found; nothing was started
        AssemblerNotStarted,
        AssemblyFailed, // no HEX file after the assembler: "Assembly failed!"
        ProgrammerNotStarted,
        ProgrammerRan, // whatever the programmer did is not examined
    };

    // save is the editor's Save command; whether it succeeded is read from the
    // document afterwards. playback, when given, is paused for the whole
    // operation.
    SendOperation(Document &document, Dialogs &dialogs, ToolRunner &runner,
                  std::function<void()> save, ToolLocator locator = ToolLocator(),
                  Playback *playback = nullptr);
    Q_DISABLE_COPY_MOVE(SendOperation)

    Outcome run();

private:
    Outcome send();
    void error(const QString &text);

    Document &m_document;
    Dialogs &m_dialogs;
    ToolRunner &m_runner;
    std::function<void()> m_save;
    ToolLocator m_locator;
    Playback *m_playback = nullptr;
};

} // namespace glowline
