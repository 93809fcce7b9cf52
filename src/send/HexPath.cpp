#include "send/HexPath.h"

namespace glowline {

QString hexPathFor(const QString &sequencePath)
{
    static const QString asmSuffix = QStringLiteral(".asm");
    static const QString hexSuffix = QStringLiteral(".hex");
    if (sequencePath.endsWith(asmSuffix, Qt::CaseInsensitive))
        return sequencePath.left(sequencePath.size() - asmSuffix.size()) + hexSuffix;
    return sequencePath + hexSuffix;
}

} // namespace glowline
