// Save and load times of the largest sequence file, against the raw cost of
// writing and reading the same bytes in one call on the same machine.
//
//   file_bench [repeats]     (default 15; medians are printed)

#include "files/SequenceReader.h"
#include "files/SequenceWriter.h"
#include "support/TestTables.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <unistd.h>
#include <vector>

using namespace glowline;

namespace {

double medianMs(int repeats, const std::function<void()> &run)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

[[noreturn]] void die(const char *what)
{
    std::fprintf(stderr, "file_bench: %s\n", what);
    std::exit(1);
}

void rawWrite(const QString &path, const QByteArray &bytes, bool sync)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        die("raw write failed");
    if (sync && (!file.flush() || ::fdatasync(file.handle()) != 0))
        die("raw sync failed");
}

QByteArray rawRead(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        die("raw read failed");
    return file.readAll();
}

} // namespace

int main(int argc, char *argv[])
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    QTemporaryDir dir;
    if (!dir.isValid())
        die("no temporary folder");
    const QString rawPath = dir.filePath(QStringLiteral("raw.asm"));
    const QString path = dir.filePath(QStringLiteral("sequence.asm"));

    const LineTable table = test::everyLedChangesTable();
    const QByteArray bytes = encodeSequence(table);
    const qsizetype fileLines = bytes.count('\n');
    std::printf("largest sequence: %d lines, %lld file lines, %lld bytes; median of %d runs\n",
                table.lineCount(), static_cast<long long>(fileLines),
                static_cast<long long>(bytes.size()), repeats);

    QString error;
    if (!saveSequenceFile(table, path, &error))
        die(qPrintable(error));
    const ReadResult check = readSequenceFile(path);
    if (!check.ok() || !(check.table == table))
        die("the file does not read back to the table");

    const double writeMs = medianMs(repeats, [&] { rawWrite(rawPath, bytes, false); });
    const double writeSyncMs = medianMs(repeats, [&] { rawWrite(rawPath, bytes, true); });
    const double encodeMs = medianMs(repeats, [&] {
        if (encodeSequence(table).size() != bytes.size())
            die("encoding changed");
    });
    const double saveMs = medianMs(repeats, [&] {
        if (!saveSequenceFile(table, path, nullptr))
            die("save failed");
    });
    // The writes above leave dirty pages that the kernel writes back on
    // another processor for a while; the reads below start once that is
    // done, so that they do not measure the write-back as well.
    ::sync();
    const double readMs = medianMs(repeats, [&] {
        if (rawRead(rawPath).size() != bytes.size())
            die("raw read short");
    });
    const double parseMs = medianMs(repeats, [&] {
        if (!readSequence(bytes).ok())
            die("parse failed");
    });
    // readSequence reads on the calling thread alone, so this is the same
    // measure as the parse above, taken once more.
    const double parseOneMs = medianMs(repeats, [&] {
        if (!readSequence(bytes).ok())
            die("parse failed");
    });
    int words = 0;
    const double wordCountMs = medianMs(repeats, [&] { words = sequenceWordCount(table); });
    if (words != int(bytes.count(".dw ")))
        die("word count differs from the words written");
    const double loadMs = medianMs(repeats, [&] {
        if (readSequenceFile(path).table.lineCount() != kMaxLines)
            die("load failed");
    });

    std::printf("raw write (one QFile write)          %8.2f ms\n", writeMs);
    std::printf("raw write + fdatasync                %8.2f ms\n", writeSyncMs);
    std::printf("  of which the sync                  %8.2f ms\n", writeSyncMs - writeMs);
    std::printf("encode only                          %8.2f ms\n", encodeMs);
    std::printf("save (saveSequenceFile)              %8.2f ms\n", saveMs);
    std::printf("  save / raw write                   %8.2f x   (goal <= 2)\n", saveMs / writeMs);
    std::printf("  save / (raw write + sync)          %8.2f x\n", saveMs / writeSyncMs);
    std::printf("raw read (one QFile readAll)         %8.2f ms\n", readMs);
    std::printf("parse only (readSequence)            %8.2f ms\n", parseMs);
    std::printf("load (readSequenceFile)              %8.2f ms\n", loadMs);
    std::printf("  load / raw read                    %8.2f x   (goal <= 3)\n", loadMs / readMs);
    std::printf("word count at 32767 lines: %.1f us\n", wordCountMs * 1000.0);
    std::printf("parse, one thread alone                %8.2f ms   (%d threads at hand)\n",
                parseOneMs, QThread::idealThreadCount());
    std::printf("load of the largest file: median %.2f ms   (goal <= 16.7 ms)\n", loadMs);
    return 0;
}
