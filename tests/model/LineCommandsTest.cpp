#include "model/LineCommands.h"

#include "support/LineTableText.h"
#include "support/TestTables.h"

#include <QRandomGenerator>
#include <QTest>

#include <vector>

using namespace glowline;

Q_DECLARE_METATYPE(glowline::LineCommand)

namespace {

using test::mark;
using test::numberedTable;

const char *nameOf(LineCommand command)
{
    switch (command) {
    case LineCommand::Add:
        return "Add";
    case LineCommand::Copy:
        return "Copy";
    case LineCommand::Delete:
        return "Del";
    case LineCommand::InsertAbove:
        return "Ins Above";
    case LineCommand::InsertBelow:
        return "Ins Below";
    }
    return "?";
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

        QTest::newRow("Add on one line") << LineCommand::Add << 1 << 1 << QList<int>{1, 0} << 2;
        QTest::newRow("Add from the middle")
            << LineCommand::Add << 3 << 2 << QList<int>{1, 2, 3, 0} << 4;
        QTest::newRow("Copy on the last line")
            << LineCommand::Copy << 3 << 3 << QList<int>{1, 2, 3, 3} << 4;
        QTest::newRow("Copy on line 2 of 4")
            << LineCommand::Copy << 4 << 2 << QList<int>{1, 2, 2, 3, 4} << 3;
        QTest::newRow("Copy on one line") << LineCommand::Copy << 1 << 1 << QList<int>{1, 1} << 2;
        QTest::newRow("Del on the last line of 3")
            << LineCommand::Delete << 3 << 3 << QList<int>{1, 2} << 2;
        QTest::newRow("Del on line 2 of 3")
            << LineCommand::Delete << 3 << 2 << QList<int>{1, 3} << 2;
        QTest::newRow("Del on line 1 of 3")
            << LineCommand::Delete << 3 << 1 << QList<int>{2, 3} << 1;
        QTest::newRow("Del on line 1 of 2") << LineCommand::Delete << 2 << 1 << QList<int>{2} << 1;
        QTest::newRow("Del on line 2 of 2") << LineCommand::Delete << 2 << 2 << QList<int>{1} << 1;
        QTest::newRow("Ins Above on line 1")
            << LineCommand::InsertAbove << 2 << 1 << QList<int>{0, 1, 2} << 1;
        QTest::newRow("Ins Above on the last line")
            << LineCommand::InsertAbove << 3 << 3 << QList<int>{1, 2, 0, 3} << 3;
        QTest::newRow("Ins Below on the last line")
            << LineCommand::InsertBelow << 3 << 3 << QList<int>{1, 2, 3, 0} << 4;
        QTest::newRow("Ins Below on line 1")
            << LineCommand::InsertBelow << 3 << 1 << QList<int>{1, 0, 2, 3} << 2;
    }
    void command()
    {
        QFETCH(LineCommand, command);
        QFETCH(int, lines);
        QFETCH(int, current);
        QFETCH(QList<int>, expected);
        QFETCH(int, currentAfter);

        LineTable table = numberedTable(lines);
        int currentLine = current;
        const auto change = applyLineCommand(command, table, currentLine);
        QVERIFY(change.has_value());
        QCOMPARE(table, test::numberedLines(expected));
        QCOMPARE(currentLine, currentAfter);
        QCOMPARE(change->currentBefore, current);
        QCOMPARE(change->currentAfter, currentAfter);
    }

    void addOnTheStartUpSequence()
    {
        LineTable table;
        int current = 1;
        QVERIFY(applyLineCommand(LineCommand::Add, table, current));
        QCOMPARE(table, LineTable(2));
        QCOMPARE(current, 2);
    }

    void copyKeepsTheDuration()
    {
        LineTable table(2);
        table.setCell(kDurationColumn, 2, 4095);
        table.setCell(3, 2, 0xABC);
        int current = 2;
        QVERIFY(applyLineCommand(LineCommand::Copy, table, current));
        QCOMPARE(table.lineCount(), 3);
        QCOMPARE(table.duration(3), Cell(4095));
        QCOMPARE(table.cell(3, 3), Cell(0xABC));
        QCOMPARE(current, 3);
    }

    void growingOnLine32766Of32766_data()
    {
        QTest::addColumn<LineCommand>("command");
        QTest::newRow("Copy") << LineCommand::Copy;
        QTest::newRow("Ins Below") << LineCommand::InsertBelow;
    }
    void growingOnLine32766Of32766()
    {
        QFETCH(LineCommand, command);
        LineTable table = numberedTable(32766);
        const LineTable before = table;
        int current = 32766;
        QVERIFY(applyLineCommand(command, table, current));
        QCOMPARE(table.lineCount(), 32767);
        QCOMPARE(current, 32767);
        for (int c = 0; c < kColumnCount; ++c) {
            const Cell expected = command == LineCommand::Copy ? mark(c, 32766) : Cell(0);
            QCOMPARE(table.cell(c, 32767), expected);
        }
        table.removeLine(32767);
        QCOMPARE(table, before);
    }

    void refusedAt32767Lines_data()
    {
        QTest::addColumn<LineCommand>("command");
        QTest::addColumn<int>("current");
        for (LineCommand command : {LineCommand::Add, LineCommand::Copy, LineCommand::InsertAbove,
                                    LineCommand::InsertBelow}) {
            for (int current : {1, 20000, 32767})
                QTest::addRow("%s on line %d", nameOf(command), current) << command << current;
        }
    }
    void refusedAt32767Lines()
    {
        QFETCH(LineCommand, command);
        QFETCH(int, current);
        LineTable table = numberedTable(kMaxLines);
        const LineTable before = table;
        int currentLine = current;
        QVERIFY(!applyLineCommand(command, table, currentLine).has_value());
        QCOMPARE(currentLine, current);
        QVERIFY(table == before);
    }

    void deleteOnOneLineIsRefused()
    {
        LineTable table = numberedTable(1);
        const LineTable before = table;
        int current = 1;
        QVERIFY(!applyLineCommand(LineCommand::Delete, table, current).has_value());
        QCOMPARE(current, 1);
        QCOMPARE(table, before);
    }

    void deleteStillWorksAt32767Lines()
    {
        LineTable table = numberedTable(kMaxLines);
        int current = kMaxLines;
        QVERIFY(applyLineCommand(LineCommand::Delete, table, current));
        QCOMPARE(table.lineCount(), kMaxLines - 1);
        QCOMPARE(current, kMaxLines - 1);
    }

    void undoAndRedoRestoreExactly_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("lines");
        QTest::newRow("one line") << 1u << 1;
        QTest::newRow("few lines") << 2u << 3;
        QTest::newRow("more lines") << 3u << 40;
    }
    void undoAndRedoRestoreExactly()
    {
        QFETCH(quint32, seed);
        QFETCH(int, lines);
        QRandomGenerator random(seed);

        LineTable table(lines);
        for (int n = 1; n <= lines; ++n) {
            for (int c = 0; c < kColumnCount; ++c)
                table.setCell(c, n, Cell(random.bounded(4096)));
        }
        int current = int(random.bounded(lines)) + 1;

        struct Step
        {
            LineChange change;
            LineTable before;
            int currentBefore;
            LineTable after;
            int currentAfter;
        };
        std::vector<Step> steps;
        const LineCommand commands[] = {LineCommand::Add, LineCommand::Copy, LineCommand::Delete,
                                        LineCommand::InsertAbove, LineCommand::InsertBelow};
        for (int i = 0; i < 300; ++i) {
            const LineCommand command = commands[random.bounded(5)];
            const LineTable before = table;
            const int currentBefore = current;
            const auto change = applyLineCommand(command, table, current);
            if (!change) {
                QCOMPARE(command, LineCommand::Delete);
                QCOMPARE(table.lineCount(), 1);
                QCOMPARE(table, before);
                QCOMPARE(current, currentBefore);
                continue;
            }
            QVERIFY(current >= 1 && current <= table.lineCount());
            steps.push_back({*change, before, currentBefore, table, current});
        }
        QVERIFY(steps.size() > 200);

        // Undo everything, then redo everything.
        for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
            QCOMPARE(table, step->after);
            undoLineChange(step->change, table, current);
            QCOMPARE(table, step->before);
            QCOMPARE(current, step->currentBefore);
        }
        for (const Step &step : steps) {
            redoLineChange(step.change, table, current);
            QCOMPARE(table, step.after);
            QCOMPARE(current, step.currentAfter);
        }
    }

    void undoOfDeleteRestoresTheDeletedCells()
    {
        LineTable table = numberedTable(3);
        int current = 2;
        const auto change = applyLineCommand(LineCommand::Delete, table, current);
        QVERIFY(change);
        QCOMPARE(change->kind, LineChange::Kind::Removed);
        QCOMPARE(change->line, 2);
        for (int c = 0; c < kColumnCount; ++c)
            QCOMPARE(change->cells[std::size_t(c)], mark(c, 2));
        undoLineChange(*change, table, current);
        QCOMPARE(table, numberedTable(3));
        QCOMPARE(current, 2);
    }
};

QTEST_GUILESS_MAIN(LineCommandsTest)
#include "LineCommandsTest.moc"
