#pragma once

#include "model/LineTable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace glowline {

// The sequence as tab-separated text for scripts and spreadsheets: a header
// row "line, led0 .. led10, duration", then one row per line with the line
// number, the 11 packed colours as 0xRGB and the duration in hundredths.
QByteArray tableToTsv(const LineTable &table);

struct TsvResult
{
    LineTable table;
    int errorRow = 0; // 1-based line of the text where the table is wrong
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// Reads text in the form tableToTsv writes. The line-number field is not
// read; colours may be written with or without 0x and in either case; rows
// end with LF or CR LF. Any field out of range fails the whole table.
TsvResult tableFromTsv(QByteArrayView text);

} // namespace glowline
