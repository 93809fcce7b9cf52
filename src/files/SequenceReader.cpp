#include "files/SequenceReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
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

// The four digits of a word, decoded by one table per position: the first
// digit gives its carry-row column shifted into bits 12 and up (codes 11 and
// 15 both address the duration), the others their value shifted into place,
// so that or-ing the four gives column << 12 | value. A byte that is no
// hexadecimal digit, and the column codes 12 to 14, give a negative entry,
// which makes the whole word negative.
using DigitTables = std::array<std::array<std::int32_t, 256>, 4>;
constexpr DigitTables makeDigitTables()
{
    DigitTables tables{};
    for (std::size_t ch = 0; ch < 256; ++ch) {
        const int digit = kHex[ch];
        const int column = digit < 0 || (digit >= 12 && digit <= 14) ? -1
                           : digit == 15                             ? kDurationColumn
                                                                     : digit;
        tables[0][ch] = column < 0 ? -1 : column << 12;
        for (std::size_t position = 1; position < 4; ++position)
            tables[position][ch] = digit < 0 ? -1 : digit << (4 * (3 - position));
    }
    return tables;
}
constexpr DigitTables kDigitTables = makeDigitTables();

// The writer's own lines are recognised a machine word at a time: the first
// eight bytes of a line, loaded as one integer, are compared under a mask
// with the integer that the prefix's bytes load as on this machine.
std::uint64_t load64(const char *p)
{
    std::uint64_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

std::uint16_t load16(const char *p)
{
    std::uint16_t value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

template <typename Int> constexpr Int loadedAs(std::string_view bytes)
{
    Int value = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t shift =
            std::endian::native == std::endian::little ? 8 * i : 8 * (sizeof(Int) - 1 - i);
        value |= Int(static_cast<unsigned char>(bytes[i])) << shift;
    }
    return value;
}

constexpr auto kWordPrefix = loadedAs<std::uint64_t>(".dw 0x");
constexpr auto kWordPrefixMask = loadedAs<std::uint64_t>("\xFF\xFF\xFF\xFF\xFF\xFF");
constexpr auto kHeaderPrefix = loadedAs<std::uint64_t>(";Line");
constexpr auto kHeaderPrefixMask = loadedAs<std::uint64_t>("\xFF\xFF\xFF\xFF\xFF");
constexpr auto kCrLf = loadedAs<std::uint16_t>("\r\n");
constexpr std::uint64_t kEveryByteCr = 0x0D0D0D0D0D0D0D0Dull;
constexpr std::uint64_t kEveryByteLf = 0x0A0A0A0A0A0A0A0Aull;

// Bit 7 set in each byte of x that is zero, and in no other.
constexpr std::uint64_t zeroBytes(std::uint64_t x)
{
    constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7Full;
    return ~(((x & low7) + low7) | x | low7);
}

// The offset, in memory order, of the first byte that zeroBytes marked.
int firstMarkedByte(std::uint64_t marks)
{
    if constexpr (std::endian::native == std::endian::little)
        return std::countr_zero(marks) / 8;
    else
        return std::countl_zero(marks) / 8;
}

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
    // n headers take at least 6n - 1 bytes, so this holds every line the text
    // can give; it is cut to the lines read at the end.
    std::vector<Cell> cells(std::size_t(std::min<qsizetype>(text.size() / 6 + 1, kMaxLines)) *
                            kColumnCount);
    // Line n, 1-based, is finished: it equals the carry row.
    const auto storeLine = [&cells, &carry](int n) {
        std::memcpy(cells.data() + std::size_t(n - 1) * kColumnCount, carry.data(), sizeof carry);
    };
    int lineCount = 0;

    const char *p = text.data();
    const char *const end = p + text.size();
    const auto isLineEnd = [end](const char *at) {
        return at == end || *at == '\n' || *at == '\r';
    };
    int fileLine = 0;
    while (p < end) {
        // Fast paths for the writer's own two shapes of line, ".dw 0xHHHH" and
        // ";Line n", each ended by CR LF. They give exactly what the general
        // reading below gives such lines, and leave every other line, and
        // every failure, to it.
        if (lineCount > 0) {
            // A run of word lines of exactly 12 bytes each.
            const char *const runStart = p;
            while (end - p >= 12) {
                if ((load64(p) & kWordPrefixMask) != kWordPrefix || load16(p + 10) != kCrLf)
                    break;
                const auto *digits = reinterpret_cast<const unsigned char *>(p) + kWord.size();
                const std::int32_t word = kDigitTables[0][digits[0]] | kDigitTables[1][digits[1]] |
                                          kDigitTables[2][digits[2]] | kDigitTables[3][digits[3]];
                if (word < 0)
                    break;
                carry[std::size_t(word >> 12)] = Cell(word & 0xFFF);
                p += 12;
            }
            fileLine += int((p - runStart) / 12);
            if (p == end)
                break;
        }
        ++fileLine;
        if (end - p >= 13 && (load64(p) & kHeaderPrefixMask) == kHeaderPrefix &&
            lineCount < kMaxLines) {
            if (lineCount > 0)
                storeLine(lineCount);
            ++lineCount;
            // The writer's header ends within the eight bytes after ";Line".
            const std::uint64_t after = load64(p + kHeader.size());
            const std::uint64_t ends =
                zeroBytes(after ^ kEveryByteCr) | zeroBytes(after ^ kEveryByteLf);
            const char *eol = p + kHeader.size() + 8;
            if (ends != 0)
                eol = p + kHeader.size() + firstMarkedByte(ends);
            while (!isLineEnd(eol))
                ++eol;
            p = eol;
            if (p < end)
                p += (*p == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 1;
            continue;
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
                storeLine(lineCount);
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
    storeLine(lineCount);
    cells.resize(std::size_t(lineCount) * kColumnCount);

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
