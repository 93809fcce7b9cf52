#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QFile>
#include <QString>
#include <QStringList>

namespace glowline::test {

// The bytes of a file; empty, with a warning naming the file, when it cannot
// be read.
inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("cannot read %s: %s", qPrintable(path), qPrintable(file.errorString()));
        return {};
    }
    return file.readAll();
}

// Writes a whole file, replacing what was there; false when any byte is
// missing.
inline bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

// Writes an executable shell script.
inline bool writeScript(const QString &path, const QByteArray &body)
{
    if (!writeAll(path, "#!/bin/sh\n" + body))
        return false;
    return QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                           QFileDevice::ExeGroup);
}

// Arguments a stand-in tool recorded, one NUL-terminated string each.
inline QStringList recordedArguments(const QString &path)
{
    QStringList result;
    const QByteArray bytes = readAll(path);
    for (const QByteArray &word : bytes.split('\0'))
        result.append(QString::fromUtf8(word));
    if (!result.isEmpty())
        result.removeLast(); // after the last terminator
    return result;
}

// Text lines, each ended by CR LF.
inline QByteArray crlf(const QByteArrayList &lines)
{
    QByteArray text;
    for (const QByteArray &line : lines)
        text += line + "\r\n";
    return text;
}

} // namespace glowline::test
