#include "send/ExitOnSignals.h"

#include "send/ToolProcess.h"

#include <QSocketNotifier>

#if defined(Q_OS_UNIX)
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace glowline {

#if defined(Q_OS_UNIX)

namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP};

// The handler writes the signal's number here and the event loop reads it:
// a handler may do almost nothing, and a write is among what it may.
int g_pipe[2] = {-1, -1};

extern "C" void noteSignal(int signal)
{
    const int savedErrno = errno;
    const auto number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &number, 1);
    errno = savedErrno;
}

} // namespace

ExitOnSignals::ExitOnSignals(std::function<void()> beforeExit, QObject *parent)
    : QObject(parent), m_beforeExit(std::move(beforeExit))
{
    // Close-on-exec: the tools must not hold the pipe.
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        qWarning("Cannot watch for SIGTERM and SIGHUP: %s", qPrintable(qt_error_string(errno)));
        return;
    }
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ExitOnSignals::onSignal);

    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals)
        ::sigaction(signal, &action, nullptr);
}

ExitOnSignals::~ExitOnSignals()
{
    if (m_notifier == nullptr)
        return;
    for (const int signal : kSignals)
        std::signal(signal, SIG_DFL);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void ExitOnSignals::onSignal()
{
    unsigned char number = 0;
    if (::read(g_pipe[0], &number, 1) != 1)
        return;
    ToolProcess::endAll();
    if (m_beforeExit)
        m_beforeExit();
    // Ended by the signal itself, as whoever sent it expects to see.
    std::signal(number, SIG_DFL);
    std::raise(number);
}

#else

ExitOnSignals::ExitOnSignals(std::function<void()> beforeExit, QObject *parent)
    : QObject(parent), m_beforeExit(std::move(beforeExit))
{}

ExitOnSignals::~ExitOnSignals() = default;

void ExitOnSignals::onSignal() {}

#endif

} // namespace glowline
