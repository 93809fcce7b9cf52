#include "playback/Playback.h"

#include "model/Document.h"

#include <QSignalSpy>
#include <QTest>

#include <array>

#include <initializer_list>
#include <optional>

using namespace glowline;

namespace {

// A table whose lines have the given durations and otherwise black LEDs.
LineTable withDurations(std::initializer_list<int> durations)
{
    LineTable table(int(durations.size()));
    int line = 1;
    for (int duration : durations)
        table.setCell(kDurationColumn, line++, Cell(duration));
    return table;
}

QList<int> lines(const QSignalSpy &spy)
{
    QList<int> result;
    for (const auto &arguments : spy)
        result.append(arguments.at(0).toInt());
    return result;
}

} // namespace

class PlaybackTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_document.emplace();
        m_playback.emplace(*m_document);
        m_running.emplace(&*m_playback, &Playback::runningChanged);
        m_advanced.emplace(&*m_playback, &Playback::lineAdvanced);
    }
    void cleanup()
    {
        m_advanced.reset();
        m_running.reset();
        m_playback.reset();
        m_document.reset();
    }

    void stoppedAtFirst()
    {
        QVERIFY(!m_playback->isRunning());
        QVERIFY(!m_playback->isTimerActive());
        QCOMPARE(m_playback->timerType(), Qt::PreciseTimer);
    }

    void startKeepsTheCurrentLineForItsOwnDuration()
    {
        m_document->table() = withDurations({50, 120, 7});
        m_document->setCurrentLine(2);
        m_playback->start();
        QVERIFY(m_playback->isRunning());
        QCOMPARE(m_document->currentLine(), 2);
        QCOMPARE(m_playback->timerInterval(), 1200);
        QVERIFY(m_playback->isTimerActive());
        QCOMPARE(lines(*m_advanced), QList<int>());
        QCOMPARE(m_running->count(), 1);
        QCOMPARE(m_running->at(0).at(0).toBool(), true);
    }

    void ticksAdvanceAndWrapToLineOne()
    {
        m_document->table() = withDurations({50, 120, 7});
        m_document->setCurrentLine(2);
        m_playback->start();
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 3);
        QCOMPARE(m_playback->timerInterval(), 70);
        QVERIFY(m_playback->isTimerActive());
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 1);
        QCOMPARE(m_playback->timerInterval(), 500);
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 2);
        QCOMPARE(m_playback->timerInterval(), 1200);
        QCOMPARE(lines(*m_advanced), (QList<int>{3, 1, 2}));
        QVERIFY(m_playback->isRunning());
    }

    void startOnTheLastLineGoesToLineOne()
    {
        m_document->table() = withDurations({3, 4, 5, 6});
        m_document->setCurrentLine(4);
        m_playback->start();
        QCOMPARE(m_playback->timerInterval(), 60);
        m_playback->tick();
        QCOMPARE(lines(*m_advanced), QList<int>{1});
        QCOMPARE(m_playback->timerInterval(), 30);
    }

    void oneLineSequenceStaysOnLineOne()
    {
        m_document->table() = withDurations({25});
        m_playback->start();
        m_playback->tick();
        m_playback->tick();
        QCOMPARE(lines(*m_advanced), (QList<int>{1, 1}));
        QCOMPARE(m_playback->timerInterval(), 250);
        QVERIFY(m_playback->isTimerActive());
    }

    void longestDurationGivesItsFullInterval()
    {
        m_document->table() = withDurations({1, 4095});
        m_playback->start();
        QCOMPARE(m_playback->timerInterval(), 10);
        m_playback->tick();
        QCOMPARE(m_playback->timerInterval(), 40950);
        QVERIFY(m_playback->isTimerActive());
    }

    // A line of duration 0 holds playback on it: no tick at all, while the
    // state stays running so that the button still says Stop.
    void durationZeroRestsOnTheLine()
    {
        m_document->table() = withDurations({10, 0, 10});
        m_playback->start();
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 2);
        QCOMPARE(m_playback->timerInterval(), 0);
        QVERIFY(!m_playback->isTimerActive());
        QVERIFY(m_playback->isRunning());
        // An armed zero-interval timer would fire at every pass of the loop.
        QTest::qWait(30);
        QCOMPARE(lines(*m_advanced), QList<int>{2});
        QCOMPARE(m_document->currentLine(), 2);

        m_playback->toggle();
        QVERIFY(!m_playback->isRunning());
        QCOMPARE(m_running->count(), 2);
        QCOMPARE(m_running->at(1).at(0).toBool(), false);
    }

    void startingOnADurationZeroLineNeverAdvances()
    {
        m_document->table() = withDurations({0, 10});
        m_playback->start();
        QVERIFY(m_playback->isRunning());
        QVERIFY(!m_playback->isTimerActive());
        QTest::qWait(30);
        QCOMPARE(lines(*m_advanced), QList<int>());
        QCOMPARE(m_document->currentLine(), 1);
    }

    void stopAndStartResumeWhereStopped()
    {
        m_document->table() = withDurations({10, 20, 30, 40});
        m_playback->start();
        m_playback->tick();
        m_playback->tick();
        m_playback->stop();
        QVERIFY(!m_playback->isRunning());
        QVERIFY(!m_playback->isTimerActive());
        QCOMPARE(m_document->currentLine(), 3);
        // A tick that was already queued when Stop came does nothing.
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 3);

        m_playback->start();
        QCOMPARE(m_document->currentLine(), 3);
        QCOMPARE(m_playback->timerInterval(), 300);
        QVERIFY(m_playback->isTimerActive());
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 4);
        QCOMPARE(lines(*m_advanced), (QList<int>{2, 3, 4}));
    }

    // The window shows and hides the shields and sets the button's caption
    // from runningChanged, once per change of state.
    void runningChangedOncePerChange()
    {
        m_document->table() = withDurations({10});
        m_playback->stop();
        QCOMPARE(m_running->count(), 0);
        m_playback->toggle();
        m_playback->start();
        m_playback->toggle();
        m_playback->stop();
        m_playback->toggle();
        QCOMPARE(m_running->count(), 3);
        QCOMPARE(m_running->at(0).at(0).toBool(), true);
        QCOMPARE(m_running->at(1).at(0).toBool(), false);
        QCOMPARE(m_running->at(2).at(0).toBool(), true);
    }

    void lineCountIsReadAtEachTick()
    {
        m_document->table() = withDurations({10, 20, 30});
        m_document->setCurrentLine(3);
        m_playback->start();
        m_document->table().insertLine(4, std::array<Cell, kColumnCount>{});
        m_document->table().setCell(kDurationColumn, 4, 44);
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 4);
        QCOMPARE(m_playback->timerInterval(), 440);

        m_document->setCurrentLine(2);
        m_document->table().removeLine(4);
        m_document->table().removeLine(3);
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 1);
        QCOMPARE(lines(*m_advanced), (QList<int>{4, 1}));
    }

    void pauseDropsTicksAndResumeRestartsTheLine()
    {
        m_document->table() = withDurations({10, 120});
        m_playback->start();
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 2);
        m_playback->pause();
        QVERIFY(m_playback->isPaused());
        QVERIFY(m_playback->isRunning());
        QVERIFY(!m_playback->isTimerActive());
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 2);

        m_playback->resume();
        QVERIFY(!m_playback->isPaused());
        QVERIFY(m_playback->isTimerActive());
        QCOMPARE(m_playback->timerInterval(), 1200);
        QVERIFY(m_playback->remainingTime() > 1000);
        QCOMPARE(lines(*m_advanced), QList<int>{2});
        QCOMPARE(m_running->count(), 1);
    }

    void pauseWhileStoppedStartsNothing()
    {
        m_document->table() = withDurations({10});
        m_playback->pause();
        m_playback->resume();
        QVERIFY(!m_playback->isRunning());
        QVERIFY(!m_playback->isTimerActive());

        m_playback->pause();
        m_playback->start();
        QVERIFY(m_playback->isRunning());
        QVERIFY(!m_playback->isTimerActive());
        m_playback->resume();
        QVERIFY(m_playback->isTimerActive());

        m_playback->pause();
        m_playback->stop();
        m_playback->resume();
        QVERIFY(!m_playback->isRunning());
        QVERIFY(!m_playback->isTimerActive());
    }

    // The timer drives tick() by itself: a line of 10 ms moves on to a line
    // of duration 0, where playback rests.
    void timerTicksOnItsOwn()
    {
        m_document->table() = withDurations({1, 0});
        m_playback->start();
        QTRY_COMPARE_WITH_TIMEOUT(lines(*m_advanced), QList<int>{2}, 5000);
        QVERIFY(!m_playback->isTimerActive());
    }

private:
    std::optional<Document> m_document;
    std::optional<Playback> m_playback;
    std::optional<QSignalSpy> m_running;
    std::optional<QSignalSpy> m_advanced;
};

QTEST_GUILESS_MAIN(PlaybackTest)
#include "PlaybackTest.moc"
