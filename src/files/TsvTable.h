#pragma once

#include "files/FileError.h"
#include "model/LineTable.h"

#include <QByteArray>
#include <QByteArrayView>

#include <vector>

namespace glowline {

// The sequence as tab-separated text for scripts, spreadsheets and the
// clipboard: a header row "line, led0 .. led10, duration", then one row per
// line with the line number, the 11 packed colours as 0xRGB and the duration
// in hundredths. Rows end with LF.

// Lines first..last of the table, numbered from 1 in the text.
QByteArray linesToTsv(const LineTable &table, int first, int last);

// Reads tab-separated text row by row, so that it can be fed from a file in
// pieces and stops at the first wrong row. The line-number field is not read;
// colours may be written with or without 0x and in either case; rows end
// with LF, CR LF or a lone CR; a UTF-8 byte-order mark is skipped; blank rows
// at the end are no lines. Any field out of range fails the whole text.
class TsvReader final
{
public:
    enum class Header
    {
        // A table file: the first row must be the header, and at least one
        // line must follow it.
        Required,
        // Text from the clipboard: a first row that matches the header is
        // skipped, and no rows at all give no lines.
        Optional,
    };

    explicit TsvReader(Header header) : m_header(header) {}

    // Takes the next piece of the text. Returns false once the text has
    // turned out to be wrong; error() then says where.
    bool feed(QByteArrayView bytes);
    // Ends the text: the last row needs no line end.
    bool finish();

    const FileError &error() const { return m_error; }
    int lineCount() const { return int(m_cells.size() / kColumnCount); }
    // The lines read, kColumnCount cells each.
    std::vector<Cell> takeCells() { return std::move(m_cells); }

private:
    bool endRow(QByteArrayView row);
    bool takeRow(QByteArrayView row, int number);
    bool fail(int row, QString description);

    Header m_header;
    QByteArray m_row; // the row being read, without its line end
    int m_rowNumber = 0;
    bool m_afterCr = false; // the last byte was a CR, whose LF may come next
    bool m_firstRowTaken = false;
    // A blank row is wrong only when a row follows it, so it waits here.
    QByteArray m_blankRow;
    int m_blankRowNumber = 0;
    std::vector<Cell> m_cells;
    FileError m_error;
};

// A whole table file's text, header required.
struct TsvResult
{
    LineTable table;
    FileError error;

    bool ok() const { return !error.isSet(); }
};
TsvResult tableFromTsv(QByteArrayView text);

// Text from the clipboard, header optional; an empty text gives no lines.
struct TsvLines
{
    std::vector<Cell> cells; // kColumnCount cells a line
    FileError error;

    bool ok() const { return !error.isSet(); }
    int lineCount() const { return int(cells.size() / kColumnCount); }
};
TsvLines linesFromTsv(QByteArrayView text);

} // namespace glowline
