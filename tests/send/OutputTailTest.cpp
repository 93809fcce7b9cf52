#include "send/OutputTail.h"

#include <QTest>

using namespace glowline;

class OutputTailTest : public QObject
{
    Q_OBJECT

private slots:
    // With room for 16 characters, and 14 left after a cut, the pieces
    // appended leave text; cuts counts the appends that moved its start.
    void keepsTheEnd_data()
    {
        QTest::addColumn<QStringList>("pieces");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("cuts");

        const QString letters = QStringLiteral("abcdefghijklmn"); // 14
        QTest::newRow("less than the limit")
            << QStringList{QStringLiteral("abc"), QStringLiteral("def\n")} << "abcdef\n"
            << 0;
        QTest::newRow("exactly the limit")
            << QStringList{QStringLiteral("0123456789abcdef")} << "0123456789abcdef" << 0;
        QTest::newRow("one more") << QStringList{QStringLiteral("0123456789abcdefg")}
                                  << "… 3 earlier bytes not shown\n3456789abcdefg" << 1;
        QTest::newRow("after a cut, pieces are added at the end")
            << QStringList{QStringLiteral("0123456789abcdefg"), QStringLiteral("h"),
                           QStringLiteral("i")}
            << "… 3 earlier bytes not shown\n3456789abcdefghi" << 1;
        QTest::newRow("one line of many limits, at once")
            << QStringList{QString(35, QLatin1Char('x')) + letters}
            << QStringLiteral("… 35 earlier bytes not shown\n") + letters << 1;
        QStringList characters;
        for (const QChar c : QString(35, QLatin1Char('x')) + letters)
            characters.append(QString(c));
        QTest::newRow("one line of many limits, a character at a time")
            << characters << QStringLiteral("… 33 earlier bytes not shown\nxx") + letters << 11;
        QTest::newRow("bytes counted in UTF-8")
            << QStringList{QStringLiteral("ééé"), letters}
            << QStringLiteral("… 6 earlier bytes not shown\n") + letters << 1;
        QTest::newRow("a character outside the BMP goes whole")
            << QStringList{QStringLiteral("xyz\U0001F600"), letters.left(13)}
            << QStringLiteral("… 7 earlier bytes not shown\n") + letters.left(13) << 1;
    }

    void keepsTheEnd()
    {
        QFETCH(QStringList, pieces);
        QFETCH(QString, text);
        QFETCH(int, cuts);
        OutputTail tail(16);
        int moved = 0;
        for (const QString &piece : pieces)
            moved += tail.append(piece) ? 1 : 0;
        QCOMPARE(tail.text(), text);
        QCOMPARE(moved, cuts);
        QVERIFY(!tail.isEmpty());
    }

    void emptyUntilSomethingIsAppended()
    {
        OutputTail tail(16);
        QVERIFY(tail.isEmpty());
        tail.append(u"");
        QVERIFY(tail.isEmpty());
        tail.append(u"\n");
        QVERIFY(!tail.isEmpty());
    }
};

QTEST_GUILESS_MAIN(OutputTailTest)
#include "OutputTailTest.moc"
