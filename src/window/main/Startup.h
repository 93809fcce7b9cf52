#pragma once

#include <QStringList>

namespace glowline {

class MainWindow;

// Shows the window and, when the command line names a sequence file, opens
// it through the same reader and failure message as Load. Returns false when
// that file could not be read (the window then holds the start-up sequence).
bool startEditor(MainWindow &window, const QStringList &arguments);

} // namespace glowline
