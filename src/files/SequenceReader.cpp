#include "files/SequenceReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace glowline {

namespace {

// Marks a cell that no word has given a value yet. A word carries 12 bits, so
// it can never produce this value itself.
constexpr Cell kNoValue = 4096;

constexpr std::array<signed char, 256> makeHexTable()
{
    std::array<signed char, 256> table{};
    table.fill(-1);
    for (int i = 0; i < 10; ++i)
        table[std::size_t('0' + i)] = static_cast<signed char>(i);
    for (int i = 0; i < 6; ++i) {
        table[std::size_t('A' + i)] = static_cast<signed char>(10 + i);
        table[std::size_t('a' + i)] = static_cast<signed char>(10 + i);
    }
    return table;
}
constexpr auto kHex = makeHexTable();

bool startsWith(const char *line, qsizetype length, std::string_view prefix)
{
    return length >= qsizetype(prefix.size()) &&
           std::memcmp(line, prefix.data(), prefix.size()) == 0;
}

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
    int fileLine = 0;
    while (p < end) {
        ++fileLine;
        // Fast path for the writer's own word lines, ".dw 0xHHHH" and CR LF;
        // it gives exactly what the general reading below gives them.
        if (end - p >= 12 && lineCount > 0 && p[10] == '\r' && p[11] == '\n' &&
            std::memcmp(p, kWord.data(), kWord.size()) == 0) {
            const auto *digits = reinterpret_cast<const unsigned char *>(p) + kWord.size();
            const int d0 = kHex[digits[0]];
            const int d1 = kHex[digits[1]];
            const int d2 = kHex[digits[2]];
            const int d3 = kHex[digits[3]];
            if ((d0 | d1 | d2 | d3) >= 0 && (d0 < 12 || d0 == 15)) {
                carry[std::size_t(d0 == 15 ? kDurationColumn : d0)] = Cell(d1 << 8 | d2 << 4 | d3);
                p += 12;
                continue;
            }
        }
        const char *eol = p;
        if (*p == '.' && startsWith(p, end - p, kWord)) {
            if (lineCount == 0)
                return failure(fileLine, QStringLiteral("word before the first line header"));
            // The (up to) four characters after the prefix must all be hex
            // digits; anything after them is not read.
            const char *digits = p + kWord.size();
            int count = 0;
            int word = 0;
            bool hex = true;
            for (; count < 4 && !isLineEnd(digits + count); ++count) {
                const int digit = kHex[static_cast<unsigned char>(digits[count])];
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
            eol = digits + count;
        } else if (*p == ';' && startsWith(p, end - p, kHeader)) {
            if (lineCount == kMaxLines)
                return failure(fileLine, QStringLiteral("more than %1 lines").arg(kMaxLines));
            if (lineCount > 0)
                cells.insert(cells.end(), carry.begin(), carry.end());
            ++lineCount;
            eol = p + kHeader.size();
        }
        // The rest of the line is not read. Lines end at CR LF, LF or a lone CR.
        while (!isLineEnd(eol))
            ++eol;
        p = eol;
        if (p < end)
            p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
    }

    ReadResult result;
    if (lineCount == 0)
        return result; // no header at all: one all-zero line
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
    ReadResult result;
    const std::optional<QByteArray> bytes = readInputFile(path, &result.error);
    if (!bytes)
        return result;
    return readSequence(*bytes);
}

} // namespace glowline
