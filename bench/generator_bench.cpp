// How long each generator takes to work out its lines, without applying
// them: on a selection of every line of the largest sequence (32767 lines),
// or making 16000 new lines after line 1 of a 16767-line sequence, filling it
// to the limit. A fade makes at most 1000 lines, so it is measured at that.
// Also the copy a preview makes of the whole sequence with the lines in place,
// and that copy with its file words counted, as a dialog does on each change.
// Then each generator as the window applies it: worked out and put in place
// through the editor as one undo step, and that step undone and redone.
//
//   generator_bench [repeats]     (default 9; medians are printed)

#include "files/SequenceWriter.h"
#include "model/Document.h"
#include "model/Generators.h"
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

constexpr int kMadeLines = 16000;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Runs work repeats times; returns the median milliseconds and the lines the
// last run made or changed.
std::pair<double, int> measure(int repeats, const std::function<int()> &work)
{
    std::vector<double> times;
    int lines = 0;
    for (int r = 0; r < repeats; ++r) {
        QElapsedTimer timer;
        timer.start();
        lines = work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return {median(times), lines};
}

struct AppliedTimes
{
    double apply = 0;
    double undo = 0;
    double redo = 0;
};

// Medians of working out and applying the lines on a fresh copy of table as
// one step (as the window does), then of undoing and redoing that step.
AppliedTimes measureApplied(int repeats, const LineTable &table,
                            const std::function<GeneratedLines(const LineTable &)> &generate)
{
    std::vector<double> apply, undo, redo;
    for (int r = 0; r < repeats; ++r) {
        Document document;
        document.replace(table);
        SequenceEditor editor(document);
        QElapsedTimer timer;
        timer.start();
        {
            SequenceEditor::Step step(editor);
            const GeneratedLines lines = generate(document.table());
            if (!editor.replaceLines(lines.first, lines.replaceCount, lines.cells))
                std::abort();
            editor.select(lines.selectionAfter);
        }
        apply.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        editor.undo();
        undo.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        editor.redo();
        redo.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return {median(apply), median(undo), median(redo)};
}

} // namespace

int main(int argc, char **argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const LineTable full = test::everyLedChangesTable(kMaxLines);
    const LineTable half = test::everyLedChangesTable(kMaxLines - kMadeLines);
    const LineSelection all{1, kMaxLines, kMaxLines};

    struct Case
    {
        const char *name;
        std::function<int()> work;
    };
    const std::vector<Case> cases{
        {"Insert Fade, 1000 in-betweens",
         [&] {
             return insertFade(half, 1, {kMaxFadeInBetweens, 5, false}).lineCount();
         }},
        {"Insert Fade, 1000 merged",
         [&] {
             return insertFade(half, 1, {kMaxFadeInBetweens, 5, true}).lineCount();
         }},
        {"Blend Selection, all lines", [&] { return blendSelection(full, all)->lineCount(); }},
        {"Gradient Across LEDs, all lines",
         [&] { return gradientAcrossLeds(full, all).lineCount(); }},
        {"Rotate Left, all lines",
         [&] { return rotateLeds(full, all, RotateDirection::Left).lineCount(); }},
        {"Rotate Right, all lines",
         [&] { return rotateLeds(full, all, RotateDirection::Right).lineCount(); }},
        {"Mirror, all lines", [&] { return mirrorLeds(full, all).lineCount(); }},
        {"Chase, 16000 lines",
         [&] {
             return insertChase(half, 1, {kMadeLines, RotateDirection::Right}).lineCount();
         }},
        {"Rainbow, 16000 lines",
         [&] {
             return insertRainbow(1, {kMadeLines, 5}).lineCount();
         }},
        {"Sparkle, 16000 lines",
         [&] {
             return insertSparkle(half, 1, {kMadeLines, 20, 1, 0xFFF}).lineCount();
         }},
        {"preview copy, all lines rotated",
         [&, rotated = rotateLeds(full, all, RotateDirection::Left)] {
             return withGeneratedLines(full, rotated).lineCount();
         }},
        {"preview copy and word count",
         [&, rotated = rotateLeds(full, all, RotateDirection::Left)] {
             return sequenceWordCount(withGeneratedLines(full, rotated)) > 0 ? kMaxLines : 0;
         }},
    };

    std::printf("generator_bench: %d repeats, medians, lines not applied\n", repeats);
    std::printf("%-34s %8s %10s\n", "generator", "lines", "ms");
    for (const Case &c : cases) {
        const auto [ms, lines] = measure(repeats, c.work);
        std::printf("%-34s %8d %10.3f\n", c.name, lines, ms);
    }

    struct AppliedCase
    {
        const char *name;
        const LineTable &table;
        std::function<GeneratedLines(const LineTable &)> generate;
    };
    const std::vector<AppliedCase> applied{
        {"Insert Fade, 1000 in-betweens", half,
         [](const LineTable &t) {
             return insertFade(t, 1, {kMaxFadeInBetweens, 5, false});
         }},
        {"Blend Selection, all lines", full,
         [&](const LineTable &t) { return *blendSelection(t, all); }},
        {"Gradient Across LEDs, all lines", full,
         [&](const LineTable &t) { return gradientAcrossLeds(t, all); }},
        {"Rotate Left, all lines", full,
         [&](const LineTable &t) { return rotateLeds(t, all, RotateDirection::Left); }},
        {"Mirror, all lines", full, [&](const LineTable &t) { return mirrorLeds(t, all); }},
        {"Chase, 16000 lines", half,
         [](const LineTable &t) {
             return insertChase(t, 1, {kMadeLines, RotateDirection::Right});
         }},
        {"Rainbow, 16000 lines", half,
         [](const LineTable &) {
             return insertRainbow(1, {kMadeLines, 5});
         }},
        {"Sparkle, 16000 lines", half,
         [](const LineTable &t) {
             return insertSparkle(t, 1, {kMadeLines, 20, 1, 0xFFF});
         }},
    };
    std::printf("\napplied through the editor as one undo step, medians\n");
    std::printf("%-34s %10s %10s %10s\n", "generator", "apply ms", "undo ms", "redo ms");
    for (const AppliedCase &c : applied) {
        const AppliedTimes t = measureApplied(repeats, c.table, c.generate);
        std::printf("%-34s %10.3f %10.3f %10.3f\n", c.name, t.apply, t.undo, t.redo);
    }
    return 0;
}
