#include "files/TsvTable.h"

#include <QList>

#include <optional>

namespace glowline {

namespace {

constexpr int kFieldCount = kColumnCount + 1;

QByteArray headerRow()
{
    QByteArray row = "line";
    for (int c = 0; c < kLedCount; ++c)
        row += "\tled" + QByteArray::number(c);
    row += "\tduration";
    return row;
}

QList<QByteArrayView> splitFields(QByteArrayView row)
{
    QList<QByteArrayView> fields;
    qsizetype start = 0;
    for (qsizetype tab; (tab = row.indexOf('\t', start)) >= 0; start = tab + 1)
        fields.append(row.sliced(start, tab - start));
    fields.append(row.sliced(start));
    return fields;
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

QByteArray tableToTsv(const LineTable &table)
{
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    QByteArray text = headerRow() + '\n';
    text.reserve(text.size() + qsizetype(table.lineCount()) * 80);
    for (int n = 1; n <= table.lineCount(); ++n) {
        text += QByteArray::number(n);
        const auto line = table.line(n);
        for (int c = 0; c < kLedCount; ++c) {
            const int p = line[c];
            const char colour[] = {'\t', '0', 'x', kHexDigits[(p >> 8) & 0xF],
                                   kHexDigits[(p >> 4) & 0xF], kHexDigits[p & 0xF]};
            text.append(colour, sizeof(colour));
        }
        text += '\t' + QByteArray::number(line[kDurationColumn]) + '\n';
    }
    return text;
}

TsvResult tableFromTsv(QByteArrayView text)
{
    auto failure = [](int row, QString description) {
        TsvResult result;
        result.errorRow = row;
        result.error = std::move(description);
        return result;
    };

    QList<QByteArrayView> rows;
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        QByteArrayView row = text.sliced(start, end - start);
        if (row.endsWith('\r'))
            row.chop(1);
        rows.append(row);
        start = end + 1;
    }
    // Blank rows at the end (a trailing line break or two) are no lines.
    while (!rows.isEmpty() && rows.last().trimmed().isEmpty())
        rows.removeLast();

    if (rows.isEmpty())
        return failure(1, QStringLiteral("the table is empty"));
    const QList<QByteArrayView> header = splitFields(rows.first());
    const QList<QByteArray> expected = headerRow().split('\t');
    bool headerOk = header.size() == kFieldCount;
    for (int i = 0; headerOk && i < kFieldCount; ++i)
        headerOk = header[i].trimmed().compare(expected[i], Qt::CaseInsensitive) == 0;
    if (!headerOk)
        return failure(1, QStringLiteral("the first row must be the header: %1")
                              .arg(QString::fromLatin1(headerRow()).replace(u'\t', u' ')));
    const qsizetype lineCount = rows.size() - 1;
    if (lineCount == 0)
        return failure(1, QStringLiteral("the table has no lines"));
    if (lineCount > kMaxLines)
        return failure(kMaxLines + 2, QStringLiteral("more than %1 lines").arg(kMaxLines));

    std::vector<Cell> cells;
    cells.reserve(std::size_t(lineCount) * kColumnCount);
    for (qsizetype r = 1; r < rows.size(); ++r) {
        const int rowNumber = int(r) + 1;
        const QList<QByteArrayView> fields = splitFields(rows[r]);
        if (fields.size() != kFieldCount) {
            return failure(rowNumber, QStringLiteral("expected %1 fields, found %2")
                                          .arg(kFieldCount)
                                          .arg(fields.size()));
        }
        for (int c = 0; c < kColumnCount; ++c) {
            const QByteArrayView field = fields[c + 1].trimmed();
            const bool isDuration = c == kDurationColumn;
            const auto value = isDuration ? parseNumber(field, 10, kMaxCellValue) : parseColour(field);
            if (!value) {
                const QString what = isDuration ? QStringLiteral("duration")
                                                : QStringLiteral("led%1").arg(c);
                const QString range = isDuration ? QStringLiteral("0 to 4095")
                                                 : QStringLiteral("0x000 to 0xFFF");
                return failure(rowNumber, QStringLiteral("%1 \"%2\" is not a value from %3")
                                              .arg(what, QString::fromUtf8(field), range));
            }
            cells.push_back(Cell(*value));
        }
    }
    TsvResult result;
    result.table = LineTable(std::move(cells));
    return result;
}

} // namespace glowline
