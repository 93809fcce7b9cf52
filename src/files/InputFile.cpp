#include "files/InputFile.h"

#include "files/SharedTasks.h"

#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <memory>

#ifdef Q_OS_UNIX
#include <cerrno>
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

#ifdef Q_OS_UNIX

// A large file is read in chunks of this size, which the threads of Qt's
// global pool share with the calling thread (see SharedTasks).
constexpr qint64 kChunkBytes = 512 * 1024;

// What the threads reading the chunks of one file share. It lives as long
// as the last of them; a pool thread that starts after every chunk was
// taken touches nothing else.
struct SharedRead
{
    QByteArray bytes;
    // Where the chunks go, taken once here: QByteArray::data() checks for
    // sharing, which is not for several threads at once.
    char *data;
    int fd;
    std::atomic<bool> failed = false;
    SharedTasks tasks;

    SharedRead(int handle, qint64 size)
        : bytes(size, Qt::Uninitialized), data(bytes.data()), fd(handle),
          tasks(std::size_t((size + kChunkBytes - 1) / kChunkBytes))
    {}

    void readWhatIsLeft()
    {
        tasks.runWhatIsLeft([this](std::size_t k) {
            const qint64 offset = qint64(k) * kChunkBytes;
            if (!readInputFileAt(fd, data + offset, std::min(kChunkBytes, bytes.size() - offset),
                                 offset))
                failed = true;
        });
    }
};

// Reads the size bytes of the open file on as many threads as are free.
// Returns nothing when that did not read the file as it is now, whole and
// no longer (an error, or a file that shrank or grew meanwhile): the plain
// reading then reads it again, and names any error.
std::optional<QByteArray> readOnThreads(QFile &file, qint64 size)
{
    auto shared = std::make_shared<SharedRead>(file.handle(), size);
    shared->tasks.startHelpers([shared] { shared->readWhatIsLeft(); });
    shared->readWhatIsLeft();
    // Every chunk taken is read before the file is closed or its bytes go.
    shared->tasks.waitForAll();
    char beyond = 0;
    if (shared->failed || ::pread(shared->fd, &beyond, 1, size) != 0)
        return std::nullopt;
    return std::move(shared->bytes);
}

#endif

} // namespace

#ifdef Q_OS_UNIX
bool readInputFileAt(int handle, char *data, qint64 count, qint64 offset)
{
    while (count > 0) {
        const ssize_t got = ::pread(handle, data, std::size_t(count), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        data += got;
        count -= got;
        offset += got;
    }
    return true;
}
#endif

bool openInputFile(const QString &path, QFile &file, FileError *error)
{
    // Qt would only warn on the terminal about an empty name.
    if (path.isEmpty())
        return fail(error, QStringLiteral("no file name was given"));
    const QFileInfo info(path);
    if (info.exists() && !info.isFile())
        return fail(error, QStringLiteral("not a regular file"));
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error, file.errorString());
    // The size is checked before reading: reading up to the limit would set
    // aside room for the limit, not for the file.
    if (file.size() > kMaxSequenceFileBytes) {
        file.close();
        return tooLarge(error);
    }
    return true;
}

std::optional<QByteArray> readInputFile(const QString &path, FileError *error)
{
    QFile file;
    if (!openInputFile(path, file, error))
        return std::nullopt;
    return readOpenInputFile(file, error);
}

std::optional<QByteArray> readOpenInputFile(QFile &file, FileError *error)
{
    if (!file.seek(0)) {
        fail(error, file.errorString());
        return std::nullopt;
    }
#ifdef Q_OS_UNIX
    // A large file is read on more than one thread: copying it from the
    // system's cache takes as long as a good part of reading a sequence.
    if (const qint64 size = file.size();
        size >= 2 * kChunkBytes && QThread::idealThreadCount() > 1) {
        if (std::optional<QByteArray> bytes = readOnThreads(file, size))
            return bytes;
        file.seek(0);
    }
#endif
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(error, file.errorString());
        return std::nullopt;
    }
    // The file may have grown since it was opened.
    if (bytes.size() > kMaxSequenceFileBytes) {
        tooLarge(error);
        return std::nullopt;
    }
    return bytes;
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
