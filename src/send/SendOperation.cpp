#include "send/SendOperation.h"

#include "dialogs/Dialogs.h"
#include "model/Document.h"
#include "playback/Playback.h"
#include "send/FlashBudget.h"
#include "send/HexPath.h"
#include "send/SendProgress.h"
#include "send/ToolCommand.h"
#include "send/ToolRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

namespace glowline {

namespace {

using Stage = SendProgress::Stage;
using State = SendProgress::State;

bool needsSave(const Document &document)
{
    return document.state().hasUnsavedChanges() || !document.state().hasFileName();
}

QString toolName(const ToolCommand &command)
{
    return QFileInfo(command.program).fileName();
}

} // namespace

SendOperation::SendOperation(Document &document, Dialogs &dialogs, ToolRunner &runner,
                             std::function<void()> save, ToolLocator locator, Playback *playback)
    : m_document(document), m_dialogs(dialogs), m_runner(runner), m_save(std::move(save)),
      m_locator(std::move(locator)), m_playback(playback)
{}

void SendOperation::setProgrammerSettings(ProgrammerSettings settings, AskSettings ask)
{
    m_settings = std::move(settings);
    m_askSettings = std::move(ask);
}

SendOperation::Outcome SendOperation::run()
{
    m_sentence.clear();
    // Ticks that fall due while Send runs are held until its window has
    // closed.
    if (m_playback)
        m_playback->pause();
    const auto resume = qScopeGuard([this] {
        if (m_playback)
            m_playback->resume();
    });
    const Outcome outcome = send();
    if (m_progress && !m_sentence.isEmpty())
        m_progress->finished(m_sentence);
    return outcome;
}

SendOperation::Outcome SendOperation::send()
{
    // A sequence the board cannot hold is refused before anything is asked,
    // saved or run.
    const FlashBudget budget = FlashBudget::of(m_document.table(), m_settings.words);
    if (budget.isOver()) {
        error(budget.refusalText());
        return Outcome::TooLarge;
    }
    m_words = budget.used();

    if (needsSave(m_document)) {
        const auto answer =
            m_dialogs.message(Dialogs::Icon::Question, Dialogs::Buttons::YesNo,
                              QStringLiteral("File not saved. Save now and continue?"));
        if (answer != Dialogs::Answer::Yes)
            return Outcome::Declined;
        if (m_save)
            m_save();
        if (needsSave(m_document))
            return Outcome::NotSaved;
    } else if (m_fileChanged && m_fileChanged()) {
        if (m_save)
            m_save();
        if (needsSave(m_document) || m_fileChanged())
            return Outcome::NotSaved;
    }

    const QFileInfo sequence(m_document.state().fileName());
    const QString sequencePath = sequence.absoluteFilePath();
    const QString hexPath = hexPathFor(sequencePath);

    // Both tools are found before anything happens: a missing programmer is
    // not discovered only after the assembler has run, and a missing tool
    // leaves the old HEX file where it was.
    const ToolLocator::Lookup assembler = m_locator.find(ToolLocator::Tool::Assembler);
    if (!assembler.found()) {
        error(assembler.error);
        return Outcome::ToolMissing;
    }
    const ToolLocator::Lookup programmer = m_locator.find(ToolLocator::Tool::Programmer);
    if (!programmer.found()) {
        error(programmer.error);
        return Outcome::ToolMissing;
    }

    ToolCommand program;
    if (programmer.inProgramFolder) {
        program = ToolCommand::programmer(programmer.path, hexPath);
    } else {
        // A stock avrdude knows neither the board's part nor which
        // programmer the user has.
        const ToolLocator::Lookup partFile = m_locator.findPartFile();
        if (!partFile.found()) {
            error(partFile.error);
            return Outcome::ToolMissing;
        }
        if (m_settings.programmer.isEmpty()) {
            const auto answer = m_askSettings ? m_askSettings(m_settings) : std::nullopt;
            if (!answer || answer->programmer.isEmpty())
                return Outcome::SettingsCancelled;
            m_settings = *answer;
        }
        program = ToolCommand::stockProgrammer(programmer.path, hexPath, partFile.path,
                                               m_settings.programmer, m_settings.port);
    }

    // Success is judged only by a HEX file appearing, so one left from an
    // earlier run must go first; otherwise a failed assembly would program
    // the old file into the board.
    const QFileInfo oldHex(hexPath);
    if (oldHex.exists() || oldHex.isSymLink()) {
        QFile file(hexPath);
        const bool removable = oldHex.isFile() || oldHex.isSymLink();
        if (!removable || !file.remove()) {
            const QString reason =
                removable ? file.errorString() : QStringLiteral("It is not a file.");
            error(QStringLiteral("Cannot delete the old HEX file %1\n%2")
                      .arg(QDir::toNativeSeparators(hexPath), reason));
            return Outcome::OldHexNotDeleted;
        }
    }

    const QString folder = sequence.absolutePath();
    ToolCommand assemble = ToolCommand::assembler(assembler.path, sequencePath);
    assemble.workingDirectory = folder;
    program.workingDirectory = folder;
    return assembleAndProgram(assemble, program, hexPath);
}

SendOperation::Outcome SendOperation::assembleAndProgram(const ToolCommand &assemble,
                                                         const ToolCommand &program,
                                                         const QString &hexPath)
{
    stage(Stage::Assemble, State::Running);
    stage(Stage::Program, State::Waiting);
    const ToolResult assembled = m_runner.run(assemble);
    switch (assembled.status) {
    case ToolResult::Status::FailedToStart:
        stage(Stage::Assemble, State::Failed);
        error(QStringLiteral("Cannot start the assembler %1\n%2")
                  .arg(QDir::toNativeSeparators(assemble.program), assembled.errorString));
        return end(Outcome::AssemblerNotStarted,
                   QStringLiteral("Assembly failed: %1 could not start.").arg(toolName(assemble)));
    case ToolResult::Status::Stopped:
        // Whatever the assembler wrote before it was stopped is no program.
        QFile::remove(hexPath);
        stage(Stage::Assemble, State::Stopped);
        return end(Outcome::AssemblyStopped,
                   QStringLiteral("Stopped: nothing was sent to the board."));
    case ToolResult::Status::Crashed:
        // A HEX file may be half written.
        QFile::remove(hexPath);
        break;
    case ToolResult::Status::Finished:
        // An assembler that reports an error may still have written a HEX
        // file; what it holds is not the sequence.
        if (assembled.exitCode != 0)
            QFile::remove(hexPath);
        break;
    }

    // Neither sign alone is enough: avra ends with 0 and writes nothing when
    // it cannot read its input.
    if (assembled.status != ToolResult::Status::Finished || assembled.exitCode != 0 ||
        !QFileInfo(hexPath).isFile()) {
        stage(Stage::Assemble, State::Failed);
        m_dialogs.message(Dialogs::Icon::Error, Dialogs::Buttons::Ok,
                          QStringLiteral("Assembly failed!"));
        return end(Outcome::AssemblyFailed, QStringLiteral("Assembly failed!"));
    }
    stage(Stage::Assemble, State::Done);

    stage(Stage::Program, State::Running);
    const ToolResult programmed = m_runner.run(program);
    const QString tool = toolName(program);
    switch (programmed.status) {
    case ToolResult::Status::FailedToStart:
        stage(Stage::Program, State::Failed);
        error(QStringLiteral("Cannot start the device programmer %1\n%2")
                  .arg(QDir::toNativeSeparators(program.program), programmed.errorString));
        return end(Outcome::ProgrammerNotStarted,
                   QStringLiteral("Programming failed: %1 could not start.").arg(tool));
    case ToolResult::Status::Stopped:
        stage(Stage::Program, State::Stopped);
        return end(Outcome::ProgrammingStopped,
                   QStringLiteral("Stopped: the board may hold only part of the sequence."));
    case ToolResult::Status::Crashed:
    case ToolResult::Status::Finished:
        break;
    }
    if (programmed.status == ToolResult::Status::Crashed || programmed.exitCode != 0) {
        stage(Stage::Program, State::Failed);
        QString sentence =
            QStringLiteral("Programming failed: %1 %2.").arg(tool, programmed.statusText());
        const QString cause = programmed.firstErrorLine();
        if (!cause.isEmpty())
            sentence += QLatin1Char('\n') + cause;
        return end(Outcome::ProgrammingFailed, sentence);
    }
    stage(Stage::Program, State::Done);
    return end(Outcome::Sent, QStringLiteral("Sent %1 words to the board.").arg(m_words));
}

SendOperation::Outcome SendOperation::end(Outcome outcome, const QString &sentence)
{
    m_sentence = sentence;
    return outcome;
}

void SendOperation::stage(Stage which, State state)
{
    if (m_progress)
        m_progress->stageChanged(which, state);
}

void SendOperation::error(const QString &text)
{
    m_dialogs.message(Dialogs::Icon::Error, Dialogs::Buttons::Ok, text);
}

} // namespace glowline
