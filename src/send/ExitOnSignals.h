#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace glowline {

// Ends the editor on SIGTERM and SIGHUP (a logout, a lost session) at once
// and without asking about unsaved changes, since nobody may be there to
// answer. Every tool's process group is ended first, so that no avrdude is
// left holding the port. The signal is handled in the event loop, not in the
// signal handler, so that beforeExit may do anything the editor can:
// beforeExit runs after the tools have ended and before the editor exits,
// the one place for work that must not be lost (a recovery file). On
// platforms without these signals it does nothing.
class ExitOnSignals final : public QObject
{
    Q_OBJECT

public:
    explicit ExitOnSignals(std::function<void()> beforeExit = {}, QObject *parent = nullptr);
    // The signals get their default action back.
    ~ExitOnSignals() override;
    Q_DISABLE_COPY_MOVE(ExitOnSignals)

private:
    void onSignal();

    std::function<void()> m_beforeExit;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace glowline
