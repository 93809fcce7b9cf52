#pragma once

#include <QObject>
#include <QTimer>

namespace glowline {

class Document;

// Plays the sequence on screen: from the current line, each line stays for its
// own duration, then the next follows, wrapping after the last line to line 1.
// The window shows the lines (lineAdvanced) and the running state
// (runningChanged); this class only keeps the time.
class Playback final : public QObject
{
    Q_OBJECT

public:
    explicit Playback(Document &document, QObject *parent = nullptr);
    Q_DISABLE_COPY_MOVE(Playback)

    bool isRunning() const { return m_running; }
    bool isPaused() const { return m_paused; }

    // The timer as it stands: the interval of the line in view, in
    // milliseconds, and whether a tick is due at all.
    int timerInterval() const { return m_timer.interval(); }
    bool isTimerActive() const { return m_timer.isActive(); }
    int remainingTime() const { return m_timer.remainingTime(); }
    Qt::TimerType timerType() const { return m_timer.timerType(); }

    // Line duration in hundredths of a second to timer milliseconds.
    static int intervalFor(int duration) { return duration > 0 ? duration * 10 : 0; }

public slots:
    void start();
    void stop();
    void toggle();
    // Moves on to the next line. Does nothing unless playback runs and is not
    // paused, so a tick that arrives late cannot move a stopped sequence.
    void tick();
    // While an external tool runs, no tick is handled. Ticks that fell due in
    // that time are not made up: resume gives the line in view its full
    // duration again.
    void pause();
    void resume();

signals:
    void runningChanged(bool running);
    // The current line has been set to line; the window shows it.
    void lineAdvanced(int line);

private:
    void armTimer();

    Document &m_document;
    QTimer m_timer;
    bool m_running = false;
    bool m_paused = false;
};

} // namespace glowline
