#include "files/InputFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace glowline {

namespace {

bool fail(FileError *error, QString description)
{
    if (error) {
        error->line = 0;
        error->description = std::move(description);
    }
    return false;
}

bool tooLarge(FileError *error)
{
    return fail(error, QStringLiteral("the file is larger than %1 MiB")
                           .arg(kMaxSequenceFileBytes / (1024 * 1024)));
}

// Every file read goes through here, so that both ways of reading refuse the
// same files with the same words.
bool openInputFile(const QString &path, QFile &file, FileError *error)
{
    // Qt would only warn on the terminal about an empty name.
    if (path.isEmpty())
        return fail(error, QStringLiteral("no file name was given"));
#ifdef Q_OS_UNIX
    // The check is made on what was opened, not on the name beforehand: the
    // name could be given to a pipe in between, whose opening would wait for
    // a writer for ever. Without blocking, the open returns at once, and the
    // descriptor then says what it is.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(error, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info
    {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int reason = errno;
        ::close(fd);
        return fail(error, QString::fromLocal8Bit(std::strerror(reason)));
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail(error, QStringLiteral("not a regular file"));
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(error, file.errorString());
    }
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return fail(error, QStringLiteral("not a regular file"));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
#endif
    // The size is checked before reading: reading up to the limit would set
    // aside room for the limit, not for the file.
    if (file.size() > kMaxSequenceFileBytes) {
        file.close();
        return tooLarge(error);
    }
    return true;
}

// One reading of the whole file, with the stamp it had before and after.
struct Reading
{
    QByteArray bytes;
    std::optional<FileStamp> before;
    std::optional<FileStamp> after;
};

std::optional<Reading> readOnce(const QString &path, FileError *error)
{
    QFile file;
    if (!openInputFile(path, file, error))
        return std::nullopt;
    Reading reading;
    reading.before = fileStampOf(file);
    reading.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(error, file.errorString());
        return std::nullopt;
    }
    // The file may have grown since it was opened.
    if (reading.bytes.size() > kMaxSequenceFileBytes) {
        tooLarge(error);
        return std::nullopt;
    }
    reading.after = fileStampOf(file);
    return reading;
}

} // namespace

std::optional<QByteArray> readInputFile(const QString &path, FileError *error,
                                        std::optional<FileStamp> *stamp)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::optional<Reading> reading = readOnce(path, error);
        if (!reading)
            return std::nullopt;
        // Where the system gives no stamp there is nothing to compare.
        if (reading->before == reading->after) {
            if (stamp)
                *stamp = reading->before;
            return std::move(reading->bytes);
        }
    }
    fail(error, QStringLiteral("the file changed while it was being read"));
    return std::nullopt;
}

bool readInputFileInPieces(const QString &path, FileError *error,
                           const std::function<bool(QByteArrayView)> &take)
{
    QFile file;
    if (!openInputFile(path, file, error))
        return false;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 count = file.read(buffer.data(), buffer.size());
        if (count < 0)
            return fail(error, file.errorString());
        if (count == 0)
            return true;
        // The file may have grown since it was opened.
        total += count;
        if (total > kMaxSequenceFileBytes)
            return tooLarge(error);
        if (!take(QByteArrayView(buffer.constData(), count)))
            return false;
    }
}

} // namespace glowline
