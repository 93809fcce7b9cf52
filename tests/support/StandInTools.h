#pragma once

#include "support/Files.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>

namespace glowline::test {

// Whether the process with this id runs: it is neither gone nor a zombie
// left for the system to reap.
inline bool isRunning(const QByteArray &pid)
{
    const QString stat = QStringLiteral("/proc/%1/stat").arg(QString::fromLatin1(pid));
    return QFileInfo::exists(stat) && !readAll(stat).contains(") Z ");
}

// A stand-in assembler: records its arguments and working directory beside
// itself and, when the file "avra.write" lies beside it, writes a HEX file
// where the real assembler would. When "avra.fail" lies beside it, it then
// reports an error in the source and exits with code 1.
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
if [ -f "$dir/avra.fail" ]; then
    echo "$1(3) : Error   : Unknown directive: .dx"
    exit 1
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
