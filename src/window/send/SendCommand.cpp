#include "window/send/SendCommand.h"

#include "send/ProgrammerListQuery.h"
#include "window/send/DialogToolRunner.h"
#include "window/send/ProgrammerSettingsDialog.h"

#include <QFileInfo>
#include <QSettings>

namespace glowline {

namespace {

QSettings keptSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Glowline"),
                     QStringLiteral("Glowline"));
}

} // namespace

SendCommand::SendCommand(QWidget &window, Document &document, Dialogs &dialogs,
                         std::function<void()> save, Playback &playback)
    : m_window(window), m_document(document), m_dialogs(dialogs), m_save(std::move(save)),
      m_playback(playback), m_ownRunner(std::make_unique<DialogToolRunner>(&window)),
      m_runner(m_ownRunner.get()), m_progress(m_ownRunner.get())
{}

SendCommand::~SendCommand() = default;

void SendCommand::setTools(ToolRunner &runner, ToolLocator locator)
{
    m_runner = &runner;
    m_progress = dynamic_cast<SendProgress *>(&runner);
    m_locator = std::move(locator);
}

SendOperation::Outcome SendCommand::run()
{
    SendOperation send(m_document, m_dialogs, *m_runner, m_save, m_locator, &m_playback);
    send.setProgress(m_progress);
    send.setProgrammerSettings(storedSettings(), [this](const ProgrammerSettings &current) {
        return askAndKeep(current);
    });
    return send.run();
}

void SendCommand::editSettings()
{
    askAndKeep(storedSettings());
}

ProgrammerSettings SendCommand::storedSettings()
{
    return ProgrammerSettings::load(keptSettings());
}

std::optional<ProgrammerSettings> SendCommand::askAndKeep(const ProgrammerSettings &current)
{
    auto answer = m_dialog ? m_dialog(current) : showDialog(current);
    if (answer) {
        QSettings settings = keptSettings();
        answer->save(settings);
    }
    return answer;
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
