#include "model/RangeCommands.h"

#include "files/TsvTable.h"
#include "model/Document.h"
#include "model/SequenceEditor.h"
#include "support/LineTableText.h"
#include "support/TestTables.h"

#include <QTest>

#include <vector>

using namespace glowline;

namespace {

using test::mark;
using test::numberedTable;

enum class Op
{
    Paste,
    PasteOver,
    Duplicate,
    Delete,
    MoveUp,
    MoveDown,
    Reverse,
    SetDuration,
    Scale,
};

constexpr int kLines = 10;
constexpr int kPasted = 4;

// Lines standing for clipboard contents: line k of them is line 100 + k of a
// numbered table, so they differ from every line of the sequence.
std::vector<Cell> pastedLines()
{
    const LineTable source = numberedTable(100 + kPasted);
    const auto begin = source.cells().begin() + std::ptrdiff_t(100) * kColumnCount;
    return {begin, source.cells().end()};
}

EditResult runOp(Op op, SequenceEditor &editor)
{
    const std::vector<Cell> pasted = pastedLines();
    switch (op) {
    case Op::Paste:
        return pasteLines(editor, pasted);
    case Op::PasteOver:
        return pasteLinesOver(editor, pasted);
    case Op::Duplicate:
        return duplicateSelection(editor);
    case Op::Delete:
        return {deleteSelection(editor)};
    case Op::MoveUp:
        return {moveSelection(editor, -1)};
    case Op::MoveDown:
        return {moveSelection(editor, 1)};
    case Op::Reverse:
        return {reverseSelection(editor)};
    case Op::SetDuration:
        return {setSelectionDuration(editor, 250)};
    case Op::Scale:
        return {scaleSelectionDurations(editor, 150)};
    }
    return {};
}

} // namespace

class RangeCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    // Each command on selections at the start, middle and end and over all
    // lines: the lines and the selection it leaves, then undo and redo.
    void command_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<int>("anchor");
        QTest::addColumn<int>("current");
        // Line numbers of the original table, 101.. for pasted lines, 0 for
        // a line of zeros.
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<int>("anchorAfter");
        QTest::addColumn<int>("currentAfter");

        const QList<int> same{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        QTest::newRow("paste start")
            << Op::Paste << 1 << 3 << QList<int>{1, 2, 3, 101, 102, 103, 104, 4, 5, 6, 7, 8, 9, 10}
            << 7 << 4;
        QTest::newRow("paste end")
            << Op::Paste << 10 << 8 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 101, 102, 103, 104}
            << 14 << 11;
        QTest::newRow("paste over middle")
            << Op::PasteOver << 6 << 4 << QList<int>{1, 2, 3, 101, 102, 103, 104, 8, 9, 10} << 7
            << 4;
        QTest::newRow("paste over end")
            << Op::PasteOver << 9 << 10 << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 101, 102, 103, 104}
            << 12 << 9;
        QTest::newRow("paste over all")
            << Op::PasteOver << 1 << 10 << QList<int>{101, 102, 103, 104, 5, 6, 7, 8, 9, 10} << 4
            << 1;
        QTest::newRow("duplicate start")
            << Op::Duplicate << 1 << 2 << QList<int>{1, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << 4 << 3;
        QTest::newRow("duplicate middle")
            << Op::Duplicate << 6 << 4 << QList<int>{1, 2, 3, 4, 5, 6, 4, 5, 6, 7, 8, 9, 10} << 9
            << 7;
        QTest::newRow("duplicate all")
            << Op::Duplicate << 1 << 10
            << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << 20 << 11;
        QTest::newRow("delete start")
            << Op::Delete << 3 << 1 << QList<int>{4, 5, 6, 7, 8, 9, 10} << 1 << 1;
        QTest::newRow("delete middle")
            << Op::Delete << 4 << 6 << QList<int>{1, 2, 3, 7, 8, 9, 10} << 4 << 4;
        QTest::newRow("delete end")
            << Op::Delete << 8 << 10 << QList<int>{1, 2, 3, 4, 5, 6, 7} << 7 << 7;
        QTest::newRow("delete all") << Op::Delete << 10 << 1 << QList<int>{0} << 1 << 1;
        QTest::newRow("move up start") << Op::MoveUp << 1 << 3 << same << 1 << 3;
        QTest::newRow("move up middle")
            << Op::MoveUp << 6 << 4 << QList<int>{1, 2, 4, 5, 6, 3, 7, 8, 9, 10} << 5 << 3;
        QTest::newRow("move down middle")
            << Op::MoveDown << 4 << 6 << QList<int>{1, 2, 3, 7, 4, 5, 6, 8, 9, 10} << 5 << 7;
        QTest::newRow("move down end") << Op::MoveDown << 8 << 10 << same << 8 << 10;
        QTest::newRow("move down all") << Op::MoveDown << 1 << 10 << same << 1 << 10;
        QTest::newRow("reverse start")
            << Op::Reverse << 1 << 3 << QList<int>{3, 2, 1, 4, 5, 6, 7, 8, 9, 10} << 1 << 3;
        QTest::newRow("reverse end")
            << Op::Reverse << 10 << 7 << QList<int>{1, 2, 3, 4, 5, 6, 10, 9, 8, 7} << 10 << 7;
        QTest::newRow("reverse all")
            << Op::Reverse << 1 << 10 << QList<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1} << 1 << 10;
    }

    void command()
    {
        QFETCH(Op, op);
        QFETCH(int, anchor);
        QFETCH(int, current);
        QFETCH(QList<int>, lines);
        QFETCH(int, anchorAfter);
        QFETCH(int, currentAfter);

        Document document;
        document.replace(numberedTable(kLines));
        SequenceEditor editor(document);
        editor.setSelection(anchor, current);
        const LineTable before = document.table();
        const LineTable expected = test::numberedLines(lines);

        const EditResult result = runOp(op, editor);
        QCOMPARE(result.changed, expected != before);
        QCOMPARE(document.table(), expected);
        QCOMPARE(document.anchorLine(), anchorAfter);
        QCOMPARE(document.currentLine(), currentAfter);
        if (!result.changed) {
            QVERIFY(!editor.canUndo());
            return;
        }
        QCOMPARE(editor.stepCount(), std::size_t(1));

        editor.setCurrentLine(1);
        QVERIFY(editor.undo());
        QCOMPARE(document.table(), before);
        QCOMPARE(document.anchorLine(), anchor);
        QCOMPARE(document.currentLine(), current);
        QVERIFY(editor.redo());
        QCOMPARE(document.table(), expected);
        QCOMPARE(document.anchorLine(), anchorAfter);
        QCOMPARE(document.currentLine(), currentAfter);
    }

    // Set Duration and Scale Durations touch the duration of the selected
    // lines only, in one step that undo and redo take back and replay.
    void durations_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("set start") << Op::SetDuration << 1 << 4;
        QTest::newRow("set middle") << Op::SetDuration << 5 << 6;
        QTest::newRow("scale end") << Op::Scale << 7 << 10;
        QTest::newRow("scale all") << Op::Scale << 1 << 10;
    }

    void durations()
    {
        QFETCH(Op, op);
        QFETCH(int, first);
        QFETCH(int, last);
        Document document;
        document.replace(numberedTable(kLines));
        SequenceEditor editor(document);
        editor.setSelection(last, first);
        const LineTable before = document.table();

        QVERIFY(runOp(op, editor).changed);
        for (int n = 1; n <= kLines; ++n) {
            for (int c = 0; c < kLedCount; ++c)
                QCOMPARE(document.table().cell(c, n), mark(c, n));
            const int old = mark(kDurationColumn, n);
            const int want = n < first || n > last ? old
                             : op == Op::Scale     ? (3 * old + 1) / 2
                                                   : 250;
            QCOMPARE(document.table().duration(n), want);
        }
        const LineTable after = document.table();
        QCOMPARE(editor.stepCount(), std::size_t(1));
        QVERIFY(editor.undo());
        QCOMPARE(document.table(), before);
        QVERIFY(editor.redo());
        QCOMPARE(document.table(), after);
        QCOMPARE(document.currentLine(), first);
        QCOMPARE(document.anchorLine(), last);
    }

    void scaledDuration_data()
    {
        QTest::addColumn<int>("duration");
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("expected");
        QTest::newRow("zero stays") << 0 << 10000 << 0;
        QTest::newRow("half up") << 3 << 50 << 2;
        QTest::newRow("below half down") << 14 << 10 << 1;
        QTest::newRow("never below 1") << 1 << 1 << 1;
        QTest::newRow("cut to 4095") << 4000 << 200 << 4095;
        QTest::newRow("largest product") << 4095 << 10000 << 4095;
        QTest::newRow("plain") << 100 << 150 << 150;
    }

    void scaledDuration()
    {
        QFETCH(int, duration);
        QFETCH(int, percent);
        QFETCH(int, expected);
        QCOMPARE(glowline::scaledDuration(duration, percent), expected);
    }

    // Paste, Paste Over and Duplicate that would pass the line limit change
    // nothing and say how many lines they would add.
    void limit_data()
    {
        QTest::addColumn<Op>("op");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("selected");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<int>("toAdd");
        QTest::newRow("paste fills") << Op::Paste << kMaxLines - kPasted << 1 << false << 0;
        QTest::newRow("paste passes")
            << Op::Paste << kMaxLines - kPasted + 1 << 1 << true << kPasted;
        QTest::newRow("paste over at end passes")
            << Op::PasteOver << kMaxLines - 1 << 1 << true << kPasted - 1;
        QTest::newRow("paste over inside full") << Op::PasteOver << kMaxLines << 5 << false << 0;
        QTest::newRow("duplicate passes") << Op::Duplicate << kMaxLines - 2 << 3 << true << 3;
    }

    void limit()
    {
        QFETCH(Op, op);
        QFETCH(int, lines);
        QFETCH(int, selected);
        QFETCH(bool, refused);
        QFETCH(int, toAdd);
        Document document;
        document.replace(LineTable(lines));
        SequenceEditor editor(document);
        // The selection ends at the last line, except for paste over inside.
        const int last = op == Op::PasteOver && !refused ? selected : lines;
        editor.setSelection(last - selected + 1, last);
        const EditResult result = runOp(op, editor);
        QCOMPARE(result.isRefused(), refused);
        QCOMPARE(result.changed, !refused);
        QCOMPARE(result.linesToAdd, toAdd);
        if (refused) {
            QCOMPARE(document.lineCount(), lines);
            QVERIFY(!editor.canUndo());
        }
        QVERIFY(document.lineCount() <= kMaxLines);
    }

    void deleteOnOneLineDoesNothing()
    {
        Document document;
        document.replace(numberedTable(1));
        SequenceEditor editor(document);
        QVERIFY(!deleteSelection(editor));
        QCOMPARE(document.table(), numberedTable(1));
        QVERIFY(!editor.canUndo());
    }

    // The clipboard holds what show prints; pasting it back is Duplicate,
    // and a spreadsheet's table without a header pastes the same.
    void clipboardRoundTrip()
    {
        Document document;
        document.replace(numberedTable(kLines));
        SequenceEditor editor(document);
        editor.setSelection(4, 6);
        const QByteArray text = linesToTsv(document.table(), 4, 6);
        QVERIFY(text.startsWith("line\t"));
        QVERIFY(text.contains("\n1\t0x"));
        const TsvLines copied = linesFromTsv(text);
        QVERIFY(copied.ok());
        QVERIFY(pasteLines(editor, copied.cells).changed);
        const LineTable pasted = document.table();

        document.replace(numberedTable(kLines));
        editor.setSelection(4, 6);
        QVERIFY(duplicateSelection(editor).changed);
        QCOMPARE(pasted, document.table());

        // The same rows without their header, with CR LF, no final line end.
        QByteArray bare = text.mid(text.indexOf('\n') + 1);
        bare.chop(1);
        bare.replace("\n", "\r\n");
        const TsvLines sheet = linesFromTsv(bare);
        QVERIFY(sheet.ok());
        QCOMPARE(sheet.cells, copied.cells);
    }

    void badTableIsNoLines()
    {
        const TsvLines lines = linesFromTsv(
            "1\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t5\n"
            "2\t0x000\t0x000\t0x000\t0x000\t0xG00\t0x000\t0x000\t0x000\t0x000\t0x000\t0x000\t5\n");
        QVERIFY(!lines.ok());
        QVERIFY(lines.error.message().startsWith(QStringLiteral("row 2: ")));
    }
};

QTEST_GUILESS_MAIN(RangeCommandsTest)
#include "RangeCommandsTest.moc"
