#include "model/EditResult.h"

namespace glowline {

QString EditResult::message() const
{
    return QStringLiteral("The sequence has %1 lines; adding %2 more would pass the limit of %3 "
                          "lines. Nothing was changed.")
        .arg(linesNow)
        .arg(linesToAdd)
        .arg(kMaxLines);
}

} // namespace glowline
