#include "support/ScriptedDialogs.h"

#include <QTest>

using namespace glowline;

// The window tests fail on replies they queued and never used; this checks
// that every kind of reply is counted, and that a used one is not.
class ScriptedDialogsTest final : public QObject
{
    Q_OBJECT

private slots:
    void unused_data()
    {
        QTest::addColumn<int>("answers");
        QTest::addColumn<int>("fileNames");
        QTest::addColumn<int>("colours");
        QTest::addColumn<int>("texts");
        QTest::addColumn<QString>("expected");

        QTest::newRow("nothing queued") << 0 << 0 << 0 << 0 << QString();
        QTest::newRow("one answer") << 1 << 0 << 0 << 0 << QStringLiteral("1 answer");
        QTest::newRow("file names") << 0 << 2 << 0 << 0 << QStringLiteral("2 file names");
        QTest::newRow("colour") << 0 << 0 << 1 << 0 << QStringLiteral("1 colour");
        QTest::newRow("text") << 0 << 0 << 0 << 1 << QStringLiteral("1 text");
        QTest::newRow("every kind")
            << 2 << 1 << 2 << 3 << QStringLiteral("2 answers, 1 file name, 2 colours, 3 texts");
    }

    void unused()
    {
        QFETCH(int, answers);
        QFETCH(int, fileNames);
        QFETCH(int, colours);
        QFETCH(int, texts);
        QFETCH(QString, expected);

        test::ScriptedDialogs dialogs;
        dialogs.answers.assign(answers, Dialogs::Answer::Yes);
        dialogs.fileNames.assign(fileNames, QStringLiteral("a.asm"));
        dialogs.colours.assign(colours, Rgb24(0x102030));
        dialogs.texts.assign(texts, QStringLiteral("4"));
        QCOMPARE(dialogs.unused(), expected);

        dialogs.clearQueues();
        QCOMPARE(dialogs.unused(), QString());
    }

    void usedRepliesAreNotLeftOver()
    {
        test::ScriptedDialogs dialogs;
        dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
        dialogs.fileNames = {QStringLiteral("a.asm")};
        dialogs.colours = {Rgb24(0xffffff)};
        dialogs.texts = {QStringLiteral("3")};

        QCOMPARE(dialogs.message(Dialogs::Icon::Question, Dialogs::Buttons::YesNo,
                                 QStringLiteral("Save?")),
                 Dialogs::Answer::No);
        QCOMPARE(dialogs.openFileName(QString()), std::optional<QString>(QStringLiteral("a.asm")));
        QCOMPARE(dialogs.colour(0), std::optional<Rgb24>(0xffffff));
        QCOMPARE(dialogs.text(QStringLiteral("How many?"), QString()),
                 std::optional<QString>(QStringLiteral("3")));
        QCOMPARE(dialogs.unused(), QStringLiteral("1 answer"));
        QVERIFY(!dialogs.unexpected);
    }
};

QTEST_MAIN(ScriptedDialogsTest)
#include "ScriptedDialogsTest.moc"
