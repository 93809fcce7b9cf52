// Fuzz target for the sequence file reader. Besides running without a crash,
// every input must give what a plain, line-by-line reading of the rules
// gives, and every table read must survive a trip through the writer as far
// as the format can carry it.

#include "files/SequenceReader.h"
#include "files/SequenceWriter.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

using glowline::Cell;
using glowline::kColumnCount;
using glowline::kDurationColumn;
using glowline::kLedCount;
using glowline::kMaxLines;
using glowline::LineTable;

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

using Line = std::array<int, kColumnCount>;

struct Expected
{
    bool ok = true;
    int errorLine = 0;
    std::vector<Line> lines;
};

int hexDigit(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// The reading rules, written out one step at a time.
Expected readByTheRules(std::string_view text)
{
    constexpr int noValue = 4096;
    std::vector<std::string_view> fileLines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            fileLines.push_back(text.substr(start));
            break;
        }
        fileLines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }

    Expected expected;
    Line carry;
    carry.fill(noValue);
    for (std::size_t i = 0; i < fileLines.size(); ++i) {
        const std::string_view line = fileLines[i];
        const int number = int(i) + 1;
        if (line.substr(0, 5) == ";Line") {
            if (int(expected.lines.size()) == kMaxLines)
                return {false, number, {}};
            expected.lines.push_back(carry);
        } else if (line.substr(0, 6) == ".dw 0x") {
            if (expected.lines.empty())
                return {false, number, {}};
            const std::string_view digits = line.substr(6, 4);
            if (digits.empty())
                return {false, number, {}};
            int word = 0;
            for (char ch : digits) {
                if (hexDigit(ch) < 0)
                    return {false, number, {}};
                word = word * 16 + hexDigit(ch);
            }
            const int code = word / 4096;
            if (code >= 12 && code <= 14)
                return {false, number, {}};
            const int column = code == 15 ? kDurationColumn : code;
            expected.lines.back()[std::size_t(column)] = word % 4096;
            carry[std::size_t(column)] = word % 4096;
        }
    }
    if (expected.lines.empty()) {
        expected.lines.push_back(Line{});
        return expected;
    }
    const std::size_t last = expected.lines.size() - 1;
    for (std::size_t j = 0; j <= last; ++j) {
        for (std::size_t k = 0; k < kColumnCount; ++k) {
            if (expected.lines[j][k] == noValue)
                expected.lines[j][k] = expected.lines[last][k];
        }
    }
    for (Line &line : expected.lines) {
        for (int &cell : line) {
            if (cell == noValue)
                cell = 0;
        }
    }
    return expected;
}

// What a valid table comes back as after write then read: every LED colour
// as it was; a line of duration 0 takes the duration in force before it (for
// the first lines, the last line's).
LineTable afterTrip(const LineTable &table)
{
    const int count = table.lineCount();
    LineTable result = table;
    Cell carried = 0;
    for (int n = 1; n <= count; ++n) {
        if (table.duration(n) > 0)
            carried = table.duration(n);
    }
    for (int n = 1; n <= count; ++n) {
        if (table.duration(n) > 0)
            carried = table.duration(n);
        result.setCell(kDurationColumn, n, carried);
    }
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    const glowline::ReadResult result =
        glowline::readSequence(QByteArrayView(data, qsizetype(size)));
    const Expected expected = readByTheRules(text);

    FUZZ_CHECK(result.ok() == expected.ok);
    if (!result.ok()) {
        FUZZ_CHECK(result.error.line >= 1);
        FUZZ_CHECK(result.error.line == expected.errorLine);
        FUZZ_CHECK(!result.error.description.isEmpty());
        FUZZ_CHECK(result.message().startsWith(QStringLiteral("line %1: ").arg(result.error.line)));
        return 0;
    }

    const LineTable &table = result.table;
    FUZZ_CHECK(result.error.line == 0);
    FUZZ_CHECK(table.lineCount() >= 1 && table.lineCount() <= kMaxLines);
    FUZZ_CHECK(std::size_t(table.lineCount()) == expected.lines.size());
    for (int n = 1; n <= table.lineCount(); ++n) {
        for (int c = 0; c < kColumnCount; ++c) {
            FUZZ_CHECK(table.cell(c, n) >= 0 && table.cell(c, n) <= glowline::kMaxCellValue);
            FUZZ_CHECK(table.cell(c, n) == expected.lines[std::size_t(n - 1)][std::size_t(c)]);
        }
    }

    const glowline::ReadResult again = glowline::readSequence(glowline::encodeSequence(table));
    FUZZ_CHECK(again.ok());
    FUZZ_CHECK(again.table == afterTrip(table));
    return 0;
}
