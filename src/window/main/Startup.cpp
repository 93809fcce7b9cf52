#include "window/main/Startup.h"

#include "window/main/MainWindow.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QSessionManager>

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

    // Logging off or shutting down asks about unsaved changes like the close
    // box does, and may be cancelled by the answer.
    if (auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        QObject::connect(
            app, &QGuiApplication::commitDataRequest, &window,
            [&window](QSessionManager &manager) {
                if (!manager.allowsInteraction())
                    return;
                const bool mayClose = window.queryClose();
                manager.release();
                if (!mayClose)
                    manager.cancel();
            },
            Qt::DirectConnection);
    }

    window.show();
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty())
        return true;
    return window.openPath(files.first());
}

} // namespace glowline
