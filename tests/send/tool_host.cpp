// Runs one tool the way the editor runs it and waits to be ended: by a
// signal, or by a line on its input, on which it exits as Qt makes the
// editor exit when it loses the X server. The tool is "sh -c SCRIPT sh
// ARGUMENTS...", with the host's own arguments.

#include "send/ExitOnSignals.h"
#include "send/ToolProcess.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: tool_host SCRIPT [ARGUMENT...]\n");
        return 2;
    }
    glowline::ExitOnSignals exitOnSignals;
    glowline::ToolProcess tool;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [] { std::exit(1); });

    glowline::ToolCommand command;
    command.program = QStringLiteral("/bin/sh");
    command.arguments = QStringList{QStringLiteral("-c")} + app.arguments().mid(1);
    command.arguments.insert(2, QStringLiteral("sh"));
    tool.start(command);
    return app.exec();
}
