#pragma once

#include "files/FileError.h"
#include "files/FileStamp.h"
#include "files/InputFile.h"
#include "model/LineTable.h"

#include <QByteArrayView>
#include <QString>

#include <optional>

namespace glowline {

// The outcome of reading a sequence file. On failure the table is the
// start-up table and must not be used.
struct ReadResult
{
    LineTable table;
    // The line where the read failed; line 0 when the file itself could not
    // be read.
    FileError error;
    // The text was not empty yet had no ";Line" header: whatever it is (an
    // ordinary assembler program, say), it holds no sequence, and the table
    // is the one all-zero line such a text reads as.
    bool holdsNoSequence = false;
    // For a file, its stamp as it was read; nothing where the system gives
    // none.
    std::optional<FileStamp> stamp;

    bool ok() const { return !error.isSet(); }
    // "line 12: column code 12 is not valid", or the bare description when the
    // failure belongs to no line.
    QString message() const { return error.message(); }
};

// Reads any text the way the board's assembler source is read back: a line
// starting with ";Line" starts a new sequence line (a copy of the values read
// so far), a line starting with ".dw 0x" is a word, every other line is
// skipped. Columns that have no word before their first one take the last
// line's value; a column with no word at all is 0. Lines end at CR LF, LF or
// CR. Text without any ";Line" header gives one all-zero line.
ReadResult readSequence(QByteArrayView text);

// Reads the whole file at path, then its text as readSequence does. Never
// changes anything but the result.
ReadResult readSequenceFile(const QString &path);

} // namespace glowline
