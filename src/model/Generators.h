#pragma once

#include "model/EditResult.h"
#include "model/LineSelection.h"
#include "model/LineTable.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace glowline {

// The board has no effects of its own: a fade or a chase is many lines. The
// generators build those lines from the sequence without touching it; the
// caller hands what they made to the sequence editor as one step.

// What a generator made: replace replaceCount lines from line first with the
// whole lines in cells (kColumnCount cells each). An insertion replaces
// nothing; first may then be one past the last line. An in-place change
// replaces as many lines as it makes and keeps the selection.
struct GeneratedLines
{
    int first = 1;
    int replaceCount = 0;
    std::vector<Cell> cells;
    LineSelection selectionAfter;

    int lineCount() const { return int(cells.size() / kColumnCount); }
    // How many lines the sequence gains (negative: loses).
    int lineCountChange() const { return lineCount() - replaceCount; }
};

// Channel (0..15) a to b, step k of m: floor(a + (b - a) * k / m + 1/2),
// exact in integers, so halves go up and step m is b itself.
int interpolateChannel(int a, int b, int k, int m);
// The same for each channel of two packed colours.
int interpolateColour(int a, int b, int k, int m);

// Hue hueNumerator / hueDenominator of a full turn (any whole number of
// turns is dropped) at full saturation and value, as a packed colour: exact
// 8-bit channels, halves up, then quantized.
int hueColour(std::int64_t hueNumerator, std::int64_t hueDenominator);

enum class RotateDirection
{
    Left,  // each LED takes its right neighbour's colour
    Right, // each LED takes its left neighbour's colour
};

struct FadeOptions
{
    int inBetweens = 5;
    int duration = 5;
    // Consecutive in-betweens that come out equal become one line whose
    // duration is their sum, up to kMaxCellValue a line.
    bool mergeEqual = false;
};

struct ChaseOptions
{
    int count = 11;
    RotateDirection direction = RotateDirection::Right;
};

struct RainbowOptions
{
    int count = 11;
    int duration = 5;
};

struct SparkleOptions
{
    int count = 11;
    int percent = 20;
    std::uint32_t seed = 1;
    int colour = 0xFFF; // packed
};

inline constexpr int kMaxFadeInBetweens = 1000;

// Lines after the current one, fading from it to the line after it (from the
// last line to line 1: the sequence loops). The current line stays current,
// alone selected.
GeneratedLines insertFade(const LineTable &table, int currentLine, const FadeOptions &options);

// Every inner selected line becomes its step between the first and last
// selected line; durations stay. Nothing with fewer than 3 lines selected.
std::optional<GeneratedLines> blendSelection(const LineTable &table, LineSelection selection);
// In every selected line, LEDs 1..9 become steps 1..9 of 10 from LED 0 to LED 10.
GeneratedLines gradientAcrossLeds(const LineTable &table, LineSelection selection);
// In every selected line, every LED moves one place, LED 10 and LED 0 being
// neighbours.
GeneratedLines rotateLeds(const LineTable &table, LineSelection selection,
                          RotateDirection direction);
// In every selected line, LED j and LED 10 - j swap colours.
GeneratedLines mirrorLeds(const LineTable &table, LineSelection selection);

// The lines these make follow the current line and become the selection,
// the first of them current.
//
// Each new line is the one before it rotated by one LED, with the current
// line's duration.
GeneratedLines insertChase(const LineTable &table, int currentLine, const ChaseOptions &options);
// LED j of new line i (both from 0) takes the hue j / 11 + i / count.
GeneratedLines insertRainbow(int currentLine, const RainbowOptions &options);
// Each LED of each new line is lit with the colour with a chance of percent in
// 100, and black otherwise; the same seed, count and percent give the same
// lines everywhere. The lines take the current line's duration.
GeneratedLines insertSparkle(const LineTable &table, int currentLine,
                             const SparkleOptions &options);

// The table as it would be with the generated lines in place: what a preview
// shows and counts. The sequence itself changes only through its editor.
LineTable withGeneratedLines(const LineTable &table, const GeneratedLines &lines);
// The refusal of lines that would take table past kMaxLines lines, or
// nothing when they fit.
std::optional<EditResult> refusalFor(const LineTable &table, const GeneratedLines &lines);

} // namespace glowline
