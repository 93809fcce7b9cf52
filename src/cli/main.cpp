// glowline-cli: the sequence file as a table, and a table as a sequence file.

#include "files/FileError.h"
#include "files/SequenceReader.h"
#include "files/SequenceWriter.h"
#include "files/TsvTable.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace glowline;

namespace {

constexpr char kUsage[] =
    "Usage:\n"
    "  glowline-cli show FILE.asm           print the sequence as tab-separated text\n"
    "  glowline-cli import TABLE.tsv OUT.asm write a table as a sequence file\n"
    "  glowline-cli --help                  show this text\n"
    "\n"
    "The table has a header row (line, led0 .. led10, duration), then one row per\n"
    "line: the line number (not read on import), 11 colours as 0xRGB and the\n"
    "duration in hundredths of a second (0 to 4095).\n";

// The bytes of a message as they are, NUL bytes included.
void printError(const QString &text)
{
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
}

// Writes text to the standard output. A failure (a full disk, a closed pipe)
// is reported rather than ended on in silence.
bool printOutput(QByteArrayView text)
{
    errno = 0;
    if (std::fwrite(text.data(), 1, std::size_t(text.size()), stdout) == std::size_t(text.size()) &&
        std::fflush(stdout) == 0)
        return true;
    const int reason = errno != 0 ? errno : EIO;
    printError(QStringLiteral("glowline-cli: cannot write the output: %1")
                   .arg(QString::fromLocal8Bit(std::strerror(reason))));
    return false;
}

int show(const QString &path)
{
    const ReadResult result = readSequenceFile(path);
    if (!result.ok()) {
        printError(result.error.message(printableFileName(path)));
        return 1;
    }
    return printOutput(linesToTsv(result.table, 1, result.table.lineCount())) ? 0 : 1;
}

int import(const QString &tablePath, const QString &outPath)
{
    // The table is read row by row as the file comes in and the reading stops
    // at the first wrong row, so a huge file takes no more memory than the
    // lines it gives.
    TsvReader reader(TsvReader::Header::Required);
    FileError error;
    const bool read = readInputFileInPieces(
        tablePath, &error, [&reader](QByteArrayView piece) { return reader.feed(piece); });
    if (!read && !reader.error().isSet()) {
        printError(error.message(printableFileName(tablePath)));
        return 1;
    }
    if (!reader.finish()) {
        printError(reader.error().message(printableFileName(tablePath)));
        return 1;
    }
    QString saveError;
    QString ownerChange;
    if (!saveSequenceFile(LineTable(reader.takeCells()), outPath, &saveError, &ownerChange)) {
        printError(QStringLiteral("%1: %2").arg(printableFileName(outPath), saveError));
        return 1;
    }
    if (!ownerChange.isEmpty())
        printError(
            QStringLiteral("%1: written, but %2").arg(printableFileName(outPath), ownerChange));
    return 0;
}

// Qt decodes the arguments as UTF-8 and puts U+FFFD for what is not, which
// would name another file than the one given; such names are refused.
bool fileNamesUsable(int argc, char *argv[])
{
    for (int i = 2; i < argc; ++i) {
        const QByteArrayView name(argv[i]);
        if (name.isEmpty()) {
            printError(QStringLiteral("glowline-cli: no file name was given"));
            return false;
        }
        QStringDecoder decoder(QStringDecoder::Utf8);
        if (const QString decoded = decoder.decode(name); decoder.hasError()) {
            printError(QStringLiteral("%1: the file name is not valid UTF-8")
                           .arg(printableText(name, 1024)));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    if (args.size() == 1 && (args[0] == u"--help" || args[0] == u"-h"))
        return printOutput(kUsage) ? 0 : 1;
    const bool isShow = args.size() == 2 && args[0] == u"show";
    const bool isImport = args.size() == 3 && args[0] == u"import";
    if ((isShow || isImport) && !fileNamesUsable(argc, argv))
        return 1;
    if (isShow)
        return show(args[1]);
    if (isImport)
        return import(args[1], args[2]);
    std::fputs(kUsage, stderr);
    return 2;
}
