#include "playback/Playback.h"

#include "model/Document.h"
#include "model/SequenceEditor.h"
#include "support/TestTables.h"

#include <QSignalSpy>
#include <QTest>

#include <array>
#include <chrono>
#include <optional>
#include <random>

using namespace glowline;
using namespace std::chrono_literals;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

namespace {

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
        m_now = 0ns;
        m_document.emplace();
        m_editor.emplace(*m_document);
        m_playback.emplace(*m_editor);
        m_running.emplace(&*m_playback, &Playback::runningChanged);
        m_advanced.emplace(&*m_playback, &Playback::lineAdvanced);
    }
    // Puts the playback on a clock that moves only when the test moves it.
    void useTestClock()
    {
        m_advanced.reset();
        m_running.reset();
        m_playback.emplace(*m_editor, [this] { return m_now; });
        m_running.emplace(&*m_playback, &Playback::runningChanged);
        m_advanced.emplace(&*m_playback, &Playback::lineAdvanced);
    }

    void cleanup()
    {
        m_advanced.reset();
        m_running.reset();
        m_playback.reset();
        m_editor.reset();
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
        m_document->replace(test::withDurations({50, 120, 7}));
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
        m_document->replace(test::withDurations({50, 120, 7}));
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
        m_document->replace(test::withDurations({3, 4, 5, 6}));
        m_document->setCurrentLine(4);
        m_playback->start();
        QCOMPARE(m_playback->timerInterval(), 60);
        m_playback->tick();
        QCOMPARE(lines(*m_advanced), QList<int>{1});
        QCOMPARE(m_playback->timerInterval(), 30);
    }

    void oneLineSequenceStaysOnLineOne()
    {
        m_document->replace(test::withDurations({25}));
        m_playback->start();
        m_playback->tick();
        m_playback->tick();
        QCOMPARE(lines(*m_advanced), (QList<int>{1, 1}));
        QCOMPARE(m_playback->timerInterval(), 250);
        QVERIFY(m_playback->isTimerActive());
    }

    void longestDurationGivesItsFullInterval()
    {
        m_document->replace(test::withDurations({1, 4095}));
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
        m_document->replace(test::withDurations({10, 0, 10}));
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
        m_document->replace(test::withDurations({0, 10}));
        m_playback->start();
        QVERIFY(m_playback->isRunning());
        QVERIFY(!m_playback->isTimerActive());
        QTest::qWait(30);
        QCOMPARE(lines(*m_advanced), QList<int>());
        QCOMPARE(m_document->currentLine(), 1);
    }

    void stopAndStartResumeWhereStopped()
    {
        m_document->replace(test::withDurations({10, 20, 30, 40}));
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
        m_document->replace(test::withDurations({10}));
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
        m_document->replace(test::withDurations({10, 20, 30}));
        m_document->setCurrentLine(3);
        m_playback->start();
        std::array<Cell, kColumnCount> line{};
        line[kDurationColumn] = 44;
        m_editor->insertLines(4, line);
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 4);
        QCOMPARE(m_playback->timerInterval(), 440);

        m_document->setCurrentLine(2);
        m_editor->removeLines(3, 2);
        m_playback->tick();
        QCOMPARE(m_document->currentLine(), 1);
        QCOMPARE(lines(*m_advanced), (QList<int>{4, 1}));
    }

    // Each line ends its duration after the planned end of the line before,
    // however late within that line its tick runs.
    void noDriftOverAThousandUnevenLines()
    {
        useTestClock();
        std::mt19937 random(11);
        std::uniform_int_distribution<int> durations(1, 300);
        LineTable table(1000);
        for (int line = 1; line <= 1000; ++line)
            table.setCell(kDurationColumn, line, Cell(durations(random)));
        m_document->replace(table);
        const nanoseconds begin = m_now;
        m_playback->start();

        nanoseconds planned = begin + milliseconds(table.duration(1) * 10);
        QCOMPARE(m_playback->lineEnd(), planned);
        for (int step = 1; step <= 1500; ++step) {
            const int next = step % 1000 + 1;
            // Late by anything short of the next line's whole duration.
            std::uniform_int_distribution<long> late(0, table.duration(next) * 10'000'000L - 1);
            m_now = planned + nanoseconds(late(random));
            m_playback->tick();
            QCOMPARE(m_document->currentLine(), next);
            planned += milliseconds(table.duration(next) * 10);
            QCOMPARE(m_playback->lineEnd(), planned);
            QVERIFY(m_playback->remainingTime() <= table.duration(next) * 10);
        }
    }

    void lateAndEarlyTicks_data()
    {
        QTest::addColumn<nanoseconds>("tickAt");
        QTest::addColumn<nanoseconds>("nextEnd");

        // Line 1 ends at 100 ms, line 2 lasts 200 ms.
        QTest::newRow("on time") << nanoseconds(100ms) << nanoseconds(300ms);
        QTest::newRow("late shortens the next line") << nanoseconds(150ms) << nanoseconds(300ms);
        QTest::newRow("late by less than the next line")
            << nanoseconds(299ms) << nanoseconds(300ms);
        QTest::newRow("late by the whole next line") << nanoseconds(300ms) << nanoseconds(500ms);
        QTest::newRow("stalled for seconds") << nanoseconds(5000ms) << nanoseconds(5200ms);
        QTest::newRow("within the timer's rounding before the end")
            << nanoseconds(99600us) << nanoseconds(300ms);
        QTest::newRow("early cuts the line short") << nanoseconds(40ms) << nanoseconds(240ms);
    }

    // However late, a tick moves on exactly one line.
    void lateAndEarlyTicks()
    {
        QFETCH(nanoseconds, tickAt);
        QFETCH(nanoseconds, nextEnd);
        useTestClock();
        m_document->replace(test::withDurations({10, 20, 30}));
        m_playback->start();
        m_now = tickAt;
        m_playback->tick();
        QCOMPARE(lines(*m_advanced), QList<int>{2});
        QCOMPARE(m_playback->lineEnd(), nextEnd);
        QCOMPARE(m_playback->timerInterval(), 200);
    }

    void resumeAfterAHold_data()
    {
        QTest::addColumn<nanoseconds>("resumeAt");
        QTest::addColumn<int>("line");
        QTest::addColumn<nanoseconds>("lineEnd");

        // Held at 30 ms on line 1, which ends at 100 ms; line 2 lasts 200 ms.
        QTest::newRow("before the end: the time left goes on")
            << nanoseconds(60ms) << 1 << nanoseconds(100ms);
        QTest::newRow("just after the end: one tick, full duration")
            << nanoseconds(120ms) << 2 << nanoseconds(320ms);
        QTest::newRow("long after: still one tick")
            << nanoseconds(9000ms) << 2 << nanoseconds(9200ms);
    }

    void resumeAfterAHold()
    {
        QFETCH(nanoseconds, resumeAt);
        QFETCH(int, line);
        QFETCH(nanoseconds, lineEnd);
        useTestClock();
        m_document->replace(test::withDurations({10, 20, 30}));
        m_playback->start();
        m_now = 30ms;
        m_playback->pause();
        QVERIFY(m_playback->isPaused());
        QVERIFY(m_playback->isRunning());
        QVERIFY(!m_playback->isTimerActive());
        m_now = resumeAt;
        m_playback->tick();
        QCOMPARE(lines(*m_advanced), QList<int>());

        m_playback->resume();
        QVERIFY(!m_playback->isPaused());
        QVERIFY(m_playback->isTimerActive());
        QCOMPARE(m_document->currentLine(), line);
        QCOMPARE(m_playback->lineEnd(), lineEnd);
        QCOMPARE(m_playback->remainingTime(),
                 int(std::chrono::duration_cast<milliseconds>(lineEnd - resumeAt).count()));
        QCOMPARE(m_running->count(), 1);
    }

    void selectionPlaysInALoop_data()
    {
        QTest::addColumn<bool>("selectionPlays");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<int>>("played");
        QTest::addColumn<int>("rangeFirst");
        QTest::addColumn<int>("rangeLast");

        QTest::newRow("from the first selected line")
            << true << 6 << 3 << QList<int>{4, 5, 6, 3, 4} << 3 << 6;
        QTest::newRow("from the last back to the first")
            << true << 3 << 6 << QList<int>{3, 4, 5, 6, 3} << 3 << 6;
        QTest::newRow("one line selected plays all")
            << true << 7 << 7 << QList<int>{8, 1, 2} << 1 << 8;
        QTest::newRow("the window has not asked for it")
            << false << 3 << 6 << QList<int>{7, 8, 1} << 1 << 8;
    }

    void selectionPlaysInALoop()
    {
        QFETCH(bool, selectionPlays);
        QFETCH(int, anchor);
        QFETCH(int, current);
        QFETCH(QList<int>, played);
        QFETCH(int, rangeFirst);
        QFETCH(int, rangeLast);

        m_document->replace(test::withDurations({10, 10, 10, 10, 10, 10, 10, 10}));
        m_document->setAnchorLine(anchor);
        m_document->setCurrentLine(current);
        m_playback->setSelectionPlays(selectionPlays);
        m_playback->start();
        QCOMPARE(m_playback->playsRange(), rangeFirst != 1);
        QCOMPARE(m_playback->rangeFirst(), rangeFirst);
        QCOMPARE(m_playback->rangeLast(), rangeLast);
        // Moving the anchor while playing changes nothing.
        m_document->setAnchorLine(1);
        for (int i = 0; i < played.size(); ++i)
            m_playback->tick();
        QCOMPARE(lines(*m_advanced), played);
        QCOMPARE(m_playback->rangeFirst(), rangeFirst);
    }

    // Outside the range, the next tick goes to its first line; deleted lines
    // shorten it, and a new sequence plays whole from its line 1.
    void rangeGivesWayToChanges()
    {
        useTestClock();
        QSignalSpy rangeChanged(&*m_playback, &Playback::rangeChanged);
        m_document->replace(test::withDurations({10, 20, 30, 40, 50, 60}));
        m_document->setAnchorLine(3);
        m_document->setCurrentLine(5);
        m_playback->setSelectionPlays(true);
        m_playback->start();
        QCOMPARE(rangeChanged.count(), 1);
        m_document->setCurrentLine(1);
        m_playback->tick();
        m_editor->removeLines(5, 2);
        m_playback->tick();
        m_playback->tick();
        QCOMPARE(lines(*m_advanced), (QList<int>{3, 4, 3}));

        m_now = 1000ms;
        m_document->replace(test::withDurations({70, 80, 90}));
        QVERIFY(!m_playback->playsRange());
        QCOMPARE(rangeChanged.count(), 2);
        QCOMPARE(m_playback->lineEnd(), nanoseconds(1700ms));
        QCOMPARE(m_playback->timerInterval(), 700);
        m_playback->tick();
        m_playback->tick();
        m_playback->tick();
        QCOMPARE(lines(*m_advanced), (QList<int>{3, 4, 3, 2, 3, 1}));
        m_playback->stop();
        QCOMPARE(rangeChanged.count(), 2);
    }

    void pauseWhileStoppedStartsNothing()
    {
        m_document->replace(test::withDurations({10}));
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
        m_document->replace(test::withDurations({1, 0}));
        m_playback->start();
        QTRY_COMPARE_WITH_TIMEOUT(lines(*m_advanced), QList<int>{2}, 5000);
        QVERIFY(!m_playback->isTimerActive());
    }

private:
    std::optional<Document> m_document;
    std::optional<SequenceEditor> m_editor;
    std::optional<Playback> m_playback;
    std::optional<QSignalSpy> m_running;
    std::optional<QSignalSpy> m_advanced;
    nanoseconds m_now{0};
};

QTEST_GUILESS_MAIN(PlaybackTest)
#include "PlaybackTest.moc"
