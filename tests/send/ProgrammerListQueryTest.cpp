#include "send/ProgrammerListQuery.h"

#include "support/Files.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace glowline;
using namespace std::chrono_literals;

class ProgrammerListQueryTest : public QObject
{
    Q_OBJECT

private slots:
    // What the programmer does with "-c ?" decides the answer; one that takes
    // longer than the time limit (here 0.3 s) is ended.
    void answers_data()
    {
        QTest::addColumn<QByteArray>("script"); // empty: no programmer there
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QString>("failure");

        QTest::newRow("a listing, exit code 1 as avrdude has")
            << QByteArray("[ \"$1 $2\" = '-c ?' ] || exit 3\n"
                          "printf '\\nValid programmers are:\\n' >&2\n"
                          "printf '  arduino   = Arduino\\n  usbasp    = USBasp\\n' >&2\n"
                          "exit 1\n")
            << QStringList{QStringLiteral("arduino"), QStringLiteral("usbasp")} << QString();
        QTest::newRow("no listing")
            << QByteArray("echo 'avrdude: unknown option'\nexit 1\n") << QStringList()
            << "avrdude listed no programmers: it exited "
               "with code 1.";
        QTest::newRow("too slow") << QByteArray("echo '  arduino   = Arduino'\nexec sleep 60\n")
                                  << QStringList() << "avrdude did not answer within 0.3 s.";
        QTest::newRow("cannot start") << QByteArray() << QStringList()
                                      << "avrdude listed no programmers: it could not start.";
    }

    void answers()
    {
        QFETCH(QByteArray, script);
        QFETCH(QStringList, ids);
        QFETCH(QString, failure);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString programmer = dir.filePath(QStringLiteral("avrdude"));
        if (!script.isEmpty())
            QVERIFY(test::writeScript(programmer, script));

        ProgrammerListQuery query(300ms);
        QSignalSpy answered(&query, &ProgrammerListQuery::answered);
        query.start(programmer);
        QTRY_COMPARE_WITH_TIMEOUT(answered.size(), 1, 20000);
        QCOMPARE(answered.first().at(0).toStringList(), ids);
        QCOMPARE(answered.first().at(1).toString(), failure);
    }
};

QTEST_GUILESS_MAIN(ProgrammerListQueryTest)
#include "ProgrammerListQueryTest.moc"
