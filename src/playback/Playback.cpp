#include "playback/Playback.h"

#include "model/Document.h"

namespace glowline {

Playback::Playback(Document &document, QObject *parent) : QObject(parent), m_document(document)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    // Every tick sets the next interval itself, so the timer never needs to
    // repeat on its own.
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Playback::tick);
}

void Playback::start()
{
    if (m_running)
        return;
    m_running = true;
    armTimer();
    emit runningChanged(true);
}

void Playback::stop()
{
    if (!m_running)
        return;
    m_timer.stop();
    m_running = false;
    emit runningChanged(false);
}

void Playback::toggle()
{
    if (m_running)
        stop();
    else
        start();
}

void Playback::tick()
{
    if (!m_running || m_paused)
        return;
    // The line count is read here and not kept, so lines added or deleted
    // while playing count from the next tick on.
    int line = m_document.currentLine() + 1;
    if (line > m_document.lineCount() || line < 1)
        line = 1;
    m_document.setCurrentLine(line);
    emit lineAdvanced(line);
    armTimer();
}

void Playback::pause()
{
    if (m_paused)
        return;
    m_paused = true;
    m_timer.stop();
}

void Playback::resume()
{
    if (!m_paused)
        return;
    m_paused = false;
    armTimer();
}

void Playback::armTimer()
{
    const int line = m_document.currentLine();
    const bool inTable = line >= 1 && line <= m_document.lineCount();
    const int interval = inTable ? intervalFor(m_document.table().duration(line)) : 0;
    m_timer.setInterval(interval);
    // A line of duration 0 holds playback on it until Stop. A Qt timer with
    // interval 0 would fire at every pass of the event loop, so the timer is
    // stopped instead.
    if (m_running && !m_paused && interval > 0)
        m_timer.start();
    else
        m_timer.stop();
}

} // namespace glowline
