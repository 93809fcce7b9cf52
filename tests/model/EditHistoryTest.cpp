#include "model/EditHistory.h"

#include "model/Document.h"
#include "model/LineCommands.h"
#include "support/NumberedTable.h"

#include <QSignalSpy>
#include <QTest>

using namespace glowline;

namespace {

using test::numberedTable;

// Writes a cell the way the editor does: through the history.
void writeCell(Document &document, EditHistory &history, int column, Cell value)
{
    const int line = document.currentLine();
    history.recordCell(column, line, document.table().cell(column, line), value);
    document.table().setCell(column, line, value);
}

} // namespace

class EditHistoryTest : public QObject
{
    Q_OBJECT

private slots:
    void cellStepUndoRedo()
    {
        Document document;
        document.table() = numberedTable(5);
        document.setCurrentLine(3);
        const LineTable before = document.table();
        EditHistory history;

        history.beginStep(3);
        for (int c = 0; c < kLedCount; ++c)
            writeCell(document, history, c, 0xF00);
        history.endStep(3);
        const LineTable after = document.table();
        QVERIFY(after != before);
        QVERIFY(history.canUndo());

        document.setCurrentLine(5);
        history.undo(document);
        QCOMPARE(document.table(), before);
        QCOMPARE(document.currentLine(), 3);
        QVERIFY(!history.canUndo());
        QVERIFY(history.canRedo());

        document.setCurrentLine(1);
        history.redo(document);
        QCOMPARE(document.table(), after);
        QCOMPARE(document.currentLine(), 3);
    }

    void nestedEditsAreOneStep()
    {
        Document document;
        EditHistory history;
        // A drag: press opens a step, every position records, release commits.
        history.beginStep(1);
        for (int position = 15; position >= 0; --position) {
            history.beginStep(1);
            writeCell(document, history, 4, Cell((15 - position) << 8));
            history.endStep(1);
            QVERIFY(!history.canUndo());
        }
        history.endStep(1);
        QCOMPARE(document.table().cell(4, 1), Cell(0xF00));

        history.undo(document);
        QCOMPARE(document.table(), LineTable());
        QVERIFY(!history.canUndo());
    }

    void stepThatChangesNothingIsDropped()
    {
        Document document;
        EditHistory history;
        QSignalSpy spy(&history, &EditHistory::availabilityChanged);
        history.beginStep(1);
        writeCell(document, history, 2, 0);     // same value
        writeCell(document, history, 3, 0x123); // changed, then back
        writeCell(document, history, 3, 0);
        history.endStep(1);
        QVERIFY(!history.canUndo());
        QCOMPARE(spy.count(), 0);
    }

    // New or Load while a drag is held: the open step belongs to the old
    // sequence and must not come back when the drag ends.
    void clearDropsTheOpenStep()
    {
        Document document;
        document.table() = numberedTable(300);
        document.setCurrentLine(300);
        EditHistory history;
        history.beginStep(300);
        writeCell(document, history, 1, 0x0F0);
        history.clear();
        document.replace(LineTable());
        history.endStep(1);
        QVERIFY(!history.canUndo());
        history.beginStep(1);
        writeCell(document, history, 0, 0x00F);
        history.endStep(1);
        history.undo(document);
        QCOMPARE(document.table(), LineTable());
        QVERIFY(!history.canUndo());
    }

    void newStepClearsRedo()
    {
        Document document;
        EditHistory history;
        history.beginStep(1);
        writeCell(document, history, 0, 0x111);
        history.endStep(1);
        history.undo(document);
        QVERIFY(history.canRedo());
        history.beginStep(1);
        writeCell(document, history, 1, 0x222);
        history.endStep(1);
        QVERIFY(!history.canRedo());
        history.undo(document);
        QCOMPARE(document.table(), LineTable());
    }

    void lineCommandSteps_data()
    {
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("current");
        QTest::newRow("add") << int(LineCommand::Add) << 4 << 2;
        QTest::newRow("copy middle") << int(LineCommand::Copy) << 4 << 2;
        QTest::newRow("copy last") << int(LineCommand::Copy) << 4 << 4;
        QTest::newRow("delete middle") << int(LineCommand::Delete) << 4 << 2;
        QTest::newRow("delete last") << int(LineCommand::Delete) << 4 << 4;
        QTest::newRow("insert above first") << int(LineCommand::InsertAbove) << 3 << 1;
        QTest::newRow("insert below last") << int(LineCommand::InsertBelow) << 3 << 3;
    }
    void lineCommandSteps()
    {
        QFETCH(int, command);
        QFETCH(int, lines);
        QFETCH(int, current);
        Document document;
        document.table() = numberedTable(lines);
        document.setCurrentLine(current);
        const LineTable before = document.table();
        EditHistory history;

        history.beginStep(current);
        int line = current;
        const auto change = applyLineCommand(LineCommand(command), document.table(), line);
        QVERIFY(change);
        document.setCurrentLine(line);
        history.recordLineChange(*change);
        history.endStep(line);
        const LineTable after = document.table();
        const int currentAfter = line;

        history.undo(document);
        QCOMPARE(document.table(), before);
        QCOMPARE(document.currentLine(), current);
        history.redo(document);
        QCOMPARE(document.table(), after);
        QCOMPARE(document.currentLine(), currentAfter);
    }

    // A step's cost must not grow with the sequence: the same 1,000 edits cost
    // the same at 1 line and at 32767 lines.
    void memoryDoesNotGrowWithTheSequence()
    {
        auto costOf = [](int lines) {
            Document document;
            document.table() = LineTable(lines);
            document.setCurrentLine(lines);
            EditHistory history;
            for (int i = 0; i < 1000; ++i) {
                history.beginStep(lines);
                writeCell(document, history, i % kLedCount, Cell(1 + i % 4000));
                history.endStep(lines);
            }
            return history.memoryBytes();
        };
        const std::size_t small = costOf(1);
        QVERIFY(small > 0);
        QCOMPARE(costOf(kMaxLines), small);
    }
};

QTEST_GUILESS_MAIN(EditHistoryTest)
#include "EditHistoryTest.moc"
