#pragma once

#include "files/FileError.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

namespace glowline {

// Files larger than this are refused rather than read; the largest sequence
// is about 5 MB, and its table as text about 2.5 MB.
inline constexpr qint64 kMaxSequenceFileBytes = qint64(256) * 1024 * 1024;

// Opens path for reading in file, provided it names a regular file of at most
// kMaxSequenceFileBytes: a device such as /dev/zero would never end and a
// pipe could block for ever. On failure returns false and sets *error.
bool openInputFile(const QString &path, QFile &file, FileError *error);

// Reads the whole of such a file.
std::optional<QByteArray> readInputFile(const QString &path, FileError *error);

} // namespace glowline
