#include "send/ProgressMarks.h"

#include <QTest>

using namespace glowline;

class ProgressMarksTest : public QObject
{
    Q_OBJECT

private slots:
    // The output arrives in the pieces listed; after the last one the bar
    // stands at percent of phase.
    void followsTheLatestBar_data()
    {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("phase");

        const QString full = QStringLiteral("#").repeated(50);
        QTest::newRow("nothing yet") << QStringList{QStringLiteral("avrdude: AVR device "
                                                                   "initialized\n")}
                                     << 0 << QString();
        QTest::newRow("a bar begun")
            << QStringList{QStringLiteral("\nWriting | ")} << 0 << QStringLiteral("Writing");
        QTest::newRow("marks as they come")
            << QStringList{QStringLiteral("Writing | ####"), QStringLiteral("######")} << 20
            << QStringLiteral("Writing");
        QTest::newRow("split inside the phase word")
            << QStringList{QStringLiteral("Wri"), QStringLiteral("ting | #")} << 2
            << QStringLiteral("Writing");
        QTest::newRow("a finished bar with its time")
            << QStringList{QStringLiteral("Writing | ") + full + QStringLiteral(" | 100% 0.52s\n")}
            << 100 << QStringLiteral("Writing");
        QTest::newRow("the next bar starts from nothing")
            << QStringList{QStringLiteral("Writing | ") + full +
                               QStringLiteral(" | 100% 0.52s\n\n"),
                           QStringLiteral("Reading | #####")}
            << 10 << QStringLiteral("Reading");
        QTest::newRow("CR line ends") << QStringList{QStringLiteral("Reading | ##\r\nWriting | #")}
                                      << 2 << QStringLiteral("Writing");
        QTest::newRow("marks after the closing bar do not count")
            << QStringList{QStringLiteral("Writing | ### | 6% # #")} << 6
            << QStringLiteral("Writing");
        QTest::newRow("marks outside a bar do not count")
            << QStringList{QStringLiteral("# not a bar\n## neither\n")} << 0 << QString();
        QTest::newRow("a sentence before a bar is no phase")
            << QStringList{QStringLiteral("avrdude: reading | ####\n")} << 0 << QString();
        QTest::newRow("never past a full bar")
            << QStringList{QStringLiteral("Writing | ") + full + full} << 100
            << QStringLiteral("Writing");
    }

    void followsTheLatestBar()
    {
        QFETCH(QStringList, pieces);
        QFETCH(int, percent);
        QFETCH(QString, phase);
        ProgressMarks marks;
        for (const QString &piece : pieces)
            marks.feed(piece);
        QCOMPARE(marks.percent(), percent);
        QCOMPARE(marks.phase(), phase);
    }

    void feedSaysWhetherTheBarMoved()
    {
        ProgressMarks marks;
        QVERIFY(!marks.feed(u"avrdude: reading input file\n"));
        QVERIFY(marks.feed(u"Writing | "));
        QVERIFY(!marks.feed(u"  "));
        QVERIFY(marks.feed(u"#"));
        QVERIFY(!marks.feed(u" | 2% 0.01s"));
    }
};

QTEST_GUILESS_MAIN(ProgressMarksTest)
#include "ProgressMarksTest.moc"
