#pragma once

#include "files/FileError.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <optional>

namespace glowline {

// Files larger than this are refused rather than read; the largest sequence
// is about 5 MB, and its table as text about 2.5 MB.
inline constexpr qint64 kMaxSequenceFileBytes = qint64(256) * 1024 * 1024;

// Opens path for reading in file, provided it names a regular file of at most
// kMaxSequenceFileBytes: a device such as /dev/zero would never end and a
// pipe could block for ever. On failure returns false and sets *error.
bool openInputFile(const QString &path, QFile &file, FileError *error);

// Reads the whole of a file that openInputFile opened, from its start.
std::optional<QByteArray> readOpenInputFile(QFile &file, FileError *error);

#ifdef Q_OS_UNIX
// Reads count bytes at offset of the file open as handle (QFile::handle())
// into data without moving the file's position, so that several threads may
// read one file at once. False on an error, or on an end of file before
// count bytes.
bool readInputFileAt(int handle, char *data, qint64 count, qint64 offset);
#endif

// Reads such a file in pieces of at most 64 KiB, giving each to take, so that
// the memory used does not grow with the file. Returns true when the whole
// file was read and taken; false when it could not be read (*error says why)
// or when take returned false, which stops the reading.
bool readInputFileInPieces(const QString &path, FileError *error,
                           const std::function<bool(QByteArrayView)> &take);

} // namespace glowline
