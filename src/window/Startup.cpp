#include "window/Startup.h"

#include "window/MainWindow.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace glowline {

bool startEditor(MainWindow &window, const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Editor for colour LED sequences"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("Sequence file (.asm) to open."),
                                 QStringLiteral("[file]"));
    // Unknown options are not fatal: a desktop launcher may pass its own.
    parser.parse(arguments);
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp();
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    window.show();
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return true;
    return window.openPath(files.first());
}

} // namespace glowline
