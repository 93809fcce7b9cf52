#include "files/SequenceReader.h"

#include <QFile>
#include <QFileInfo>

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
    result.errorLine = line;
    result.error = std::move(description);
    return result;
}

} // namespace

QString ReadResult::message() const
{
    if (errorLine > 0)
        return QStringLiteral("line %1: %2").arg(errorLine).arg(error);
    return error;
}

ReadResult readSequence(QByteArrayView text)
{
    static constexpr std::string_view kHeader = ";Line";
    static constexpr std::string_view kWord = ".dw 0x";

    std::array<Cell, kColumnCount> carry;
    carry.fill(kNoValue);
    std::vector<Cell> cells;
    int lineCount = 0;

    const char *p = text.data();
    const char *const end = p + text.size();
    int fileLine = 0;
    while (p < end) {
        ++fileLine;
        // Find the end of this line: CR LF, LF or a lone CR.
        const char *eol = p;
        while (eol < end && *eol != '\n' && *eol != '\r')
            ++eol;
        const char *next = eol;
        if (next < end)
            next += (*next == '\r' && next + 1 < end && next[1] == '\n') ? 2 : 1;
        const qsizetype length = eol - p;

        if (startsWith(p, length, kHeader)) {
            if (lineCount == kMaxLines)
                return failure(fileLine, QStringLiteral("more than %1 lines").arg(kMaxLines));
            ++lineCount;
            cells.insert(cells.end(), carry.begin(), carry.end());
        } else if (startsWith(p, length, kWord)) {
            if (lineCount == 0)
                return failure(fileLine, QStringLiteral("word before the first line header"));
            const char *digits = p + kWord.size();
            const qsizetype digitCount = std::min<qsizetype>(4, length - qsizetype(kWord.size()));
            if (digitCount == 0)
                return failure(fileLine, QStringLiteral("no hexadecimal digits after \".dw 0x\""));
            int word = 0;
            for (qsizetype i = 0; i < digitCount; ++i) {
                const int digit = kHex[static_cast<unsigned char>(digits[i])];
                if (digit < 0) {
                    return failure(fileLine, QStringLiteral("\"%1\" is not a hexadecimal number")
                                                 .arg(QString::fromLatin1(digits, digitCount)));
                }
                word = word * 16 + digit;
            }
            const int code = word >> 12;
            if (code >= 12 && code <= 14)
                return failure(fileLine, QStringLiteral("column code %1 is not valid").arg(code));
            // Codes 11 and 15 both address the duration.
            const int column = code == 15 ? kDurationColumn : code;
            const auto value = Cell(word & 0xFFF);
            cells[std::size_t(lineCount - 1) * kColumnCount + std::size_t(column)] = value;
            carry[std::size_t(column)] = value;
        }
        p = next;
    }

    ReadResult result;
    if (lineCount == 0)
        return result; // no header at all: one all-zero line

    // A column's lines before its first word equal the last line, which is
    // what the writer encoded line 1 against. What stays unknown after that (a
    // column with no word in the whole file) becomes 0.
    const Cell *last = cells.data() + std::size_t(lineCount - 1) * kColumnCount;
    std::array<Cell, kColumnCount> fill;
    for (int c = 0; c < kColumnCount; ++c)
        fill[std::size_t(c)] = last[c] == kNoValue ? Cell(0) : last[c];
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (cells[i] == kNoValue)
            cells[i] = fill[i % kColumnCount];
    }

    result.table = LineTable(std::move(cells));
    return result;
}

ReadResult readSequenceFile(const QString &path)
{
    // A device such as /dev/zero would never end, and a pipe could block for ever.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return failure(0, QStringLiteral("%1 is not a regular file").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(0, file.errorString());
    // The size is checked before reading: reading up to the limit would set
    // aside room for the limit, not for the file.
    const auto tooLarge = [] {
        return failure(0, QStringLiteral("the file is larger than %1 MiB")
                              .arg(kMaxSequenceFileBytes / (1024 * 1024)));
    };
    if (file.size() > kMaxSequenceFileBytes)
        return tooLarge();
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return failure(0, file.errorString());
    if (bytes.size() > kMaxSequenceFileBytes)
        return tooLarge();
    return readSequence(bytes);
}

} // namespace glowline
