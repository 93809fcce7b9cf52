#pragma once

#include "files/FileError.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace glowline {

// Files larger than this are refused rather than read; the largest sequence
// is about 5 MB, and its table as text about 2.5 MB.
inline constexpr qint64 kMaxSequenceFileBytes = qint64(256) * 1024 * 1024;

// Reads the whole file at path, provided it names a regular file of at most
// kMaxSequenceFileBytes: a device such as /dev/zero would never end and a
// pipe could block for ever. On failure gives nothing and sets *error.
std::optional<QByteArray> readInputFile(const QString &path, FileError *error);

// Reads such a file in pieces of at most 64 KiB, giving each to take, so that
// the memory used does not grow with the file. Returns true when the whole
// file was read and taken; false when it could not be read (*error says why)
// or when take returned false, which stops the reading.
bool readInputFileInPieces(const QString &path, FileError *error,
                           const std::function<bool(QByteArrayView)> &take);

} // namespace glowline
