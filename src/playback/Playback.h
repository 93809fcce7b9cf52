#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>

namespace glowline {

class Document;
class SequenceEditor;

// Plays the sequence on screen: from the current line, each line stays for its
// own duration, then the next follows, wrapping after the last line to line 1.
// When more than one line is selected at start, only those lines play, from
// the last back to the first. The window shows the lines (lineAdvanced) and
// the running state (runningChanged); this class only keeps the time.
//
// Lines keep the board's time: each line's end is counted from the previous
// line's planned end, not from the moment its tick ran, so a late tick shortens
// the next wait instead of adding up, and a loop lasts the sum of its
// durations.
class Playback final : public QObject
{
    Q_OBJECT

public:
    // Monotonic time since any fixed point. Tests pass their own and step it.
    using Clock = std::function<std::chrono::nanoseconds()>;

    // Moves the current line through the editor, holding a playing selection.
    explicit Playback(SequenceEditor &editor, QObject *parent = nullptr);
    Playback(SequenceEditor &editor, Clock clock, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(Playback)

    bool isRunning() const { return m_running; }
    bool isPaused() const { return m_paused; }

    // The lines that play: while a selection plays, the lines selected at
    // start (fixed until Stop, or until a new sequence replaces the old one);
    // otherwise the whole sequence.
    bool playsRange() const { return m_playsRange; }
    // Whether a selection of more than one line at start limits playback to
    // it. The window turns this on when every plain move of its current line
    // also puts the selection's anchor there; with an anchor left behind, any
    // move would pass for a selection.
    void setSelectionPlays(bool on) { m_selectionPlays = on; }
    bool selectionPlays() const { return m_selectionPlays; }
    int rangeFirst() const;
    int rangeLast() const;

    // The timer as it stands: the full interval of the line in view, in
    // milliseconds (0 for a line that rests), whether a tick is due at all,
    // and the milliseconds left until it (-1 when none is due).
    int timerInterval() const { return m_lineInterval; }
    bool isTimerActive() const { return m_timer.isActive(); }
    int remainingTime() const;
    Qt::TimerType timerType() const { return m_timer.timerType(); }
    // When the line in view is planned to end, on the playback's clock.
    std::chrono::nanoseconds lineEnd() const { return m_lineEnd; }

    // Line duration in hundredths of a second to timer milliseconds.
    static int intervalFor(int duration) { return duration > 0 ? duration * 10 : 0; }

public slots:
    void start();
    void stop();
    void toggle();
    // Moves on to the next line. Does nothing unless playback runs and is not
    // paused, so a tick that arrives late cannot move a stopped sequence.
    // The next line ends its own duration after the planned end of the line
    // in view; when that moment has already passed (the tick came a whole line
    // late or more), it gets its full duration from now. A tick that comes
    // before the line's end cuts that line short and the next counts from now.
    void tick();
    // While an external tool runs, no tick is handled. On resume, a tick that
    // fell due in that time is taken once, and the line it brings gets its
    // full duration from then; otherwise the line in view goes on for the
    // time it had left.
    void pause();
    void resume();

signals:
    void runningChanged(bool running);
    // The current line has been set to line; the window shows it.
    void lineAdvanced(int line);
    // playsRange, rangeFirst or rangeLast now answer differently.
    void rangeChanged();

private:
    void advance(bool fromNow);
    void beginLine(std::chrono::nanoseconds from);
    void restartOnNewSequence();
    void dropRange();
    void timerFired();
    void armTimer();
    bool isDue(std::chrono::nanoseconds now) const;
    int nextLine(int line) const;
    int lineInterval(int line) const;

    SequenceEditor &m_editor;
    const Document &m_document;
    Clock m_clock;
    QTimer m_timer;
    bool m_running = false;
    bool m_paused = false;
    bool m_selectionPlays = false;
    bool m_playsRange = false;
    int m_rangeFirst = 1;
    int m_rangeLast = 1;
    int m_lineInterval = 0;
    std::chrono::nanoseconds m_lineEnd{0};
};

} // namespace glowline
