// Runs the fuzz target once on every file of the given files and folders, so
// that the corpus is checked by an ordinary build.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

int main(int argc, char *argv[])
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        if (QFileInfo(path).isDir()) {
            QDirIterator it(path, QDir::Files | QDir::Hidden);
            while (it.hasNext())
                files.append(it.next());
        } else {
            files.append(path);
        }
    }
    files.sort();
    if (files.isEmpty()) {
        std::fputs("no inputs to replay\n", stderr);
        return 1;
    }
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        std::fprintf(stderr, "replaying %s (%lld bytes)\n", qPrintable(path),
                     static_cast<long long>(bytes.size()));
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                               std::size_t(bytes.size()));
    }
    std::fprintf(stderr, "%lld inputs replayed\n", static_cast<long long>(files.size()));
    return 0;
}
