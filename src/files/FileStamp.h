#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

class QFile;

namespace glowline {

// What tells one version of a file from another without reading it: which
// file it is (device and inode), its size, and the times of its last write and
// of its last change of any kind. Another program that rewrites the file, in
// place or by replacing it, changes at least one of them.
struct FileStamp
{
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    // The same contents as far as the stamp can tell: the change time is left
    // out, since a change of owner or mode alone moves it.
    bool sameVersion(const FileStamp &other) const
    {
        return device == other.device && inode == other.inode && size == other.size &&
               modifiedNs == other.modifiedNs;
    }
    bool operator==(const FileStamp &) const = default;
};

// The stamp of the file at path (a link is followed); nothing when there is no
// such file or it cannot be looked at.
std::optional<FileStamp> fileStampOf(const QString &path);
// The stamp of a file that is open: of what was opened, whatever its name
// now names.
std::optional<FileStamp> fileStampOf(const QFile &file);

} // namespace glowline
