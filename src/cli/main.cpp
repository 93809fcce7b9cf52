// glowline-cli: the sequence file as a table, and a table as a sequence file.

#include "files/SequenceReader.h"
#include "files/SequenceWriter.h"
#include "files/TsvTable.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>

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

void printError(const QString &text)
{
    std::fputs(qPrintable(text + u'\n'), stderr);
}

int show(const QString &path)
{
    const ReadResult result = readSequenceFile(path);
    if (!result.ok()) {
        if (result.errorLine > 0)
            printError(QStringLiteral("%1:%2: %3")
                           .arg(path, QString::number(result.errorLine), result.error));
        else
            printError(QStringLiteral("%1: %2").arg(path, result.error));
        return 1;
    }
    const QByteArray text = linesToTsv(result.table, 1, result.table.lineCount());
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int import(const QString &tablePath, const QString &outPath)
{
    const QFileInfo info(tablePath);
    if (info.exists() && !info.isFile()) {
        printError(QStringLiteral("%1: not a regular file").arg(tablePath));
        return 1;
    }
    QFile file(tablePath);
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("%1: %2").arg(tablePath, file.errorString()));
        return 1;
    }
    // A table larger than this cannot hold a valid sequence; it is refused
    // rather than cut short.
    if (file.size() > kMaxSequenceFileBytes) {
        printError(QStringLiteral("%1: the table is larger than %2 MiB")
                       .arg(tablePath, QString::number(kMaxSequenceFileBytes / (1024 * 1024))));
        return 1;
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        printError(QStringLiteral("%1: %2").arg(tablePath, file.errorString()));
        return 1;
    }
    const TsvResult table = tableFromTsv(text);
    if (!table.ok()) {
        printError(table.error.message(tablePath));
        return 1;
    }
    QString error;
    if (!saveSequenceFile(table.table, outPath, &error)) {
        printError(QStringLiteral("%1: %2").arg(outPath, error));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    if (args.size() == 1 && (args[0] == u"--help" || args[0] == u"-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.size() == 2 && args[0] == u"show")
        return show(args[1]);
    if (args.size() == 3 && args[0] == u"import")
        return import(args[1], args[2]);
    std::fputs(kUsage, stderr);
    return 2;
}
