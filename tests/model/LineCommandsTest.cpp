#include "model/LineCommands.h"

#include "model/Document.h"
#include "model/SequenceEditor.h"
#include "support/LineTableText.h"
#include "support/TestTables.h"

#include <QTest>

#include <numeric>
#include <utility>

using namespace glowline;

using LineCommand = EditResult (*)(SequenceEditor &);
Q_DECLARE_METATYPE(LineCommand)

namespace {

using test::numberedTable;

// Lines first..last of a numbered table, as the expected column names them.
QList<int> numbers(int first, int last)
{
    QList<int> lines(last - first + 1);
    std::iota(lines.begin(), lines.end(), first);
    return lines;
}

} // namespace

class LineCommandsTest final : public QObject
{
    Q_OBJECT

private slots:
    void command_data()
    {
        QTest::addColumn<LineCommand>("command");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("current");
        QTest::addColumn<QList<int>>("expected"); // old line at each new position, 0 = empty
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<bool>("refused"); // for passing the line limit

        QTest::newRow("Add on one line") << &addLine << 1 << 1 << QList<int>{1, 0} << 2 << false;
        QTest::newRow("Add on line 1 of 3")
            << &addLine << 3 << 1 << QList<int>{1, 2, 3, 0} << 4 << false;
        QTest::newRow("Add from the middle")
            << &addLine << 3 << 2 << QList<int>{1, 2, 3, 0} << 4 << false;
        QTest::newRow("Copy on the last line")
            << &copyLine << 3 << 3 << QList<int>{1, 2, 3, 3} << 4 << false;
        QTest::newRow("Copy on line 2 of 4")
            << &copyLine << 4 << 2 << QList<int>{1, 2, 2, 3, 4} << 3 << false;
        QTest::newRow("Copy on one line") << &copyLine << 1 << 1 << QList<int>{1, 1} << 2 << false;
        QTest::newRow("Del on the last line of 3")
            << &deleteLine << 3 << 3 << QList<int>{1, 2} << 2 << false;
        QTest::newRow("Del on line 2 of 3")
            << &deleteLine << 3 << 2 << QList<int>{1, 3} << 2 << false;
        QTest::newRow("Del on line 1 of 3")
            << &deleteLine << 3 << 1 << QList<int>{2, 3} << 1 << false;
        QTest::newRow("Del on line 1 of 2") << &deleteLine << 2 << 1 << QList<int>{2} << 1 << false;
        QTest::newRow("Del on line 2 of 2") << &deleteLine << 2 << 2 << QList<int>{1} << 1 << false;
        QTest::newRow("Del on one line does nothing")
            << &deleteLine << 1 << 1 << QList<int>{1} << 1 << false;
        QTest::newRow("Ins Above on one line")
            << &insertLineAbove << 1 << 1 << QList<int>{0, 1} << 1 << false;
        QTest::newRow("Ins Above on line 1")
            << &insertLineAbove << 2 << 1 << QList<int>{0, 1, 2} << 1 << false;
        QTest::newRow("Ins Above on the last line")
            << &insertLineAbove << 3 << 3 << QList<int>{1, 2, 0, 3} << 3 << false;
        QTest::newRow("Ins Below on one line")
            << &insertLineBelow << 1 << 1 << QList<int>{1, 0} << 2 << false;
        QTest::newRow("Ins Below on the last line")
            << &insertLineBelow << 3 << 3 << QList<int>{1, 2, 3, 0} << 4 << false;
        QTest::newRow("Ins Below on line 1")
            << &insertLineBelow << 3 << 1 << QList<int>{1, 0, 2, 3} << 2 << false;

        // Growing to the largest sequence, and past it.
        const int full = kMaxLines;
        QTest::newRow("Add at 32766 lines")
            << &addLine << full - 1 << 1 << numbers(1, full - 1) + QList<int>{0} << full << false;
        QTest::newRow("Copy on line 32766 of 32766")
            << &copyLine << full - 1 << full - 1 << numbers(1, full - 1) + QList<int>{full - 1}
            << full << false;
        QTest::newRow("Ins Above on line 1 of 32766")
            << &insertLineAbove << full - 1 << 1 << QList<int>{0} + numbers(1, full - 1) << 1
            << false;
        QTest::newRow("Ins Below on line 32766 of 32766")
            << &insertLineBelow << full - 1 << full - 1 << numbers(1, full - 1) + QList<int>{0}
            << full << false;
        const std::pair<const char *, LineCommand> growing[] = {{"Add", &addLine},
                                                                {"Copy", &copyLine},
                                                                {"Ins Above", &insertLineAbove},
                                                                {"Ins Below", &insertLineBelow}};
        for (const auto &[name, command] : growing) {
            for (const int current : {1, 20000, full}) {
                QTest::addRow("%s on line %d of 32767 is refused", name, current)
                    << command << full << current << numbers(1, full) << current << true;
            }
        }
        QTest::newRow("Del on line 1 of 32767")
            << &deleteLine << full << 1 << numbers(2, full) << 1 << false;
        QTest::newRow("Del on line 32767 of 32767")
            << &deleteLine << full << full << numbers(1, full - 1) << full - 1 << false;
    }

    // Each command is one step of the editor: the table and the current
    // line, alone selected, as expected; undo gives back what was there, and
    // redo does the command again. A refused command leaves no step.
    void command()
    {
        QFETCH(LineCommand, command);
        QFETCH(int, lines);
        QFETCH(int, current);
        QFETCH(QList<int>, expected);
        QFETCH(int, currentAfter);
        QFETCH(bool, refused);

        Document document;
        document.replace(numberedTable(lines));
        SequenceEditor editor(document);
        editor.setCurrentLine(current);
        const LineTable before = document.table();
        const LineTable after = test::numberedLines(expected);

        const EditResult result = command(editor);
        QCOMPARE(document.table(), after);
        QCOMPARE(document.currentLine(), currentAfter);
        QCOMPARE(document.anchorLine(), currentAfter);
        QCOMPARE(result.changed, after != before);
        QCOMPARE(result.isRefused(), refused);
        if (refused) {
            QCOMPARE(result.linesNow, lines);
            QCOMPARE(result.linesToAdd, 1);
        }
        if (!result.changed) {
            QVERIFY(!editor.canUndo());
            return;
        }
        QCOMPARE(editor.stepCount(), std::size_t(1));

        editor.setCurrentLine(document.lineCount());
        QVERIFY(editor.undo());
        QCOMPARE(document.table(), before);
        QCOMPARE(document.currentLine(), current);
        QCOMPARE(document.anchorLine(), current);
        QVERIFY(editor.redo());
        QCOMPARE(document.table(), after);
        QCOMPARE(document.currentLine(), currentAfter);
        QCOMPARE(document.anchorLine(), currentAfter);
    }
};

QTEST_GUILESS_MAIN(LineCommandsTest)
#include "LineCommandsTest.moc"
