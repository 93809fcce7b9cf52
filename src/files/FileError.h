#pragma once

#include <QByteArrayView>
#include <QString>

namespace glowline {

// What went wrong while reading a text (a sequence file, a table, the
// clipboard), and where. Every reader reports through this one type, so the
// editor and the command line word their messages alike.
struct FileError
{
    // What the numbers of the text count: the lines of a sequence file or
    // the rows of a table.
    enum class Unit
    {
        Line,
        Row
    };

    // 1-based line or row where the text is wrong; 0 when the failure belongs
    // to no line (the file could not be opened or read).
    int line = 0;
    // Empty when nothing went wrong.
    QString description;
    Unit unit = Unit::Line;

    bool isSet() const { return !description.isEmpty(); }
    // "line 12: column code 12 is not valid" ("row 2: ..." for a table), or
    // the bare description when the failure belongs to no line.
    QString message() const;
    // "FILE:12: column code 12 is not valid", or "FILE: description".
    QString message(const QString &file) const;
};

// Part of a text as it can be shown in one line of a message, whatever the
// text holds: at most maxChars characters (then "..."), control characters
// and bytes above ASCII as \xHH.
QString printableText(QByteArrayView text, qsizetype maxChars = 40);

// A file name as it can be printed to a terminal or a log: whole, with every
// control character (C0, DEL and C1) written as the \xHH of its UTF-8 bytes,
// so that a line feed or an escape sequence in a name cannot pass for a line
// of its own or drive the terminal.
QString printableFileName(const QString &name);

} // namespace glowline
