#include "files/InputFile.h"

#include <QFile>
#include <QFileInfo>

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

} // namespace

std::optional<QByteArray> readInputFile(const QString &path, FileError *error)
{
    QFile file;
    if (!openInputFile(path, file, error))
        return std::nullopt;
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
