#include "files/FileStamp.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace glowline {

#ifdef Q_OS_UNIX
namespace {

FileStamp stampOf(const struct stat &info)
{
    const auto ns = [](const timespec &time) {
        return qint64(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
    };
    return FileStamp{quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
                     ns(info.st_mtim), ns(info.st_ctim)};
}

} // namespace
#endif

std::optional<FileStamp> fileStampOf(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat info
    {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return stampOf(info);
#else
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    const auto ns = [](const QDateTime &time) { return time.toMSecsSinceEpoch() * 1'000'000; };
    return FileStamp{0, 0, info.size(), ns(info.lastModified()), ns(info.metadataChangeTime())};
#endif
}

std::optional<FileStamp> fileStampOf(const QFile &file)
{
#ifdef Q_OS_UNIX
    struct stat info
    {};
    if (::fstat(file.handle(), &info) != 0)
        return std::nullopt;
    return stampOf(info);
#else
    return fileStampOf(file.fileName());
#endif
}

} // namespace glowline
