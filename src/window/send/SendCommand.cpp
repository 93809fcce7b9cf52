#include "window/send/SendCommand.h"

#include "dialogs/Dialogs.h"
#include "files/DocumentCommands.h"
#include "send/ProgrammerListQuery.h"
#include "send/ProgrammerSettingsFile.h"
#include "window/send/DialogToolRunner.h"
#include "window/send/ProgrammerSettingsDialog.h"

#include <QFileInfo>
#include <QTimer>

namespace glowline {

namespace {

// Settings the user chose in this run that the settings file could not
// keep: they hold until the editor closes. Static because the status bar
// reads the settings without a command at hand.
std::optional<ProgrammerSettings> &unkeptSettings()
{
    static std::optional<ProgrammerSettings> settings;
    return settings;
}

} // namespace

SendCommand::SendCommand(QWidget &window, Document &document, Dialogs &dialogs,
                         DocumentCommands &files, Playback &playback)
    : m_window(window), m_document(document), m_dialogs(dialogs), m_files(files),
      m_playback(playback), m_ownRunner(std::make_unique<DialogToolRunner>(&window)),
      m_runner(m_ownRunner.get()), m_progress(m_ownRunner.get())
{
    // The editor has one command per run; what an earlier one in the same
    // process could not keep is not this run's.
    unkeptSettings().reset();
    // The status bar counts against the settings from the start, so a file
    // that cannot be read is told as soon as the window is up.
    QTimer::singleShot(0, &m_window, [this] { settings(); });
}

SendCommand::~SendCommand() = default;

void SendCommand::setTools(ToolRunner &runner, ToolLocator locator)
{
    m_runner = &runner;
    m_progress = dynamic_cast<SendProgress *>(&runner);
    m_locator = std::move(locator);
}

SendOperation::Outcome SendCommand::run()
{
    SendOperation send(
        m_document, m_dialogs, *m_runner, [this] { m_files.save(); }, m_locator, &m_playback);
    send.setProgress(m_progress);
    send.setFileCheck([this] { return m_files.fileChangedOnDisk(); });
    send.setProgrammerSettings(
        settings(), [this](const ProgrammerSettings &current) { return askAndKeep(current); });
    return send.run();
}

void SendCommand::editSettings()
{
    askAndKeep(settings());
}

ProgrammerSettings SendCommand::storedSettings()
{
    if (unkeptSettings())
        return *unkeptSettings();
    return ProgrammerSettingsFile().load();
}

ProgrammerSettings SendCommand::settings()
{
    if (unkeptSettings())
        return *unkeptSettings();
    ProgrammerSettingsFile file;
    const ProgrammerSettings settings = file.load();
    if (!file.error().isEmpty())
        tellOnce(file.error() + QStringLiteral("\nGlowline goes on with its default settings."));
    return settings;
}

std::optional<ProgrammerSettings> SendCommand::askAndKeep(const ProgrammerSettings &current)
{
    auto answer = m_dialog ? m_dialog(current) : showDialog(current);
    if (!answer)
        return answer;
    ProgrammerSettingsFile file;
    if (file.save(*answer)) {
        unkeptSettings().reset();
    } else {
        unkeptSettings() = *answer;
        tellOnce(file.error() + QStringLiteral("\nThe settings apply until Glowline closes."));
    }
    return answer;
}

void SendCommand::tellOnce(const QString &text)
{
    // Every edit reads the settings again for the status bar; a file that
    // stays broken is told about once a run, not at every read.
    if (m_settingsTroubleTold)
        return;
    m_settingsTroubleTold = true;
    m_dialogs.message(Dialogs::Icon::Warning, Dialogs::Buttons::Ok, text);
}

std::optional<ProgrammerSettings> SendCommand::showDialog(const ProgrammerSettings &current)
{
    ProgrammerSettingsDialog dialog(current, &m_window);
    // The list is what the installed avrdude knows. It comes while the
    // dialog is open, since avrdude may take long or never answer; until it
    // comes, and without it, the field takes any id.
    ProgrammerListQuery query;
    const ToolLocator::Lookup programmer = m_locator.find(ToolLocator::Tool::Programmer);
    if (programmer.found()) {
        dialog.setNote(QStringLiteral("Asking %1 for the programmers it knows…")
                           .arg(QFileInfo(programmer.path).fileName()));
        QObject::connect(&query, &ProgrammerListQuery::answered, &dialog,
                         [&dialog](const QStringList &ids, const QString &failure) {
                             dialog.setProgrammerIds(ids);
                             dialog.setNote(failure.isEmpty()
                                                ? QString()
                                                : failure + QStringLiteral(" Type the id."));
                         });
        query.start(programmer.path);
    } else {
        dialog.setNote(
            QStringLiteral("No avrdude was found to list its programmers. Type the id."));
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.settings();
}

} // namespace glowline
