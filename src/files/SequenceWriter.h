#pragma once

#include "model/LineTable.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <span>

namespace glowline {

// Walks the data words of one line, in file order, giving each 16-bit word to
// put. An LED word is written where the line differs from the line before it
// (for line 1, the last line): the colours in force after a line are always
// exactly that line's. The duration word follows whenever the duration is
// above 0. The writer and the word counts all go through here, so they can
// never disagree about which words a line takes.
template <typename Put>
inline void forEachLineWord(std::span<const Cell, kColumnCount> line,
                            std::span<const Cell, kColumnCount> before, Put &&put)
{
    for (int c = 0; c < kLedCount; ++c) {
        if (line[std::size_t(c)] != before[std::size_t(c)])
            put(unsigned(c * 4096 + line[std::size_t(c)]));
    }
    if (line[kDurationColumn] > 0)
        put(unsigned(0xF000 + line[kDurationColumn]));
}

// The colours line 1 is written against: the last line's, as the sequence
// loops, except in a column that holds one colour other than black in every
// line. Against the last line such a column would have no word anywhere, and
// neither a reader nor the board would ever see its colour; it is written in
// line 1 instead, against the board's start with every LED off.
std::array<Cell, kColumnCount> firstLineReference(const LineTable &table);

// The sequence file is AVR assembler source with CR LF line ends: ".cseg",
// ".org 0x0000", then for every line a ";Line n" header followed by its words.
// Each ".dw 0xHHHH" word carries a column code in its top four bits (0..10 for
// an LED, F for the duration) and a 12-bit value. LED words are delta-encoded
// against the colours in force, which start as the last line's, so line 1
// describes the step from the end of the sequence back to its start (but see
// firstLineReference for a column that never changes). A line
// with a duration above 0 always carries its duration word.
QByteArray encodeSequence(const LineTable &table);

// The number of ".dw" data words encodeSequence writes for the whole table
// (each is one word of the board's flash), and for line `line` alone.
int sequenceWordCount(const LineTable &table);
int lineWordCount(const LineTable &table, int line);

// Writes the sequence to path under that exact name. The bytes go to a
// temporary file beside the target, which replaces the target only once
// everything is written: a failure leaves the old file as it was and no
// temporary file behind. On failure returns false and sets *error to the
// system's description of what went wrong.
//
// The new file keeps the permission bits, owner and group of the file it
// replaces. Where the system does not let the owner or group be kept (only
// root may give a file away), the file is still written, and *ownerChange
// says whose it now is; it stays empty otherwise.
bool saveSequenceFile(const LineTable &table, const QString &path, QString *error,
                      QString *ownerChange = nullptr);

// Writes bytes the same way; used by anything else that must not leave a
// half-written file.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error,
                         QString *ownerChange = nullptr);

} // namespace glowline
