#include "files/DocumentCommands.h"

#include "dialogs/Dialogs.h"
#include "files/SequenceReader.h"
#include "files/SequenceWriter.h"
#include "model/Document.h"

#include <QDir>
#include <QFileInfo>

namespace glowline {

void DocumentCommands::save()
{
    DocumentState &state = m_document.state();
    if (!state.hasFileName()) {
        saveAs();
        return;
    }
    // A file that is gone has nothing to lose; one another program changed has.
    const auto onDisk = fileStampOf(state.fileName());
    if (m_stamp && onDisk && !onDisk->sameVersion(*m_stamp)) {
        const auto answer = m_dialogs.message(
            Dialogs::Icon::Warning, Dialogs::Buttons::YesNo,
            QStringLiteral("%1 was changed by another program since it was opened. Overwrite it?")
                .arg(QDir::toNativeSeparators(state.fileName())));
        if (answer != Dialogs::Answer::Yes)
            return;
    }
    QString error;
    QString ownerChange;
    if (!saveSequenceFile(m_document.table(), state.fileName(), &error, &ownerChange)) {
        m_dialogs.message(Dialogs::Icon::Error, Dialogs::Buttons::Ok,
                          QStringLiteral("Failed to save file: \r\n") + error);
        return;
    }
    m_stamp = fileStampOf(state.fileName());
    state.clearChangedMarker();
    if (!ownerChange.isEmpty()) {
        m_dialogs.message(Dialogs::Icon::Warning, Dialogs::Buttons::Ok,
                          QStringLiteral("%1 was saved, but %2.")
                              .arg(QDir::toNativeSeparators(state.fileName()), ownerChange));
    }
}

void DocumentCommands::saveAs()
{
    const auto path = m_dialogs.saveFileName(m_document.state().fileName());
    if (!path || path->isEmpty())
        return;
    m_document.state().setFileName(QFileInfo(*path).absoluteFilePath());
    // The Save dialog has asked before replacing a file of that name.
    m_stamp.reset();
    save();
}

bool DocumentCommands::savePrompt()
{
    const DocumentState &state = m_document.state();
    if (!state.hasUnsavedChanges())
        return true;
    switch (m_dialogs.message(Dialogs::Icon::Question, Dialogs::Buttons::YesNoCancel,
                              QStringLiteral("Do you want to save your changes?"))) {
    case Dialogs::Answer::Yes:
        save();
        return !state.hasUnsavedChanges();
    case Dialogs::Answer::No:
        return true;
    case Dialogs::Answer::Cancel:
    case Dialogs::Answer::Ok:
        break;
    }
    return false;
}

void DocumentCommands::newFile()
{
    if (!savePrompt())
        return;
    m_document.state().setFileName(QString());
    m_stamp.reset();
    m_document.replace(LineTable());
}

bool DocumentCommands::fileChangedOnDisk() const
{
    if (!m_stamp)
        return false;
    const auto now = fileStampOf(m_document.state().fileName());
    return !now || !now->sameVersion(*m_stamp);
}

void DocumentCommands::load()
{
    if (!savePrompt())
        return;
    const auto path = m_dialogs.openFileName(m_document.state().fileName());
    if (!path || path->isEmpty())
        return;
    loadFile(*path);
}

bool DocumentCommands::loadFile(const QString &path)
{
    ReadResult result = readSequenceFile(path);
    if (!result.ok()) {
        m_dialogs.message(Dialogs::Icon::Error, Dialogs::Buttons::Ok,
                          QStringLiteral("Failed to load file: \r\n") + result.message());
        return false;
    }
    if (result.holdsNoSequence) {
        // Kept under its name, such a file (an ordinary assembler program)
        // would be replaced by an empty sequence at the next Save.
        m_document.state().setFileName(QString());
        m_stamp.reset();
        m_document.replace(std::move(result.table));
        m_dialogs.message(Dialogs::Icon::Information, Dialogs::Buttons::Ok,
                          QStringLiteral("%1 holds no Glowline sequence (no ;Line header). It was "
                                         "opened as a new sequence; Save will ask for a name.")
                              .arg(QDir::toNativeSeparators(path)));
        return true;
    }
    // The file name is always a full path, also for a name given relative to
    // the working folder on the command line.
    m_document.state().setFileName(QFileInfo(path).absoluteFilePath());
    m_stamp = result.stamp;
    m_document.replace(std::move(result.table));
    return true;
}

} // namespace glowline
