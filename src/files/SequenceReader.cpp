#include "files/SequenceReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace glowline {

namespace {

// Marks a cell that no word has given a value yet. A word carries 12 bits, so
// it can never produce this value itself.
constexpr Cell kNoValue = 4096;

// A digit's value by its byte, -1 for any byte that is no hexadecimal digit.
// A lookup rather than comparisons: the digits of a file follow no pattern
// that a processor could learn to predict.
constexpr std::array<signed char, 256> makeHexDigits()
{
    std::array<signed char, 256> digits{};
    digits.fill(-1);
    for (int i = 0; i < 10; ++i)
        digits[std::size_t('0' + i)] = static_cast<signed char>(i);
    for (int i = 0; i < 6; ++i) {
        digits[std::size_t('A' + i)] = static_cast<signed char>(10 + i);
        digits[std::size_t('a' + i)] = static_cast<signed char>(10 + i);
    }
    return digits;
}
constexpr auto kHexDigits = makeHexDigits();

ReadResult failure(int line, QString description)
{
    ReadResult result;
    result.error.line = line;
    result.error.description = std::move(description);
    return result;
}

} // namespace

ReadResult readSequence(QByteArrayView text)
{
    static constexpr std::string_view kHeader = ";Line";
    static constexpr std::string_view kWord = ".dw 0x";

    // A line starts as a copy of the carry row and every word sets its cell
    // and the carry cell alike, so a finished line always equals the carry
    // row: lines are stored when the next header (or the end) finishes them.
    std::array<Cell, kColumnCount> carry;
    carry.fill(kNoValue);
    std::vector<Cell> cells;
    // A header takes at least six bytes with its line end (the last line five).
    cells.reserve(std::size_t(std::min<qsizetype>(text.size() / 6 + 1, kMaxLines)) * kColumnCount);
    int lineCount = 0;

    const char *p = text.data();
    const char *const end = p + text.size();
    const auto isLineEnd = [end](const char *at) {
        return at == end || *at == '\n' || *at == '\r';
    };
    const auto startsWith = [end](const char *line, std::string_view prefix) {
        return end - line >= qsizetype(prefix.size()) &&
               std::memcmp(line, prefix.data(), prefix.size()) == 0;
    };
    int fileLine = 0;
    while (p < end) {
        ++fileLine;
        // Where the part of the line that is not read starts. Only that part
        // is searched for the line's end, and the writer's lines have nothing
        // after what is read: searching all of every line made the reading
        // about twice as slow.
        const char *rest = p;
        if (startsWith(p, kWord)) {
            if (lineCount == 0)
                return failure(fileLine, QStringLiteral("word before the first line header"));
            // The (up to) four characters after the prefix must all be hex
            // digits; anything after them is not read.
            const char *const digits = p + kWord.size();
            int count = 0;
            int word = 0;
            bool hex = true;
            for (; count < 4 && !isLineEnd(digits + count); ++count) {
                const int digit = kHexDigits[static_cast<unsigned char>(digits[count])];
                hex = hex && digit >= 0;
                word = word * 16 + digit;
            }
            if (count == 0)
                return failure(fileLine, QStringLiteral("no hexadecimal digits after \".dw 0x\""));
            if (!hex) {
                return failure(fileLine, QStringLiteral("\"%1\" is not a hexadecimal number")
                                             .arg(printableText(QByteArrayView(digits, count))));
            }
            const int code = word >> 12;
            if (code >= 12 && code <= 14)
                return failure(fileLine, QStringLiteral("column code %1 is not valid").arg(code));
            // Codes 11 and 15 both address the duration.
            carry[std::size_t(code == 15 ? kDurationColumn : code)] = Cell(word & 0xFFF);
            rest = digits + count;
        } else if (startsWith(p, kHeader)) {
            if (lineCount == kMaxLines)
                return failure(fileLine, QStringLiteral("more than %1 lines").arg(kMaxLines));
            if (lineCount > 0)
                cells.insert(cells.end(), carry.begin(), carry.end());
            ++lineCount;
            rest = p + kHeader.size();
        }
        // Lines end at CR LF, LF or a lone CR.
        while (!isLineEnd(rest))
            ++rest;
        p = rest;
        if (p < end)
            p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    }

    ReadResult result;
    if (lineCount == 0) {
        // No header at all: one all-zero line.
        result.holdsNoSequence = !text.isEmpty();
        return result;
    }
    cells.insert(cells.end(), carry.begin(), carry.end());

    // A column holds the mark only in the lines before its first word; those
    // equal the last line, which is what the writer encoded line 1 against.
    // A column with no word in the whole file becomes 0.
    for (std::size_t c = 0; c < kColumnCount; ++c) {
        const Cell fill = carry[c] == kNoValue ? Cell(0) : carry[c];
        for (std::size_t i = c; i < cells.size() && cells[i] == kNoValue; i += kColumnCount)
            cells[i] = fill;
    }
    result.table = LineTable(std::move(cells));
    return result;
}

ReadResult readSequenceFile(const QString &path)
{
    FileError error;
    std::optional<FileStamp> stamp;
    const std::optional<QByteArray> bytes = readInputFile(path, &error, &stamp);
    if (!bytes) {
        ReadResult result;
        result.error = error;
        return result;
    }
    ReadResult result = readSequence(*bytes);
    if (result.ok())
        result.stamp = stamp;
    return result;
}

} // namespace glowline
