#pragma once

#include "files/FileError.h"
#include "files/FileStamp.h"

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
//
// A file that another program rewrites while it is read would give a mix of
// two versions, or a cut one: when the file's stamp differs after the reading
// from before it, the file is read again, up to three times in all, and then
// refused. *stamp, when given, is set to the stamp of the version read
// (nothing where the system gives none).
std::optional<QByteArray> readInputFile(const QString &path, FileError *error,
                                        std::optional<FileStamp> *stamp = nullptr);

// Reads such a file in pieces of at most 64 KiB, giving each to take, so that
// the memory used does not grow with the file. Returns true when the whole
// file was read and taken; false when it could not be read (*error says why)
// or when take returned false, which stops the reading.
bool readInputFileInPieces(const QString &path, FileError *error,
                           const std::function<bool(QByteArrayView)> &take);

} // namespace glowline
