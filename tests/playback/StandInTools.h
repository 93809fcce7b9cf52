#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

namespace glowline::test {

// Writes an executable shell script; fails the test when it cannot.
inline bool writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write("#!/bin/sh\n" + body);
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                               QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                               QFileDevice::ExeGroup);
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Arguments a stand-in recorded, one NUL-terminated string each.
inline QStringList recordedArguments(const QString &path)
{
    QStringList result;
    const QByteArray bytes = readFile(path);
    for (const QByteArray &word : bytes.split('\0'))
        result.append(QString::fromUtf8(word));
    if (!result.isEmpty())
        result.removeLast(); // after the last terminator
    return result;
}

// A stand-in assembler: records its arguments and working directory beside
// itself and, when the file "avra.write" lies beside it, writes a HEX file
// where the real assembler would.
inline const QByteArray kStandInAssembler = R"(dir=$(dirname "$0")
printf '%s\0' "$@" > "$dir/avra.args"
pwd > "$dir/avra.cwd"
if [ -f "$dir/avra.write" ]; then
    case "$1" in
        *.[aA][sS][mM]) out="${1%????}.hex" ;;
        *) out="$1.hex" ;;
    esac
    printf ':00000001FF\n' > "$out"
fi
exit 0
)";

// A stand-in programmer: records its arguments and working directory, and
// succeeds.
inline const QByteArray kStandInProgrammer = R"(dir=$(dirname "$0")
printf '%s\0' "$@" > "$dir/avrdude.args"
pwd > "$dir/avrdude.cwd"
exit 0
)";

} // namespace glowline::test
