#pragma once

#include "send/ProgrammerSettings.h"
#include "send/SendProgress.h"
#include "send/ToolLocator.h"

#include <QString>

#include <functional>
#include <optional>

namespace glowline {

class Dialogs;
class Document;
class Playback;
class ToolRunner;
struct ToolCommand;

// Send: makes sure the sequence is in its file, has the assembler turn the
// file into an Intel HEX file beside it, and has the device programmer write
// that HEX file into the board.
class SendOperation final
{
public:
    enum class Outcome
    {
        TooLarge,          // the sequence needs more flash than the board has
        Declined,          // "No" to the save question
        NotSaved,          // the save did not happen; it reported why itself
        SettingsCancelled, // the programmer settings were asked for and cancelled
        ToolMissing,       // a tool or the part file could not be found; nothing ran
        OldHexNotDeleted,  // a HEX file from an earlier run is still there
        AssemblerNotStarted,
        AssemblyFailed, // an assembler error, or no HEX file: "Assembly failed!"
        AssemblyStopped,
        ProgrammerNotStarted,
        ProgrammingFailed,
        ProgrammingStopped,
        Sent,
    };

    // Asks the user for the programmer settings, starting from the ones
    // given; nullopt when cancelled. Whoever asks also keeps the answer.
    using AskSettings =
        std::function<std::optional<ProgrammerSettings>(const ProgrammerSettings &)>;

    // save is the editor's Save command; whether it succeeded is read from the
    // document afterwards. playback, when given, is paused for the whole
    // operation.
    SendOperation(Document &document, Dialogs &dialogs, ToolRunner &runner,
                  std::function<void()> save, ToolLocator locator = ToolLocator(),
                  Playback *playback = nullptr);
    Q_DISABLE_COPY_MOVE(SendOperation)

    // Told how the stages stand and how Send ended, once a tool runs.
    void setProgress(SendProgress *progress) { m_progress = progress; }
    // Tells whether the sequence's file is no longer the version the editor
    // last read or wrote. Such a file is saved before it is sent (save asks
    // before writing over another program's changes), so that the board gets
    // what the window shows.
    void setFileCheck(std::function<bool()> changedOnDisk)
    {
        m_fileChanged = std::move(changedOnDisk);
    }
    // The words of flash the sequence may use, the settings a stock avrdude
    // is run with, and how to ask for them when no programmer type has been
    // chosen yet.
    void setProgrammerSettings(ProgrammerSettings settings, AskSettings ask);

    Outcome run();
    // The sentence the last run ended with; empty when no tool ran.
    QString sentence() const { return m_sentence; }

private:
    Outcome send();
    Outcome assembleAndProgram(const ToolCommand &assemble, const ToolCommand &program,
                               const QString &hexPath);
    Outcome end(Outcome outcome, const QString &sentence);
    void stage(SendProgress::Stage which, SendProgress::State state);
    void error(const QString &text);

    Document &m_document;
    Dialogs &m_dialogs;
    ToolRunner &m_runner;
    std::function<void()> m_save;
    std::function<bool()> m_fileChanged;
    ToolLocator m_locator;
    Playback *m_playback = nullptr;
    SendProgress *m_progress = nullptr;
    ProgrammerSettings m_settings;
    AskSettings m_askSettings;
    QString m_sentence;
    int m_words = 0;
};

} // namespace glowline
