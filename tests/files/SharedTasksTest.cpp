#include "files/SharedTasks.h"

#include <QTest>

#ifdef Q_OS_LINUX
#include <sched.h>
#endif

using namespace glowline;

class SharedTasksTest final : public QObject
{
    Q_OBJECT

private slots:
    // A helper that finds itself on the caller's processor moves off it
    // while it helps, and is allowed every processor again afterwards; a
    // thread on another processor than the one named stays as it is.
    void offProcessor_data()
    {
        QTest::addColumn<bool>("onIt");
        QTest::newRow("on the processor named") << true;
        QTest::newRow("on another one") << false;
    }

    void offProcessor()
    {
#ifdef Q_OS_LINUX
        QFETCH(bool, onIt);
        cpu_set_t before;
        QCOMPARE(sched_getaffinity(0, sizeof before, &before), 0);
        if (CPU_COUNT(&before) < 2)
            QSKIP("the test runs on one processor only");
        // The thread may move by itself between being asked where it is and
        // OffProcessor asking again; it then does nothing, and is tried anew.
        bool moved = false;
        for (int attempt = 0; attempt < 100 && !moved; ++attempt) {
            const int here = currentProcessor();
            QVERIFY(here >= 0);
            int named = here;
            if (!onIt) {
                // Some processor allowed here, other than this one.
                for (named = 0; named == here || !CPU_ISSET(named, &before); ++named) {
                }
            }
            const OffProcessor away(named);
            cpu_set_t during;
            QCOMPARE(sched_getaffinity(0, sizeof during, &during), 0);
            moved = !CPU_ISSET(named, &during);
            if (moved) {
                QVERIFY(onIt);
                QVERIFY(currentProcessor() != named);
                CPU_SET(named, &during);
            }
            QVERIFY(CPU_EQUAL(&during, &before));
            if (!onIt)
                break;
        }
        QCOMPARE(moved, onIt);
        cpu_set_t after;
        QCOMPARE(sched_getaffinity(0, sizeof after, &after), 0);
        QVERIFY(CPU_EQUAL(&after, &before));
#else
        QSKIP("processors are chosen only on Linux");
#endif
    }
};

QTEST_GUILESS_MAIN(SharedTasksTest)
#include "SharedTasksTest.moc"
