#include "playback/SendOperation.h"

#include "files/Dialogs.h"
#include "model/Document.h"
#include "playback/HexPath.h"
#include "playback/Playback.h"
#include "playback/ToolCommand.h"
#include "playback/ToolRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

namespace glowline {

namespace {

bool needsSave(const Document &document)
{
    return document.state().hasUnsavedChanges() || !document.state().hasFileName();
}

} // namespace

SendOperation::SendOperation(Document &document, Dialogs &dialogs, ToolRunner &runner,
                             std::function<void()> save, ToolLocator locator, Playback *playback)
    : m_document(document), m_dialogs(dialogs), m_runner(runner), m_save(std::move(save)),
      m_locator(std::move(locator)), m_playback(playback)
{}

SendOperation::Outcome SendOperation::run()
{
    // Ticks that fall due while Send runs are dropped, not made up afterwards.
    if (m_playback)
        m_playback->pause();
    const auto resume = qScopeGuard([this] {
        if (m_playback)
            m_playback->resume();
    });
    return send();
}

SendOperation::Outcome SendOperation::send()
{
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
    const ToolResult assembled = m_runner.run(assemble);
    if (assembled.status == ToolResult::Status::FailedToStart) {
        error(QStringLiteral("Cannot start the assembler %1\n%2")
                  .arg(QDir::toNativeSeparators(assembler.path), assembled.errorString));
        return Outcome::AssemblerNotStarted;
    }

    // The assembler's exit code says nothing: it ends with 0 even when it
    // could not read its input.
    if (!QFileInfo(hexPath).isFile()) {
        m_dialogs.message(Dialogs::Icon::Error, Dialogs::Buttons::Ok,
                          QStringLiteral("Assembly failed!"));
        return Outcome::AssemblyFailed;
    }

    ToolCommand program = ToolCommand::programmer(programmer.path, hexPath);
    program.workingDirectory = folder;
    const ToolResult programmed = m_runner.run(program);
    if (programmed.status == ToolResult::Status::FailedToStart) {
        error(QStringLiteral("Cannot start the device programmer %1\n%2")
                  .arg(QDir::toNativeSeparators(programmer.path), programmed.errorString));
        return Outcome::ProgrammerNotStarted;
    }
    return Outcome::ProgrammerRan;
}

void SendOperation::error(const QString &text)
{
    m_dialogs.message(Dialogs::Icon::Error, Dialogs::Buttons::Ok, text);
}

} // namespace glowline
