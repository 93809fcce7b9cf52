// How long each generator takes to work out its lines, without applying
// them: on a selection of every line of the largest sequence (32767 lines),
// or making 16000 new lines after line 1 of a 16767-line sequence, filling it
// to the limit. A fade makes at most 1000 lines, so it is measured at that.
// Also the copy a preview makes of the whole sequence with the lines in place,
// and that copy with its file words counted, as a dialog does on each change.
//
//   generator_bench [repeats]     (default 9; medians are printed)

#include "files/SequenceWriter.h"
#include "model/Generators.h"
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

int linesOf(const GeneratorResult &result)
{
    return result.lines ? result.lines->lineCount() : -1;
}

} // namespace

int main(int argc, char **argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    const LineTable full = test::everyLedChangesTable(kMaxLines);
    const LineTable half = test::everyLedChangesTable(kMaxLines - kMadeLines);
    const LineSelection all{1, kMaxLines};

    struct Case
    {
        const char *name;
        std::function<int()> work;
    };
    const std::vector<Case> cases{
        {"Insert Fade, 1000 in-betweens",
         [&] {
             return linesOf(insertFade(half, 1, {kMaxFadeInBetweens, 5, false}));
         }},
        {"Insert Fade, 1000 merged",
         [&] {
             return linesOf(insertFade(half, 1, {kMaxFadeInBetweens, 5, true}));
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
             return linesOf(insertChase(half, 1, {kMadeLines, RotateDirection::Right}));
         }},
        {"Rainbow, 16000 lines",
         [&] {
             return linesOf(insertRainbow(half, 1, {kMadeLines, 5}));
         }},
        {"Sparkle, 16000 lines",
         [&] {
             return linesOf(insertSparkle(half, 1, {kMadeLines, 20, 1, 0xFFF}));
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
    return 0;
}
