#pragma once

#include "model/Colour.h"
#include "model/LineTable.h"
#include "support/Files.h"
#include "support/LineTableText.h"
#include "support/ShownColour.h"
#include "support/TestTables.h"
#include "window/controls/LineWindow.h"
#include "window/controls/PalettePanel.h"
#include "window/main/MainWindow.h"

#include <QObject>
#include <QScrollBar>
#include <QString>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace glowline::test {

// The control with this object name and type, or the test program stops
// with the name it missed: a renamed control must never pass unnoticed.
template <typename T> T *control(const QObject &root, const QString &name)
{
    T *found = root.findChild<T *>(name);
    if (found == nullptr) {
        std::fprintf(stderr, "FATAL: no control \"%s\" of type %s\n", qPrintable(name),
                     T::staticMetaObject.className());
        std::abort();
    }
    return found;
}

template <typename T> T *control(const QObject &root, const char *name, int index)
{
    return control<T>(root, QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index));
}

// Channels of an Rgb24 written out, so that failures print something readable.
inline QString rgbText(Rgb24 c)
{
    return QStringLiteral("(%1, %2, %3)").arg(redOf(c)).arg(greenOf(c)).arg(blueOf(c));
}

// Puts a table into the window the way Load does, then moves to a line.
inline void loadTable(MainWindow &window, LineTable table, int current = 1)
{
    window.document().replace(std::move(table));
    control<QScrollBar>(window, QStringLiteral("scrLine"))->setValue(current);
}

} // namespace glowline::test
