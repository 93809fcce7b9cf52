#include "model/Generators.h"

#include "model/Colour.h"

#include <algorithm>
#include <array>

namespace glowline {

namespace {

using Line = std::array<Cell, kColumnCount>;

Line lineOf(const LineTable &table, int line)
{
    Line cells;
    const auto source = table.line(line);
    std::copy(source.begin(), source.end(), cells.begin());
    return cells;
}

void append(std::vector<Cell> &cells, const Line &line)
{
    cells.insert(cells.end(), line.begin(), line.end());
}

// splitmix64: a fixed sequence for a seed on every platform and compiler,
// which the standard library's engines and distributions do not promise.
class SplitMix64 final
{
public:
    explicit SplitMix64(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

private:
    std::uint64_t m_state;
};

// New lines right after the current line, selected, the first current.
GeneratedLines insertAfter(int currentLine, std::vector<Cell> cells)
{
    GeneratedLines lines;
    lines.first = currentLine + 1;
    lines.cells = std::move(cells);
    lines.selectionAfter = {currentLine + 1, currentLine + lines.lineCount(), currentLine + 1};
    return lines;
}

// Every selected line changed in place by change(line cells), the selection kept.
template <typename Change>
GeneratedLines changeEachLine(const LineTable &table, LineSelection selection, Change change)
{
    GeneratedLines lines;
    lines.first = selection.first;
    lines.replaceCount = selection.count();
    lines.selectionAfter = selection;
    lines.cells.reserve(std::size_t(selection.count()) * kColumnCount);
    for (int n = selection.first; n <= selection.last; ++n) {
        const Line before = lineOf(table, n);
        Line after = before;
        change(before, after);
        append(lines.cells, after);
    }
    return lines;
}

// Channel a to b at steps k = 1, 2, ... of m, as interpolateChannel gives
// them, one step after the other without a division: the numerator of
// floor((2am + 2(b - a)k + m) / 2m) grows by 2(b - a) a step, and only its
// quotient and remainder are carried.
class ChannelRamp
{
public:
    ChannelRamp() = default;
    ChannelRamp(int a, int b, int m)
        : m_step(2 * (b - a)), m_divisor(2 * m), m_quotient(interpolateChannel(a, b, 0, m)),
          m_remainder(2 * a * m + m - m_quotient * m_divisor)
    {}
    // The value at the next step.
    int next()
    {
        m_remainder += m_step;
        while (m_remainder >= m_divisor) {
            m_remainder -= m_divisor;
            ++m_quotient;
        }
        while (m_remainder < 0) {
            m_remainder += m_divisor;
            --m_quotient;
        }
        return m_quotient;
    }

private:
    int m_step = 0;
    int m_divisor = 1;
    int m_quotient = 0;
    int m_remainder = 0;
};

int channel8(std::int64_t numerator, std::int64_t denominator)
{
    // 255 * numerator / denominator, halves up.
    return int((2 * 255 * numerator + denominator) / (2 * denominator));
}

} // namespace

int interpolateChannel(int a, int b, int k, int m)
{
    // floor((2am + 2(b - a)k + m) / 2m); the numerator is never negative for
    // 0 <= k <= m, so integer division floors.
    return (2 * a * m + 2 * (b - a) * k + m) / (2 * m);
}

int interpolateColour(int a, int b, int k, int m)
{
    return interpolateChannel(redNibble(a), redNibble(b), k, m) << 8 |
           interpolateChannel(greenNibble(a), greenNibble(b), k, m) << 4 |
           interpolateChannel(blueNibble(a), blueNibble(b), k, m);
}

int hueColour(std::int64_t hueNumerator, std::int64_t hueDenominator)
{
    const std::int64_t d = hueDenominator;
    const std::int64_t h = ((hueNumerator % d) + d) % d;
    // Six sectors of a turn; within one the rising or falling channel goes
    // with the fraction rem / d of the sector.
    const int sector = int(6 * h / d);
    const std::int64_t rem = 6 * h % d;
    const int rising = channel8(rem, d);
    const int falling = channel8(d - rem, d);
    int r = 0, g = 0, b = 0;
    switch (sector) {
    case 0:
        r = 255, g = rising;
        break;
    case 1:
        r = falling, g = 255;
        break;
    case 2:
        g = 255, b = rising;
        break;
    case 3:
        g = falling, b = 255;
        break;
    case 4:
        r = rising, b = 255;
        break;
    default:
        r = 255, b = falling;
        break;
    }
    return quantize(rgb24(r, g, b));
}

GeneratedLines insertFade(const LineTable &table, int currentLine, const FadeOptions &options)
{
    const Line from = lineOf(table, currentLine);
    const Line to = lineOf(table, currentLine == table.lineCount() ? 1 : currentLine + 1);
    const int m = options.inBetweens + 1;

    std::vector<Cell> cells;
    cells.reserve(std::size_t(options.inBetweens) * kColumnCount);
    Line previous{};
    bool hasPrevious = false;
    for (int k = 1; k <= options.inBetweens; ++k) {
        Line line{};
        for (int c = 0; c < kLedCount; ++c)
            line[c] = Cell(interpolateColour(from[c], to[c], k, m));
        line[kDurationColumn] = Cell(options.duration);

        if (options.mergeEqual && hasPrevious &&
            std::equal(line.begin(), line.begin() + kLedCount, previous.begin())) {
            const int room = kMaxCellValue - cells.back();
            if (room >= options.duration) {
                cells.back() = Cell(cells.back() + options.duration);
                continue;
            }
            // What does not fit starts a new line of the same colours.
            cells.back() = Cell(kMaxCellValue);
            line[kDurationColumn] = Cell(options.duration - room);
        }
        append(cells, line);
        previous = line;
        hasPrevious = true;
    }

    GeneratedLines lines = insertAfter(currentLine, std::move(cells));
    lines.selectionAfter = {currentLine, currentLine, currentLine};
    return lines;
}

std::optional<GeneratedLines> blendSelection(const LineTable &table, LineSelection selection)
{
    const int n = selection.count();
    if (n < 3)
        return std::nullopt;
    const Line from = lineOf(table, selection.first);
    const Line to = lineOf(table, selection.last);

    GeneratedLines lines;
    lines.first = selection.first + 1;
    lines.replaceCount = n - 2;
    lines.selectionAfter = selection;
    lines.cells.reserve(std::size_t(n - 2) * kColumnCount);
    // Red, green and blue of each LED, stepped along the inner lines.
    std::array<ChannelRamp, 3 * kLedCount> ramps;
    for (int c = 0; c < kLedCount; ++c) {
        ramps[std::size_t(3 * c)] = ChannelRamp(redNibble(from[c]), redNibble(to[c]), n - 1);
        ramps[std::size_t(3 * c + 1)] =
            ChannelRamp(greenNibble(from[c]), greenNibble(to[c]), n - 1);
        ramps[std::size_t(3 * c + 2)] = ChannelRamp(blueNibble(from[c]), blueNibble(to[c]), n - 1);
    }
    for (int k = 1; k <= n - 2; ++k) {
        Line line = lineOf(table, selection.first + k);
        for (int c = 0; c < kLedCount; ++c) {
            const int red = ramps[std::size_t(3 * c)].next();
            const int green = ramps[std::size_t(3 * c + 1)].next();
            const int blue = ramps[std::size_t(3 * c + 2)].next();
            line[c] = Cell(red << 8 | green << 4 | blue);
        }
        append(lines.cells, line);
    }
    return lines;
}

GeneratedLines gradientAcrossLeds(const LineTable &table, LineSelection selection)
{
    return changeEachLine(table, selection, [](const Line &before, Line &after) {
        for (int j = 1; j < kLedCount - 1; ++j)
            after[j] = Cell(interpolateColour(before[0], before[kLedCount - 1], j, kLedCount - 1));
    });
}

GeneratedLines rotateLeds(const LineTable &table, LineSelection selection,
                          RotateDirection direction)
{
    const int offset = direction == RotateDirection::Left ? 1 : kLedCount - 1;
    return changeEachLine(table, selection, [offset](const Line &before, Line &after) {
        for (int j = 0; j < kLedCount; ++j)
            after[j] = before[(j + offset) % kLedCount];
    });
}

GeneratedLines mirrorLeds(const LineTable &table, LineSelection selection)
{
    return changeEachLine(table, selection, [](const Line &before, Line &after) {
        for (int j = 0; j < kLedCount; ++j)
            after[j] = before[kLedCount - 1 - j];
    });
}

GeneratedLines insertChase(const LineTable &table, int currentLine, const ChaseOptions &options)
{
    const int offset = options.direction == RotateDirection::Left ? 1 : kLedCount - 1;
    Line line = lineOf(table, currentLine);
    std::vector<Cell> cells;
    cells.reserve(std::size_t(options.count) * kColumnCount);
    for (int i = 0; i < options.count; ++i) {
        const Line before = line;
        for (int j = 0; j < kLedCount; ++j)
            line[j] = before[(j + offset) % kLedCount];
        append(cells, line);
    }
    return insertAfter(currentLine, std::move(cells));
}

GeneratedLines insertRainbow(int currentLine, const RainbowOptions &options)
{
    // Hue j / 11 + i / N is (j N + 11 i) / (11 N) of a turn.
    const std::int64_t n = options.count;
    std::vector<Cell> cells;
    cells.reserve(std::size_t(options.count) * kColumnCount);
    for (std::int64_t i = 0; i < n; ++i) {
        Line line{};
        for (int j = 0; j < kLedCount; ++j)
            line[j] = Cell(hueColour(j * n + kLedCount * i, kLedCount * n));
        line[kDurationColumn] = Cell(options.duration);
        append(cells, line);
    }
    return insertAfter(currentLine, std::move(cells));
}

GeneratedLines insertSparkle(const LineTable &table, int currentLine, const SparkleOptions &options)
{
    SplitMix64 random(options.seed);
    const Cell duration = table.duration(currentLine);
    std::vector<Cell> cells;
    cells.reserve(std::size_t(options.count) * kColumnCount);
    for (int i = 0; i < options.count; ++i) {
        Line line{};
        for (int j = 0; j < kLedCount; ++j)
            line[j] = random.next() % 100 < std::uint64_t(options.percent) ? Cell(options.colour)
                                                                           : Cell(0);
        line[kDurationColumn] = duration;
        append(cells, line);
    }
    return insertAfter(currentLine, std::move(cells));
}

LineTable withGeneratedLines(const LineTable &table, const GeneratedLines &lines)
{
    const auto &old = table.cells();
    const auto firstIndex = std::size_t(lines.first - 1) * kColumnCount;
    const auto endIndex = firstIndex + std::size_t(lines.replaceCount) * kColumnCount;
    std::vector<Cell> cells;
    cells.reserve(old.size() - (endIndex - firstIndex) + lines.cells.size());
    cells.insert(cells.end(), old.begin(), old.begin() + std::ptrdiff_t(firstIndex));
    cells.insert(cells.end(), lines.cells.begin(), lines.cells.end());
    cells.insert(cells.end(), old.begin() + std::ptrdiff_t(endIndex), old.end());
    return LineTable(std::move(cells));
}

std::optional<EditResult> refusalFor(const LineTable &table, const GeneratedLines &lines)
{
    return EditResult::refusalFor(table.lineCount(), lines.lineCountChange());
}

} // namespace glowline
