#include "WindowFixture.h"
#include "WindowTestSupport.h"
#include "model/Generators.h"
#include "window/controls/LedShape.h"
#include "window/main/MainWindow.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace glowline;
using glowline::test::control;
using glowline::test::shownColour;

namespace {

// The pattern's LED colours, so that every line looks different, with the
// given durations.
LineTable withDurations(const QList<int> &durations)
{
    LineTable table = test::patternTable(int(durations.size()));
    for (int n = 1; n <= durations.size(); ++n)
        table.setCell(kDurationColumn, n, Cell(durations.at(n - 1)));
    return table;
}

} // namespace

class PlaybackWindowTest final : public test::WindowFixture
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startAndStop_data();
    void startAndStop();
    void ticks_data();
    void ticks();
    void intervalIsTenTimesTheDuration_data();
    void intervalIsTenTimesTheDuration();
    void startingOnDurationZeroNeverAdvances();
    void selectionStaysWhilePlaying();
    void theTimerItselfMovesTheWindow();
    void newSequenceWhilePlaying_data();
    void newSequenceWhilePlaying();
    void closingStopsPlayback();

private:
    QPushButton *testButton() const
    {
        return control<QPushButton>(*m_window, QStringLiteral("cmdTest"));
    }
    QScrollBar *lineScroll() const
    {
        return control<QScrollBar>(*m_window, QStringLiteral("scrLine"));
    }
    QFrame *shield(int n) const
    {
        return control<QFrame>(*m_window, QStringLiteral("frmShield%1").arg(n));
    }
    QString lineLabel(int row) const { return control<QLabel>(*m_window, "lblLine", row)->text(); }
    void press(const QString &trigger);
    // Whether the rows other than row 3 lie under the shields, and row 3 does
    // not: what a click or a look at each control of a row finds there.
    void checkCovered(bool covered);
    // Row 3 shows line of table.
    void checkCurrentRow(const LineTable &table, int line);

    std::optional<QTemporaryDir> m_dir;
};

void PlaybackWindowTest::init()
{
    m_dir.emplace();
    QVERIFY(m_dir->isValid());
    openWindow();
}

void PlaybackWindowTest::cleanup()
{
    closeWindow();
    m_dir.reset();
}

void PlaybackWindowTest::press(const QString &trigger)
{
    if (trigger == QStringLiteral("click"))
        testButton()->click();
    else if (trigger == QStringLiteral("mouse"))
        QTest::mouseClick(testButton(), Qt::LeftButton);
    else if (trigger == QStringLiteral("menu"))
        control<QAction>(*m_window, QStringLiteral("actTest"))->trigger();
    else if (trigger == QStringLiteral("F5"))
        QTest::keyClick(lineScroll(), Qt::Key_F5);
    else
        QFAIL(qPrintable(QStringLiteral("no trigger %1").arg(trigger)));
}

void PlaybackWindowTest::checkCovered(bool covered)
{
    QCOMPARE(shield(1)->isVisible(), covered);
    QCOMPARE(shield(2)->isVisible(), covered);
    auto *frame = control<QFrame>(*m_window, QStringLiteral("Frame1"));
    for (int r = 0; r < LineWindow::kRows; ++r) {
        QList<QWidget *> widgets{control<QLabel>(*m_window, "lblLine", r),
                                 control<QLineEdit>(*m_window, "txtTime", r)};
        for (int c = 0; c < kLedCount; ++c)
            widgets << control<LedShape>(*m_window, "shpLED", r * 100 + c);
        QFrame *over = r < LineWindow::kCurrentRow ? shield(1) : shield(2);
        for (QWidget *widget : widgets) {
            QCOMPARE(widget->parentWidget(), frame);
            const QPoint centre = widget->geometry().center();
            QWidget *found = frame->childAt(centre);
            const bool underShield =
                found != nullptr &&
                (found == shield(1) || found == shield(2) || shield(1)->isAncestorOf(found) ||
                 shield(2)->isAncestorOf(found));
            const QString where = QStringLiteral("%1 of row %2").arg(widget->objectName()).arg(r);
            if (r == LineWindow::kCurrentRow) {
                QVERIFY2(!underShield, qPrintable(where));
                continue;
            }
            QVERIFY2(underShield == covered, qPrintable(where));
            QVERIFY2(over->geometry().contains(widget->geometry()), qPrintable(where));
        }
    }
}

void PlaybackWindowTest::checkCurrentRow(const LineTable &table, int line)
{
    QCOMPARE(lineScroll()->value(), line);
    QCOMPARE(m_window->document().currentLine(), line);
    QCOMPARE(lineLabel(LineWindow::kCurrentRow), QString::number(line));
    for (int c = 0; c < kLedCount; ++c)
        QCOMPARE(test::rgbText(control<LedShape>(*m_window, "shpLED", 300 + c)->fillColour()),
                 test::rgbText(shownColour(table.cell(c, line))));
}

void PlaybackWindowTest::startAndStop_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::newRow("button") << "click";
    QTest::newRow("mouse") << "mouse";
    QTest::newRow("Play menu") << "menu";
    QTest::newRow("F5") << "F5";
}

void PlaybackWindowTest::startAndStop()
{
    QFETCH(QString, trigger);

    const LineTable table = withDurations({10, 20, 30, 40, 50, 60, 70});
    test::loadTable(*m_window, table, 4);
    QCOMPARE(testButton()->text(), QStringLiteral("Test"));
    checkCovered(false);

    press(trigger);
    QCOMPARE(testButton()->text(), QStringLiteral("Stop"));
    QCOMPARE(control<QAction>(*m_window, QStringLiteral("actTest"))->text(),
             QStringLiteral("&Stop"));
    checkCovered(true);
    // The current line stays in view for its own duration first.
    checkCurrentRow(table, 4);
    QCOMPARE(m_window->playback().timerInterval(), 400);
    QVERIFY(m_window->playback().isTimerActive());

    m_window->playback().tick();
    m_window->playback().tick();
    checkCurrentRow(table, 6);
    QCOMPARE(m_window->playback().timerInterval(), 600);

    press(trigger);
    QCOMPARE(testButton()->text(), QStringLiteral("Test"));
    QCOMPARE(control<QAction>(*m_window, QStringLiteral("actTest"))->text(),
             QStringLiteral("&Test"));
    QVERIFY(!m_window->playback().isTimerActive());
    checkCovered(false);
    checkCurrentRow(table, 6);
    // The rows around the line where playback stopped are in view again.
    for (int r = 0; r < LineWindow::kRows; ++r) {
        const int line = 6 + r - LineWindow::kCurrentRow;
        auto *label = control<QLabel>(*m_window, "lblLine", r);
        QCOMPARE(label->isVisible(), line <= 7);
        if (line <= 7)
            QCOMPARE(label->text(), QString::number(line));
    }

    // Start again resumes where it stopped.
    press(trigger);
    QCOMPARE(testButton()->text(), QStringLiteral("Stop"));
    checkCovered(true);
    checkCurrentRow(table, 6);
    QCOMPARE(m_window->playback().timerInterval(), 600);
    QVERIFY(m_window->playback().isTimerActive());
    m_window->playback().tick();
    checkCurrentRow(table, 7);
    m_window->playback().tick();
    checkCurrentRow(table, 1);
    QCOMPARE(m_window->playback().timerInterval(), 100);

    // Playing is no edit.
    QCOMPARE(control<QLabel>(*m_window, QStringLiteral("lblFileChanged"))->text(), QString());
    QCOMPARE(m_window->document().table(), table);
}

void PlaybackWindowTest::ticks_data()
{
    QTest::addColumn<QList<int>>("durations");
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("lines");     // after each tick
    QTest::addColumn<QList<int>>("intervals"); // after each tick, in ms

    QTest::newRow("through the end to line 1")
        << QList<int>{50, 120, 7, 30} << 2 << QList<int>{3, 4, 1, 2, 3}
        << QList<int>{70, 300, 500, 1200, 70};
    QTest::newRow("from the last line")
        << QList<int>{10, 20, 30} << 3 << QList<int>{1, 2} << QList<int>{100, 200};
    QTest::newRow("one line") << QList<int>{25} << 1 << QList<int>{1, 1} << QList<int>{250, 250};
    QTest::newRow("rests on duration 0")
        << QList<int>{40, 15, 0, 60} << 1 << QList<int>{2, 3} << QList<int>{150, 0};
    QTest::newRow("longest duration")
        << QList<int>{4095, 1} << 2 << QList<int>{1, 2} << QList<int>{40950, 10};
}

void PlaybackWindowTest::ticks()
{
    QFETCH(QList<int>, durations);
    QFETCH(int, start);
    QFETCH(QList<int>, lines);
    QFETCH(QList<int>, intervals);

    const LineTable table = withDurations(durations);
    test::loadTable(*m_window, table, start);
    testButton()->click();
    QCOMPARE(m_window->playback().timerInterval(), durations.at(start - 1) * 10);

    for (int i = 0; i < lines.size(); ++i) {
        m_window->playback().tick();
        checkCurrentRow(table, lines.at(i));
        QCOMPARE(m_window->playback().timerInterval(), intervals.at(i));
        QCOMPARE(m_window->playback().isTimerActive(), intervals.at(i) > 0);
        QCOMPARE(testButton()->text(), QStringLiteral("Stop"));
        QVERIFY(shield(1)->isVisible());
        QVERIFY(shield(2)->isVisible());
        // The rows under the shields follow too, ready for Stop.
        const int above = lines.at(i) - 1;
        if (above >= 1)
            QCOMPARE(lineLabel(LineWindow::kCurrentRow - 1), QString::number(above));
        const int below = lines.at(i) + 1;
        if (below <= durations.size())
            QCOMPARE(lineLabel(LineWindow::kCurrentRow + 1), QString::number(below));
    }
}

void PlaybackWindowTest::selectionStaysWhilePlaying()
{
    const LineTable table = withDurations({10, 20, 30, 40, 50, 60});
    test::loadTable(*m_window, table, 4);
    QTest::keyClick(lineScroll(), Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(lineScroll(), Qt::Key_Up, Qt::ShiftModifier);
    const Document &document = m_window->document();
    const auto checkSelection = [&](int current) {
        QCOMPARE(document.currentLine(), current);
        QCOMPARE(document.selectionFirst(), 2);
        QCOMPARE(document.selectionLast(), 4);
        QCOMPARE(m_window->statusBar()->currentMessage(),
                 QStringLiteral("Lines 2\u20134 selected (3)"));
    };

    testButton()->click();
    for (const int line : {3, 4, 2, 3}) {
        m_window->playback().tick();
        checkCurrentRow(table, line);
        checkSelection(line);
    }
    testButton()->click();
    checkSelection(3);
    // A command on the selection takes the lines shown selected, and keeps
    // them so.
    m_window->run(ActionManager::Command::Blend);
    checkSelection(3);
    QCOMPARE(m_window->document().table().cell(5, 3),
             Cell(interpolateColour(table.cell(5, 2), table.cell(5, 4), 1, 2)));
    // Start again plays the same lines from the line reached.
    testButton()->click();
    m_window->playback().tick();
    checkSelection(4);
    m_window->playback().tick();
    checkSelection(2);
}

void PlaybackWindowTest::intervalIsTenTimesTheDuration_data()
{
    QTest::addColumn<int>("duration");
    QTest::addColumn<int>("interval");
    QTest::newRow("0.01 s") << 1 << 10;
    QTest::newRow("0.05 s") << 5 << 50;
    QTest::newRow("0.99 s") << 99 << 990;
    QTest::newRow("10.00 s") << 1000 << 10000;
    QTest::newRow("40.95 s") << 4095 << 40950;
}

void PlaybackWindowTest::intervalIsTenTimesTheDuration()
{
    QFETCH(int, duration);
    QFETCH(int, interval);

    test::loadTable(*m_window, withDurations({7, duration}), 2);
    testButton()->click();
    QCOMPARE(m_window->playback().timerInterval(), interval);
    QVERIFY(m_window->playback().isTimerActive());
    QVERIFY(m_window->playback().remainingTime() <= interval);
    // The next line's own duration follows.
    m_window->playback().tick();
    QCOMPARE(m_window->playback().timerInterval(), 70);
    m_window->playback().tick();
    QCOMPARE(m_window->playback().timerInterval(), interval);
}

void PlaybackWindowTest::startingOnDurationZeroNeverAdvances()
{
    const LineTable table = withDurations({30, 0, 20});
    test::loadTable(*m_window, table, 2);
    testButton()->click();
    QCOMPARE(testButton()->text(), QStringLiteral("Stop"));
    checkCovered(true);
    QVERIFY(!m_window->playback().isTimerActive());
    QTest::qWait(100);
    checkCurrentRow(table, 2);
    QCOMPARE(testButton()->text(), QStringLiteral("Stop"));

    testButton()->click();
    QCOMPARE(testButton()->text(), QStringLiteral("Test"));
    checkCovered(false);
    checkCurrentRow(table, 2);
}

// Without driving the ticks by hand: the window's own timer moves the lines
// on, and a line of duration 0 holds it although the event loop keeps running.
void PlaybackWindowTest::theTimerItselfMovesTheWindow()
{
    const LineTable table = withDurations({1, 2, 0, 5});
    test::loadTable(*m_window, table, 1);
    testButton()->click();
    QTRY_COMPARE_WITH_TIMEOUT(lineScroll()->value(), 3, 10000);
    checkCurrentRow(table, 3);
    QVERIFY(!m_window->playback().isTimerActive());
    QTest::qWait(100);
    checkCurrentRow(table, 3);
    QCOMPARE(testButton()->text(), QStringLiteral("Stop"));
}

// A sequence that replaces the one playing is played from its own line 1,
// for that line's own duration.
void PlaybackWindowTest::newSequenceWhilePlaying_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("interval");
    QTest::newRow("Load") << "cmdLoadFile" << 500;
    QTest::newRow("New") << "cmdNewFile" << 0;
}

void PlaybackWindowTest::newSequenceWhilePlaying()
{
    QFETCH(QString, command);
    QFETCH(int, interval);

    const QString path = m_dir->filePath(QStringLiteral("two.asm"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(".cseg\r\n.org 0x0000\r\n;Line 1\r\n.dw 0x0F00\r\n.dw 0xF032\r\n;Line 2\r\n"
               ".dw 0x0000\r\n.dw 0xF064\r\n");
    file.close();
    if (command == QStringLiteral("cmdLoadFile"))
        m_dialogs->fileNames.push_back(path);

    test::loadTable(*m_window, withDurations({10, 20, 30, 40}), 4);
    testButton()->click();
    QCOMPARE(m_window->playback().timerInterval(), 400);

    control<QPushButton>(*m_window, command)->click();

    QCOMPARE(lineScroll()->value(), 1);
    QCOMPARE(lineLabel(LineWindow::kCurrentRow), QStringLiteral("1"));
    QCOMPARE(testButton()->text(), QStringLiteral("Stop"));
    checkCovered(true);
    QCOMPARE(m_window->playback().timerInterval(), interval);
    QCOMPARE(m_window->playback().isTimerActive(), interval > 0);
    if (interval > 0) {
        m_window->playback().tick();
        QCOMPARE(lineScroll()->value(), 2);
        QCOMPARE(m_window->playback().timerInterval(), 1000);
    }
}

void PlaybackWindowTest::closingStopsPlayback()
{
    test::loadTable(*m_window, withDurations({10, 20}), 1);
    testButton()->click();
    QVERIFY(m_window->playback().isTimerActive());
    QVERIFY(m_window->close());
    QVERIFY(!m_window->playback().isRunning());
    QVERIFY(!m_window->playback().isTimerActive());
    QTest::qWait(150);
    QCOMPARE(lineScroll()->value(), 1);
}

QTEST_MAIN(PlaybackWindowTest)
#include "PlaybackWindowTest.moc"
