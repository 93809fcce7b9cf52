#include "window/MainWindow.h"
#include "window/QtDialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Glowline"));
    QApplication::setApplicationVersion(QStringLiteral(GLOWLINE_VERSION));

    glowline::QtDialogs dialogs;
    glowline::MainWindow window(dialogs);
    window.show();
    return app.exec();
}
