// Measures Send's window with a tool that prints a great deal without a line
// break: how long the assembler's run takes in the Send window, and the time
// from the assembler's end to the programmer's start (goal: within 5 s for
// 4 MB in one line). Also the programmer's progress parser on such output.
// Prints figures; asserts nothing. An argument gives the largest output in
// MB (default 10).

#include "send/ProgressMarks.h"
#include "send/ToolCommand.h"
#include "window/send/DialogToolRunner.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace glowline;

namespace {

// The assembler stand-in prints its first argument's count of bytes in one
// line, then notes the time it ends; the programmer notes when it starts.
const QByteArray kAssembler = R"(#!/bin/sh
head -c "$1" /dev/zero | tr '\0' x
date +%s%N > "$(dirname "$0")/assembler.end"
)";
const QByteArray kProgrammer = R"(#!/bin/sh
date +%s%N > "$(dirname "$0")/programmer.start"
echo "Writing | ################################################## | 100% 0.01s"
)";

bool writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(body) == body.size() && file.flush() &&
           file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner);
}

qint64 nanoseconds(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.readAll().trimmed().toLongLong();
}

// Feeds bytes of one line, in pieces as a pipe delivers them, to the
// progress parser; returns milliseconds.
double parseOneLine(qsizetype bytes)
{
    const QString piece(64 * 1024, QLatin1Char('x'));
    ProgressMarks marks;
    QElapsedTimer timer;
    timer.start();
    for (qsizetype fed = 0; fed < bytes; fed += piece.size())
        marks.feed(piece);
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int largest = argc > 1 ? std::atoi(argv[1]) : 10;

    QTemporaryDir dir;
    const QString assembler = dir.filePath(QStringLiteral("avra"));
    const QString programmer = dir.filePath(QStringLiteral("avrdude"));
    if (!dir.isValid() || !writeScript(assembler, kAssembler) ||
        !writeScript(programmer, kProgrammer)) {
        std::fprintf(stderr, "send_bench: cannot write the stand-in tools\n");
        return 1;
    }

    std::printf("send_bench: output of one line, no line break, in the Send window\n");
    std::printf("%-10s %18s %30s\n", "output", "assembler run ms",
                "assembler end -> programmer ms");
    for (const int megabytes : {1, 4, 10}) {
        if (megabytes > largest)
            break;
        QFile::remove(dir.filePath(QStringLiteral("assembler.end")));
        QFile::remove(dir.filePath(QStringLiteral("programmer.start")));
        ToolCommand assemble;
        assemble.program = assembler;
        assemble.arguments = {QString::number(qint64(megabytes) * 1024 * 1024)};
        ToolCommand program;
        program.program = programmer;

        DialogToolRunner runner(nullptr);
        QElapsedTimer timer;
        timer.start();
        runner.run(assemble);
        const double assemblerMs = double(timer.nsecsElapsed()) / 1e6;
        runner.run(program);
        const qint64 end = nanoseconds(dir.filePath(QStringLiteral("assembler.end")));
        const qint64 start = nanoseconds(dir.filePath(QStringLiteral("programmer.start")));
        std::printf("%7d MB %18.0f %30.0f   (goal at 4 MB: <= 5000)\n", megabytes, assemblerMs,
                    double(start - end) / 1e6);
    }

    std::printf("progress parser, one line fed in 64 KB pieces\n");
    for (const int megabytes : {1, 4, 16}) {
        const double ms = parseOneLine(qsizetype(megabytes) * 1024 * 1024);
        std::printf("%7d MB %10.2f ms  %8.2f ms per MB\n", megabytes, ms, ms / megabytes);
    }
    return 0;
}
