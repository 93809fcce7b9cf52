#include "model/SequenceEditor.h"

#include "model/Document.h"
#include "model/RangeCommands.h"
#include "support/LineTableText.h"
#include "support/RandomEdits.h"
#include "support/TestTables.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <vector>

using namespace glowline;

namespace {

using test::numberedTable;

// The lines first..first+count-1 of a table, as whole lines.
std::vector<Cell> linesOf(const LineTable &table, int first, int count)
{
    const auto begin = table.cells().begin() + std::ptrdiff_t(first - 1) * kColumnCount;
    return {begin, begin + std::ptrdiff_t(count) * kColumnCount};
}

} // namespace

class SequenceEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void cellStepUndoRedo()
    {
        Document document;
        document.replace(numberedTable(5));
        SequenceEditor editor(document);
        editor.setCurrentLine(3);
        const LineTable before = document.table();
        {
            SequenceEditor::Step step(editor);
            for (int c = 0; c < kLedCount; ++c)
                editor.setCell(c, 3, 0xF00);
        }
        const LineTable after = document.table();
        QVERIFY(after != before);
        QCOMPARE(editor.stepCount(), std::size_t(1));

        editor.setCurrentLine(5);
        QVERIFY(editor.undo());
        QCOMPARE(document.table(), before);
        QCOMPARE(document.currentLine(), 3);
        QVERIFY(!editor.canUndo());

        editor.setCurrentLine(1);
        QVERIFY(editor.redo());
        QCOMPARE(document.table(), after);
        QCOMPARE(document.currentLine(), 3);
    }

    void nestedEditsAreOneStep()
    {
        Document document;
        SequenceEditor editor(document);
        // A drag: press opens a step, every position writes, release commits.
        editor.beginStep();
        for (int position = 15; position >= 0; --position) {
            editor.setCell(4, 1, Cell((15 - position) << 8));
            QVERIFY(!editor.canUndo());
        }
        editor.endStep();
        QCOMPARE(document.table().cell(4, 1), Cell(0xF00));

        editor.undo();
        QCOMPARE(document.table(), LineTable());
        QVERIFY(!editor.canUndo());
    }

    // A drag over many selected lines writes each cell again and again; the
    // step keeps every cell's first old value and last new one, whether it
    // holds few cells or enough to be indexed.
    void repeatedWritesKeepFirstAndLast_data()
    {
        QTest::addColumn<int>("lines");
        for (const int lines : {1, 15, 16, 17, 40})
            QTest::addRow("%d lines", lines) << lines;
    }
    void repeatedWritesKeepFirstAndLast()
    {
        QFETCH(int, lines);
        Document document;
        document.replace(numberedTable(lines));
        const LineTable start = document.table();
        SequenceEditor editor(document);
        {
            SequenceEditor::Step step(editor);
            for (int position = 0; position < 4; ++position) {
                for (int line = 1; line <= lines; ++line)
                    editor.setCell(3, line, Cell(position * 256 + line));
            }
        }
        const LineTable after = document.table();
        QCOMPARE(editor.stepCount(), std::size_t(1));
        QVERIFY(editor.undo());
        QCOMPARE(document.table(), start);
        QVERIFY(editor.redo());
        QCOMPARE(document.table(), after);
        QCOMPARE(after.cell(3, lines), Cell(3 * 256 + lines));
    }

    void stepThatChangesNothingIsDropped()
    {
        Document document;
        SequenceEditor editor(document);
        QSignalSpy spy(&editor, &SequenceEditor::historyChanged);
        {
            SequenceEditor::Step step(editor);
            editor.setCell(2, 1, 0);     // same value
            editor.setCell(3, 1, 0x123); // changed, then back
            editor.setCell(3, 1, 0);
        }
        QVERIFY(!editor.canUndo());
        QCOMPARE(spy.count(), 0);
    }

    void writesWhileRefreshingAreNotRecorded()
    {
        Document document;
        SequenceEditor editor(document);
        {
            RefreshingScope refreshing(document.state());
            editor.setCell(0, 1, 0x0F0);
        }
        QCOMPARE(document.table().cell(0, 1), Cell(0x0F0));
        QVERIFY(!editor.canUndo());
    }

    // New or Load while a drag is held: the open step belongs to the old
    // sequence and must not come back when the drag ends.
    void replacingTheDocumentDropsTheOpenStep()
    {
        Document document;
        document.replace(numberedTable(300));
        SequenceEditor editor(document);
        editor.setCurrentLine(300);
        editor.beginStep();
        editor.setCell(1, 300, 0x0F0);
        document.replace(LineTable());
        editor.endStep();
        QVERIFY(!editor.canUndo());
        editor.setCell(0, 1, 0x00F);
        editor.undo();
        QCOMPARE(document.table(), LineTable());
        QVERIFY(!editor.canUndo());
    }

    void newStepClearsRedo()
    {
        Document document;
        SequenceEditor editor(document);
        editor.setCell(0, 1, 0x111);
        editor.undo();
        QVERIFY(editor.canRedo());
        editor.setCell(1, 1, 0x222);
        QVERIFY(!editor.canRedo());
        editor.undo();
        QCOMPARE(document.table(), LineTable());
    }

    // Range edits on 10 lines, over a run at the start, in the middle, at the
    // end and over all of it. `expected` names the lines of the numbered
    // table the result holds, 0 for a line of the inserted block.
    void rangeEdits_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::addColumn<std::vector<int>>("expected");
        using V = std::vector<int>;
        QTest::newRow("move start down") << "move+1" << 1 << 3 << V{4, 1, 2, 3, 5, 6, 7, 8, 9, 10};
        QTest::newRow("move middle up") << "move-1" << 4 << 3 << V{1, 2, 4, 5, 6, 3, 7, 8, 9, 10};
        QTest::newRow("move end up") << "move-1" << 8 << 3 << V{1, 2, 3, 4, 5, 6, 8, 9, 10, 7};
        QTest::newRow("remove start") << "remove" << 1 << 3 << V{4, 5, 6, 7, 8, 9, 10};
        QTest::newRow("remove middle") << "remove" << 4 << 3 << V{1, 2, 3, 7, 8, 9, 10};
        QTest::newRow("remove end") << "remove" << 8 << 3 << V{1, 2, 3, 4, 5, 6, 7};
        QTest::newRow("insert at start")
            << "insert" << 1 << 2 << V{0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        QTest::newRow("insert after end")
            << "insert" << 11 << 2 << V{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0, 0};
        QTest::newRow("replace middle, longer")
            << "replace" << 5 << 1 << V{1, 2, 3, 4, 0, 0, 6, 7, 8, 9, 10};
        QTest::newRow("replace all, shorter") << "replace" << 1 << 10 << V{0, 0};
    }
    void rangeEdits()
    {
        QFETCH(QString, edit);
        QFETCH(int, first);
        QFETCH(int, count);
        QFETCH(std::vector<int>, expected);
        Document document;
        const LineTable start = numberedTable(10);
        document.replace(start);
        SequenceEditor editor(document);
        editor.setSelection(first, first + count - 1);
        const std::vector<Cell> block(2 * kColumnCount, Cell(0xABC));

        bool done = false;
        if (edit == QLatin1String("move+1"))
            done = editor.moveLines(first, count, 1);
        else if (edit == QLatin1String("move-1"))
            done = editor.moveLines(first, count, -1);
        else if (edit == QLatin1String("remove"))
            done = editor.removeLines(first, count);
        else if (edit == QLatin1String("insert"))
            done = editor.insertLines(first, block);
        else
            done = editor.replaceLines(first, count, block);
        QVERIFY(done);
        QCOMPARE(editor.stepCount(), std::size_t(1));

        const LineTable &table = document.table();
        QCOMPARE(table.lineCount(), int(expected.size()));
        for (int line = 1; line <= table.lineCount(); ++line) {
            const int from = expected[std::size_t(line - 1)];
            const auto got = linesOf(table, line, 1);
            const auto want =
                from == 0 ? std::vector<Cell>(kColumnCount, Cell(0xABC)) : linesOf(start, from, 1);
            QVERIFY2(got == want, qPrintable(QStringLiteral("line %1").arg(line)));
        }
        const LineTable after = table;
        editor.setSelection(1, 1);
        editor.undo();
        QCOMPARE(document.table(), start);
        QCOMPARE(document.anchorLine(), first);
        QCOMPARE(document.currentLine(), first + count - 1);
        editor.redo();
        QCOMPARE(document.table(), after);
    }

    void rangeEditsAreRefusedAtTheLimits_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("remove");
        QTest::addColumn<int>("insert");
        QTest::newRow("past 32767") << kMaxLines - 1 << 1 << 0 << 2;
        QTest::newRow("no line left") << 3 << 1 << 3 << 0;
        QTest::newRow("run past the end") << 3 << 3 << 2 << 1;
        QTest::newRow("start past the end") << 3 << 5 << 0 << 1;
    }
    void rangeEditsAreRefusedAtTheLimits()
    {
        QFETCH(int, lines);
        QFETCH(int, first);
        QFETCH(int, remove);
        QFETCH(int, insert);
        Document document;
        document.replace(LineTable(lines));
        SequenceEditor editor(document);
        QSignalSpy moved(&editor, &SequenceEditor::linesMoved);
        const std::vector<Cell> block(std::size_t(insert) * kColumnCount, Cell(1));
        QVERIFY(!editor.replaceLines(first, remove, block));
        QCOMPARE(document.lineCount(), lines);
        QVERIFY(!editor.canUndo());
        QCOMPARE(moved.count(), 0);
    }

    void changeCellsIsOneStepAndSaysWhichLines()
    {
        Document document;
        document.replace(numberedTable(300));
        SequenceEditor editor(document);
        QSignalSpy changed(&editor, &SequenceEditor::linesChanged);
        // Taking out the red: LED 3 of lines 256 on has none, so only lines
        // 240..255 change.
        editor.changeCells(3, 240, 258, [](Cell c) { return Cell(c & 0x0FF); });
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().at(0).toInt(), 240);
        QCOMPARE(changed.first().at(1).toInt(), 255);
        QCOMPARE(editor.stepCount(), std::size_t(1));
        editor.undo();
        QCOMPARE(document.table(), numberedTable(300));
    }

    // A cell written after a range edit in the same step is undone with it,
    // whichever line it lies on.
    void cellAfterRangeEditInOneStep()
    {
        Document document;
        document.replace(numberedTable(6));
        SequenceEditor editor(document);
        const std::vector<Cell> block(kColumnCount, Cell(7));
        {
            SequenceEditor::Step step(editor);
            editor.insertLines(2, block);
            editor.setCell(0, 2, 0x111); // inside the inserted line
            editor.setCell(5, 6, 0x222); // a line the insertion moved
        }
        QCOMPARE(document.table().cell(0, 2), Cell(0x111));
        QCOMPARE(document.table().cell(5, 6), Cell(0x222));
        const LineTable after = document.table();
        editor.undo();
        QCOMPARE(document.table(), numberedTable(6));
        editor.redo();
        QCOMPARE(document.table(), after);
    }

    void stepMemoryIsInProportionToWhatItChanged()
    {
        const auto costOf = [](int lines, int changedLines) {
            Document document;
            document.replace(LineTable(lines));
            SequenceEditor editor(document);
            editor.changeCells(kDurationColumn, 1, changedLines, [](Cell) { return Cell(5); });
            std::vector<Cell> block(std::size_t(changedLines) * kColumnCount, Cell(3));
            editor.replaceLines(1, changedLines, block);
            return editor.memoryBytes();
        };
        const std::size_t small = costOf(1000, 1000);
        QVERIFY(small > 0);
        QCOMPARE(costOf(kMaxLines, 1000), small);
        QVERIFY(costOf(kMaxLines, 10) < small / 50);
    }

    void oldestStepsGoBeyondTheLimit()
    {
        Document document;
        SequenceEditor editor(document);
        for (std::size_t i = 0; i <= SequenceEditor::kMaxSteps; ++i)
            editor.setCell(0, 1, Cell(1 + i % 2));
        QCOMPARE(editor.stepCount(), SequenceEditor::kMaxSteps);
    }

    // Thousands of random edits of every kind on random selections: every
    // table on the way keeps its rules, undoing everything gives back the
    // start exactly, and redoing everything the end.
    void heldSelection_data()
    {
        QTest::addColumn<QString>("release");
        QTest::addColumn<int>("first"); // the selection after it
        QTest::addColumn<int>("last");
        QTest::newRow("cell edit keeps it") << "cell" << 3 << 7;
        QTest::newRow("current line") << "current" << 9 << 9;
        QTest::newRow("selection") << "select" << 5 << 6;
        QTest::newRow("line outside") << "outside" << 8 << 8;
        QTest::newRow("lines removed") << "remove" << 3 << 5;
        QTest::newRow("undo") << "undo" << 5 << 5;
        QTest::newRow("moved down with its lines") << "move" << 4 << 8;
    }
    void heldSelection()
    {
        QFETCH(QString, release);
        QFETCH(int, first);
        QFETCH(int, last);
        Document document;
        document.replace(numberedTable(10));
        SequenceEditor editor(document);
        editor.setCurrentLine(5);
        editor.setCell(1, 5, Cell(0x123));
        editor.setSelection(7, 3);
        for (const int line : {4, 6, 5}) {
            editor.moveCurrentInSelection(line);
            QCOMPARE(document.currentLine(), line);
            QCOMPARE(document.selectionFirst(), 3);
            QCOMPARE(document.selectionLast(), 7);
        }
        if (release == QLatin1String("cell"))
            editor.setCell(2, 4, Cell(0x456));
        else if (release == QLatin1String("current"))
            editor.setCurrentLine(9);
        else if (release == QLatin1String("select"))
            editor.setSelection(6, 5);
        else if (release == QLatin1String("outside"))
            editor.moveCurrentInSelection(8);
        else if (release == QLatin1String("remove"))
            editor.removeLines(9, 2);
        else if (release == QLatin1String("move"))
            QVERIFY(moveSelection(editor, 1));
        else
            editor.undo();
        QCOMPARE(document.selectionFirst(), first);
        QCOMPARE(document.selectionLast(), last);
    }

    void randomEditsUndoAndRedoExactly_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 20261208u})
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }
    void randomEditsUndoAndRedoExactly()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        const auto below = [&random](int n) { return int(random.bounded(quint32(n))); };
        Document document;
        document.replace(numberedTable(1 + below(40)));
        SequenceEditor editor(document);
        const LineTable start = document.table();

        constexpr int kOperations = 3000;
        for (int i = 0; i < kOperations; ++i) {
            const QString what = test::randomEdit(editor, below);
            const QString fault = test::tableFault(document.table());
            QVERIFY2(
                fault.isEmpty(),
                qPrintable(
                    QStringLiteral("after %1 (operation %2): %3").arg(what).arg(i).arg(fault)));
        }
        const QString fault = test::historyFault(editor, start);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
};

QTEST_GUILESS_MAIN(SequenceEditorTest)
#include "SequenceEditorTest.moc"
