#include "files/TsvTable.h"

#include <QByteArrayList>

#include <array>
#include <cstring>
#include <optional>

namespace glowline {

namespace {

constexpr int kFieldCount = kColumnCount + 1;
// A valid row takes well under a hundred bytes. A longer row is refused
// rather than held, so that no input can make the reader hold more than this
// beside the table.
constexpr qsizetype kMaxRowBytes = 4096;
constexpr char kHexDigits[] = "0123456789ABCDEF";

QByteArray headerRow()
{
    QByteArray row = "line";
    for (int c = 0; c < kLedCount; ++c)
        row += "\tled" + QByteArray::number(c);
    row += "\tduration";
    return row;
}

// The fields of a row, or fewer than kFieldCount views and the true count
// when the row does not have exactly kFieldCount fields.
struct Fields
{
    std::array<QByteArrayView, kFieldCount> views;
    qsizetype count = 0;
};

Fields splitFields(QByteArrayView row)
{
    Fields fields;
    qsizetype start = 0;
    for (;;) {
        const qsizetype tab = row.indexOf('\t', start);
        const qsizetype end = tab < 0 ? row.size() : tab;
        if (fields.count < kFieldCount)
            fields.views[std::size_t(fields.count)] = row.sliced(start, end - start);
        ++fields.count;
        if (tab < 0)
            return fields;
        start = tab + 1;
    }
}

bool isHeader(QByteArrayView row)
{
    static const QList<QByteArray> expected = headerRow().split('\t');
    const Fields fields = splitFields(row);
    if (fields.count != kFieldCount)
        return false;
    for (int i = 0; i < kFieldCount; ++i) {
        if (fields.views[std::size_t(i)].trimmed().compare(expected[i], Qt::CaseInsensitive) != 0)
            return false;
    }
    return true;
}

std::optional<int> parseNumber(QByteArrayView field, int base, int maximum)
{
    if (field.isEmpty() || field.size() > 6)
        return std::nullopt;
    int value = 0;
    for (char ch : field) {
        int digit = -1;
        if (ch >= '0' && ch <= '9')
            digit = ch - '0';
        else if (base == 16 && ch >= 'a' && ch <= 'f')
            digit = ch - 'a' + 10;
        else if (base == 16 && ch >= 'A' && ch <= 'F')
            digit = ch - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
    }
    if (value > maximum)
        return std::nullopt;
    return value;
}

std::optional<int> parseColour(QByteArrayView field)
{
    if (field.startsWith("0x") || field.startsWith("0X"))
        field = field.sliced(2);
    return parseNumber(field, 16, kMaxCellValue);
}

} // namespace

QByteArray linesToTsv(const LineTable &table, int first, int last)
{
    QByteArray text = headerRow() + '\n';
    text.reserve(text.size() + qsizetype(std::max(0, last - first + 1)) * 80);
    for (int n = first; n <= last; ++n) {
        text += QByteArray::number(n - first + 1);
        const auto line = table.line(n);
        for (int c = 0; c < kLedCount; ++c) {
            const int p = line[std::size_t(c)];
            const char colour[] = {'\t',
                                   '0',
                                   'x',
                                   kHexDigits[(p >> 8) & 0xF],
                                   kHexDigits[(p >> 4) & 0xF],
                                   kHexDigits[p & 0xF]};
            text.append(colour, sizeof(colour));
        }
        text += '\t' + QByteArray::number(line[kDurationColumn]) + '\n';
    }
    return text;
}

bool TsvReader::fail(int row, QString description)
{
    m_error.line = row;
    m_error.description = std::move(description);
    m_error.unit = FileError::Unit::Row;
    return false;
}

bool TsvReader::feed(QByteArrayView bytes)
{
    if (m_error.isSet())
        return false;
    const char *p = bytes.data();
    const char *const end = p + bytes.size();
    if (m_afterCr && p < end) {
        m_afterCr = false;
        if (*p == '\n')
            ++p;
    }
    while (p < end) {
        const char *eol = p;
        while (eol < end && *eol != '\n' && *eol != '\r')
            ++eol;
        if (m_row.size() + (eol - p) > kMaxRowBytes)
            return fail(m_rowNumber + 1,
                        QStringLiteral("the row is longer than %1 characters").arg(kMaxRowBytes));
        if (eol == end) {
            // The row goes on in the next piece.
            m_row.append(p, eol - p);
            break;
        }
        bool ok = true;
        if (m_row.isEmpty()) {
            ok = endRow(QByteArrayView(p, eol - p));
        } else {
            m_row.append(p, eol - p);
            ok = endRow(m_row);
            m_row.clear();
        }
        if (!ok)
            return false;
        p = eol + 1;
        if (*eol == '\r') {
            if (p == end)
                m_afterCr = true;
            else if (*p == '\n')
                ++p;
        }
    }
    return true;
}

bool TsvReader::endRow(QByteArrayView row)
{
    ++m_rowNumber;
    if (m_rowNumber == 1 && row.startsWith("\xEF\xBB\xBF"))
        row = row.sliced(3);
    if (row.isEmpty() || row.trimmed().isEmpty()) {
        if (m_blankRowNumber == 0) {
            m_blankRow = row.toByteArray();
            m_blankRowNumber = m_rowNumber;
        }
        return true;
    }
    // A blank row between rows is read as a row, and is wrong as one.
    if (m_blankRowNumber != 0 && !takeRow(m_blankRow, m_blankRowNumber))
        return false;
    return takeRow(row, m_rowNumber);
}

bool TsvReader::takeRow(QByteArrayView row, int number)
{
    if (!m_firstRowTaken) {
        m_firstRowTaken = true;
        if (isHeader(row))
            return true;
        if (m_header == Header::Required)
            return fail(number, QStringLiteral("the first row must be the header: %1")
                                    .arg(QString::fromLatin1(headerRow()).replace(u'\t', u' ')));
    }
    if (lineCount() == kMaxLines)
        return fail(number, QStringLiteral("more than %1 lines").arg(kMaxLines));
    const Fields fields = splitFields(row);
    if (fields.count != kFieldCount) {
        return fail(
            number,
            QStringLiteral("expected %1 fields, found %2").arg(kFieldCount).arg(fields.count));
    }
    std::array<Cell, kColumnCount> cells{};
    for (int c = 0; c < kColumnCount; ++c) {
        const QByteArrayView field = fields.views[std::size_t(c) + 1].trimmed();
        const bool isDuration = c == kDurationColumn;
        const auto value = isDuration ? parseNumber(field, 10, kMaxCellValue) : parseColour(field);
        if (!value) {
            const QString what =
                isDuration ? QStringLiteral("duration") : QStringLiteral("led%1").arg(c);
            const QString range =
                isDuration ? QStringLiteral("0 to 4095") : QStringLiteral("0x000 to 0xFFF");
            return fail(number, QStringLiteral("%1 \"%2\" is not a value from %3")
                                    .arg(what, printableText(field), range));
        }
        cells[std::size_t(c)] = Cell(*value);
    }
    m_cells.insert(m_cells.end(), cells.begin(), cells.end());
    return true;
}

bool TsvReader::finish()
{
    if (m_error.isSet())
        return false;
    m_afterCr = false;
    if (!m_row.isEmpty() && !endRow(m_row))
        return false;
    m_row.clear();
    if (m_header == Header::Required && m_cells.empty()) {
        // Blank rows alone are an empty table; a header alone has no lines.
        return fail(1, m_firstRowTaken ? QStringLiteral("the table has no lines")
                                       : QStringLiteral("the table is empty"));
    }
    return true;
}

TsvResult tableFromTsv(QByteArrayView text)
{
    TsvReader reader(TsvReader::Header::Required);
    TsvResult result;
    if (reader.feed(text) && reader.finish())
        result.table = LineTable(reader.takeCells());
    else
        result.error = reader.error();
    return result;
}

TsvLines linesFromTsv(QByteArrayView text)
{
    TsvReader reader(TsvReader::Header::Optional);
    TsvLines result;
    if (reader.feed(text) && reader.finish())
        result.cells = reader.takeCells();
    else
        result.error = reader.error();
    return result;
}

} // namespace glowline
