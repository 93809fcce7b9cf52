#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

namespace glowline::test {

// The child of root with that objectName; a missing one ends the test run
// with its name, so a renamed control cannot make a test pass vacuously.
template <typename T> T *widget(const QObject *root, const QString &name)
{
    T *found = root->findChild<T *>(name);
    if (!found)
        qFatal("no %s named \"%s\"", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

} // namespace glowline::test
