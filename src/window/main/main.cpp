#include "send/ExitOnSignals.h"
#include "window/dialogs/QtDialogs.h"
#include "window/main/MainWindow.h"
#include "window/main/Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Glowline"));
    QApplication::setApplicationVersion(QStringLiteral(GLOWLINE_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("glowline"));

    glowline::QtDialogs dialogs;
    glowline::MainWindow window(dialogs);
    // A logout or a lost session ends the editor and its tools at once.
    glowline::ExitOnSignals exitOnSignals;
    glowline::startEditor(window, QApplication::arguments());
    return app.exec();
}
