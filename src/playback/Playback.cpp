#include "playback/Playback.h"

#include "model/Document.h"
#include "model/SequenceEditor.h"

#include <algorithm>

namespace glowline {

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// The timer counts whole milliseconds, so it is armed to the millisecond
// nearest to a line's end and may fire up to half of one early. Such a tick is
// on time; only an earlier one cuts the line short.
constexpr nanoseconds kEarlyTolerance = std::chrono::microseconds(500);

nanoseconds steadyNow()
{
    return std::chrono::duration_cast<nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

} // namespace

Playback::Playback(SequenceEditor &editor, QObject *parent) : Playback(editor, steadyNow, parent) {}

Playback::Playback(SequenceEditor &editor, Clock clock, QObject *parent)
    : QObject(parent), m_editor(editor), m_document(editor.document()), m_clock(std::move(clock))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    // Each line arms the timer for the time left to its own end.
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &Playback::timerFired);
    connect(&m_document, &Document::replaced, this, &Playback::restartOnNewSequence);
}

int Playback::rangeFirst() const
{
    return m_playsRange ? m_rangeFirst : 1;
}

int Playback::rangeLast() const
{
    return m_playsRange ? m_rangeLast : m_document.lineCount();
}

int Playback::remainingTime() const
{
    if (!m_timer.isActive())
        return -1;
    const nanoseconds left = std::max(nanoseconds(0), m_lineEnd - m_clock());
    return int(std::chrono::ceil<milliseconds>(left).count());
}

void Playback::start()
{
    if (m_running)
        return;
    m_running = true;
    const int count = m_document.lineCount();
    const int first = std::max(1, m_document.selectionFirst());
    const int last = std::min(count, m_document.selectionLast());
    m_playsRange = m_selectionPlays && last > first;
    if (m_playsRange) {
        m_rangeFirst = first;
        m_rangeLast = last;
    }
    // The current line stays in view for its own duration before the first
    // tick; it lies in the selection (at one end, or inside a run that played).
    beginLine(m_clock());
    emit runningChanged(true);
    if (m_playsRange)
        emit rangeChanged();
}

void Playback::stop()
{
    if (!m_running)
        return;
    m_timer.stop();
    m_running = false;
    emit runningChanged(false);
    dropRange();
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
    advance(false);
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
    if (!m_running)
        return;
    if (isDue(m_clock()))
        advance(true);
    else
        armTimer();
}

void Playback::advance(bool fromNow)
{
    const nanoseconds now = m_clock();
    const nanoseconds from = !fromNow && isDue(now) ? m_lineEnd : now;
    const int line = nextLine(m_document.currentLine());
    if (m_playsRange)
        m_editor.moveCurrentInSelection(line);
    else
        m_editor.setCurrentLine(line);
    emit lineAdvanced(line);
    if (!m_running || m_paused)
        return;
    // A line whose planned end has passed already would not be seen at all:
    // it gets its full duration from now instead, and no line is skipped.
    const nanoseconds end = from + milliseconds(lineInterval(line));
    beginLine(end <= now ? now : from);
}

void Playback::beginLine(nanoseconds from)
{
    m_lineInterval = lineInterval(m_document.currentLine());
    m_lineEnd = from + milliseconds(m_lineInterval);
    armTimer();
}

void Playback::restartOnNewSequence()
{
    dropRange();
    // A new sequence plays from its own line 1 for that line's own duration.
    if (m_running)
        beginLine(m_clock());
}

void Playback::dropRange()
{
    if (!m_playsRange)
        return;
    m_playsRange = false;
    emit rangeChanged();
}

void Playback::timerFired()
{
    if (!m_running || m_paused)
        return;
    if (isDue(m_clock()))
        advance(false);
    else
        armTimer();
}

void Playback::armTimer()
{
    // A line of duration 0 holds playback on it until Stop. A Qt timer with
    // interval 0 would fire at every pass of the event loop, so the timer is
    // stopped instead.
    if (!m_running || m_paused || m_lineInterval <= 0) {
        m_timer.stop();
        return;
    }
    const nanoseconds left = std::max(nanoseconds(0), m_lineEnd - m_clock());
    m_timer.start(int(std::chrono::round<milliseconds>(left).count()));
}

bool Playback::isDue(nanoseconds now) const
{
    return m_lineInterval > 0 && now + kEarlyTolerance >= m_lineEnd;
}

int Playback::nextLine(int line) const
{
    // The line count is read here and not kept, so lines added or deleted
    // while playing count from the next tick on.
    const int count = m_document.lineCount();
    if (m_playsRange) {
        const int last = std::min(m_rangeLast, count);
        // A range whose lines have been deleted gives way to the whole
        // sequence.
        if (m_rangeFirst < last)
            return line < m_rangeFirst || line >= last ? m_rangeFirst : line + 1;
    }
    return line + 1 > count || line < 1 ? 1 : line + 1;
}

int Playback::lineInterval(int line) const
{
    const bool inTable = line >= 1 && line <= m_document.lineCount();
    return inTable ? intervalFor(m_document.table().duration(line)) : 0;
}

} // namespace glowline
