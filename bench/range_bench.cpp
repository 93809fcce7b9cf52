// What the commands on selected lines cost on the largest sequence: time of
// each command with its undo step recorded, of its undo and of its redo, and
// the bytes the step holds; then the bytes of a step that changes 1,000 lines.
// Paste and Duplicate of 16000 lines start from 16767 lines, so that they end
// at the largest sequence.
//
//   range_bench [repeats]     (default 5; medians are printed)

#include "model/Document.h"
#include "model/RangeCommands.h"
#include "model/SequenceEditor.h"
#include "support/TestTables.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using namespace glowline;

namespace {

constexpr int kRunLines = 16000;

struct Case
{
    const char *name;
    int lines;
    int anchor;
    int current;
    std::function<void(SequenceEditor &)> run;
};

double median(std::vector<double> v)
{
    std::ranges::sort(v);
    return v[v.size() / 2];
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::vector<Cell> pasted = [] {
        const LineTable source = test::everyLedChangesTable(kRunLines);
        return source.cells();
    }();
    const std::vector<Case> cases{
        {"Reverse (all 32767 lines)", kMaxLines, 1, kMaxLines,
         [](SequenceEditor &e) { reverseSelection(e); }},
        {"Set Duration (all 32767 lines)", kMaxLines, 1, kMaxLines,
         [](SequenceEditor &e) { setSelectionDuration(e, 250); }},
        {"Scale Durations 150% (all 32767 lines)", kMaxLines, 1, kMaxLines,
         [](SequenceEditor &e) { scaleSelectionDurations(e, 150); }},
        {"Move Down (16000 of 32767 lines)", kMaxLines, 1, kRunLines,
         [](SequenceEditor &e) { moveSelection(e, 1); }},
        {"Paste (16000 lines into 16767)", kMaxLines - kRunLines, 1, 1,
         [&pasted](SequenceEditor &e) { pasteLines(e, pasted); }},
        {"Duplicate (16000 of 16767 lines)", kMaxLines - kRunLines, 1, kRunLines,
         [](SequenceEditor &e) { duplicateSelection(e); }},
    };

    std::printf("range commands, median of %d runs\n", repeats);
    std::printf("%-42s %10s %10s %10s %12s\n", "command", "run ms", "undo ms", "redo ms",
                "step bytes");
    for (const Case &c : cases) {
        std::vector<double> run;
        std::vector<double> undo;
        std::vector<double> redo;
        std::size_t bytes = 0;
        for (int i = 0; i < repeats; ++i) {
            Document document;
            document.replace(test::everyLedChangesTable(c.lines));
            SequenceEditor editor(document);
            editor.setSelection(c.anchor, c.current);
            QElapsedTimer timer;
            timer.start();
            c.run(editor);
            run.push_back(msSince(timer));
            if (editor.stepCount() != 1) {
                std::printf("%s: no step recorded\n", c.name);
                return 1;
            }
            bytes = editor.memoryBytes();
            timer.restart();
            editor.undo();
            undo.push_back(msSince(timer));
            timer.restart();
            editor.redo();
            redo.push_back(msSince(timer));
        }
        std::printf("%-42s %10.2f %10.2f %10.2f %12zu\n", c.name, median(run), median(undo),
                    median(redo), bytes);
    }

    // The step of each command in proportion to what it changed.
    std::printf("steps changing 1,000 of 32767 lines\n");
    const std::vector<Case> small{
        {"Reverse", kMaxLines, 1, 1000, [](SequenceEditor &e) { reverseSelection(e); }},
        {"Set Duration", kMaxLines, 1, 1000,
         [](SequenceEditor &e) { setSelectionDuration(e, 250); }},
        {"Scale Durations", kMaxLines, 1, 1000,
         [](SequenceEditor &e) { scaleSelectionDurations(e, 150); }},
        {"Delete Lines", kMaxLines, 1, 1000, [](SequenceEditor &e) { deleteSelection(e); }},
        {"Duplicate", kMaxLines - 1000, 1, 1000, [](SequenceEditor &e) { duplicateSelection(e); }},
    };
    for (const Case &c : small) {
        Document document;
        document.replace(test::everyLedChangesTable(c.lines));
        SequenceEditor editor(document);
        editor.setSelection(c.anchor, c.current);
        c.run(editor);
        std::printf("%-42s %12zu bytes\n", c.name, editor.memoryBytes());
    }
    return 0;
}
